#pragma once
// The anthem viewer's database work, apart from its window so it can be
// tested and measured without one: marking the anthems that pass the
// user's limits (anthem.displayit -1, every other anthem 0) and reading
// the list the viewer shows.

#include "ViewerLimits.h"

#include <QList>
#include <QString>
#include <QVector>
#include <QtGlobal>

// What the viewer's limit boxes ask for (the shared viewer limits).
using AnthemLimits = ViewerLimits;

// One row of the viewer's list. collectionId is 0 when the anthem belongs
// to no collection that exists.
struct AnthemListRow {
    qint32 anthemId = 0;
    qint32 collectionId = 0;
    QString anthem;
    QString collection;
};

namespace AnthemSelection {

// Marks displayit: -1 on every anthem that passes all ticked limits
// (within one link limit any checked entry will do), 0 on the others. A
// ticked link limit with no checked entry passes no anthem. One
// transaction; a DbError leaves the marks as they were.
void mark(const AnthemLimits &limits);
// The marking of the limits, not yet run.
DisplayMarker marker(const AnthemLimits &limits);

// Every anthem, or only the marked ones, by title (then id), with the
// name of its collection.
QVector<AnthemListRow> list(bool filteredOnly);

} // namespace AnthemSelection
