#pragma once
// One collection as the editor shows and stores it, and the reads and the
// one write the editor makes, kept apart from the window so they can be
// tested on their own.

#include "CatalogueRecord.h"
#include "LinkTables.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVector>
#include <optional>

// An anthem of the collection, as its anthems grid lists it.
struct CollectionAnthem {
    qint32 id = 0;
    QString title;
};

// The catalogue fields (CatalogueFields) and the collection's own.
struct CollectionRecord : CatalogueFields {
    // Longer names are cut (by characters) when stored.
    static constexpr int CollectionWidth = 100;

    qint32 id = 0;
    QString collection;
    // Loaded only: the anthems of the collection in title order. The save
    // never reads it.
    QVector<CollectionAnthem> anthems;
};

// A collection of the editor's name list: its id and its name.
struct CollectionEntry {
    qint32 id = 0;
    QString name;
};

struct CollectionSaveResult {
    qint32 id = 0;
    // The name as stored (cut to its width): the editor's name list key.
    QString name;
    // The loaned-to text had changed and was copied into the collection's
    // anthems: an anthem editor showing one of them must show it again.
    bool loanedToCarried = false;
};

namespace CollectionData {

// The collection with the id, with its latest performed date and its
// anthems; nullopt when it is not in the table. Database errors reach the
// caller.
std::optional<CollectionRecord> load(qint32 id);

// The latest performed date of a collection; invalid when it has none.
QDate lastPerformed(qint32 id);

// The anthems of a collection in title order (ties by id); none for an id
// below 1, which names no collection.
QVector<CollectionAnthem> anthems(qint32 collectionId);

// Every collection in the editor's order: by name, ties by id.
QVector<CollectionEntry> list();
// The query of that list (collectionid, Collection), for the editor's
// name index.
QString listQuery();

// Writes the collection in one transaction: its row (a new one when
// adding, else the row of record.id), the performed date when that date is
// not yet recorded for it, its five link tables rewritten whole (a kind
// missing from links is written with nothing ticked), and, when
// the loaned-to text (as cut to its width) differs from loadedLoanedTo
// (what the editor last showed; "" after it was emptied), that text in
// every anthem of the collection. On failure (also when the collection to
// update no longer exists) nothing is written and DbError reaches the
// caller.
CollectionSaveResult save(const CollectionRecord &record, const QList<LinkChoice> &links, bool adding,
                          const QString &loadedLoanedTo);

} // namespace CollectionData
