#pragma once
// One anthem as the editor shows and stores it, and the reads and the one
// write the editor makes, kept apart from the window so they can be tested
// on their own.

#include "CatalogueRecord.h"
#include "LinkTables.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVector>
#include <optional>

// The catalogue fields (CatalogueFields) and the anthem's own.
struct AnthemRecord : CatalogueFields {
    // Longer names are cut when stored.
    static constexpr int AnthemWidth = 100;

    qint32 id = 0;
    QString anthem;
    QString memo2;
    qint32 collectionId = 0;
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
