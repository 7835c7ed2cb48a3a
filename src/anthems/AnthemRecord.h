#pragma once
// One anthem as the editor shows and stores it, and the reads and the one
// write the editor makes, kept apart from the window so they can be tested
// on their own.

#include "LinkTables.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVector>
#include <optional>

struct AnthemRecord {
    // Column widths: longer text is cut when stored.
    static constexpr int AnthemWidth = 100;
    static constexpr int CatalogWidth = 20;
    static constexpr int LocationWidth = 50;
    static constexpr int PagesWidth = 50;
    static constexpr int LoanedToWidth = 250;
    static constexpr int PerformTimeWidth = 50;

    qint32 id = 0;
    QString anthem;
    QString catalog;
    QString location;
    QString memo1;
    QString memo2;
    QString pages;
    QString loanedTo;
    QString performTime;
    QString u[5];
    QDate datePurchased;             // invalid: none (Null)
    std::optional<double> costPerCopy; // nullopt: Null
    std::optional<qint64> numCopies;   // nullopt: Null
    qint32 collectionId = 0;
    // Loaded: the latest performed date. Saved: a date to record as
    // performed when the anthem does not have it yet (invalid: none).
    QDate lastPerformed;
};

// A collection of the collection list: its id and its name.
struct CollectionItem {
    qint32 id = 0;
    QString name;
};

namespace AnthemData {

// The anthem with the id, with its latest performed date; nullopt when it
// is not in the table. Database errors reach the caller.
std::optional<AnthemRecord> load(qint32 id);

// The latest performed date of an anthem; invalid when it has none.
QDate lastPerformed(qint32 id);

// Writes the anthem in one transaction: its row (a new one when adding,
// else the row of record.id), the performed date when that date is not yet
// recorded for it, and the link tables of the given kinds rewritten whole
// (the ids ticked in the editor's grids). Returns the anthem's id. On
// failure (also when the anthem to update no longer exists) nothing is
// written and DbError reaches the caller.
qint32 save(const AnthemRecord &record, const QList<LinkChoice> &links, bool adding);

// Every collection in name order.
QVector<CollectionItem> collections();

} // namespace AnthemData
