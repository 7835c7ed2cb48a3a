#pragma once
// One collection as the editor shows and stores it, the reads and the one
// write the editor makes, and the reading of its cost and copies boxes,
// kept apart from the window so they can be tested on their own.

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

struct CollectionRecord {
    // Column widths: longer text is cut (by characters) when stored.
    static constexpr int CollectionWidth = 100;
    static constexpr int CatalogWidth = 20;
    static constexpr int LocationWidth = 50;
    static constexpr int PagesWidth = 50;
    static constexpr int LoanedToWidth = 250;
    static constexpr int PerformTimeWidth = 50;

    qint32 id = 0;
    QString collection;
    QString catalog;
    QString location;
    QString memo1;
    QString pages;
    QString loanedTo;
    QString performTime;
    QString u[5];
    QDate datePurchased;               // invalid: none (Null)
    std::optional<double> costPerCopy; // nullopt: Null
    std::optional<qint64> numCopies;   // nullopt: Null
    // Loaded: the latest performed date. Saved: a date to record as
    // performed when the collection does not have it yet (invalid: none).
    QDate lastPerformed;
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

// What a cost or copies box holds: valid with no value (an empty box,
// stored as Null), valid with a value, or not valid (text the editor
// refuses).
struct CostInput {
    bool valid = true;
    std::optional<double> value;
};
struct CopiesInput {
    bool valid = true;
    std::optional<qint64> value;
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

// Reads the cost box as the editor shows it ("$1,234.50", "1234.5",
// "($3.00)"), to the cent; an empty box is no value.
CostInput parseCost(const QString &text);
// Reads the copies box as the editor shows it ("1,200", "12"): a whole
// number; an empty box is no value.
CopiesInput parseCopies(const QString &text);

} // namespace CollectionData
