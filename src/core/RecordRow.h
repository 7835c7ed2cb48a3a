#pragma once
// The one write every record editor makes of its record's own row: a new
// row when adding, else the row with the id, from a list of columns and
// their values. The anthem, collection and member companions build their
// column lists and store them through here.

#include "Db.h"

#include <QString>
#include <QStringList>

struct RecordRowTable {
    const char *table;    // "anthem"
    const char *idColumn; // "anthemid"
    const char *noun;     // "anthem", for the message when the row is gone
};

// Inserts the row when adding, else updates the row with the id. Returns
// the row's id. An update that finds no row throws DbError ("The anthem is
// no longer in the database; ..."). Runs in the caller's transaction.
qint32 writeRecordRow(const RecordRowTable &table, const QStringList &columns, const Params &values, bool adding,
                      qint32 id);
