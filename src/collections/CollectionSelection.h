#pragma once
// The collection viewer's database work, apart from its window so it can
// be tested and measured without one: marking the collections that pass
// the user's limits (collection.displayit -1, every other collection 0)
// and reading the outline the viewer shows, each collection with its
// anthems.

#include "CollectionRecord.h"
#include "ViewerLimits.h"

#include <QList>
#include <QString>
#include <QVector>

// What the viewer's limit boxes ask for (the shared viewer limits).
using CollectionLimits = ViewerLimits;

// The viewer's outline: the collections by name (ties by id), each with
// the range of its anthems, in title order (ties by id), in anthems.
struct CollectionOutline {
    struct Node {
        qint32 id = 0;
        QString name;
        int firstAnthem = 0;
        int anthemCount = 0;
    };
    QVector<Node> collections;
    QVector<CollectionAnthem> anthems;

    // The collection ids in outline order.
    QList<qint32> collectionIds() const;
};

namespace CollectionSelection {

// Marks displayit: -1 on every collection that passes all ticked limits
// (within one link limit any checked entry will do), 0 on the others. A
// ticked link limit with no checked entry passes no collection. One
// transaction; a DbError leaves the marks as they were.
void mark(const CollectionLimits &limits);

// Every collection, or only the marked ones, with their anthems. An
// anthem whose collection does not exist is in no node.
CollectionOutline outline(bool filteredOnly);

} // namespace CollectionSelection
