#pragma once
// The performed dates of an anthem (a_lperform) or a collection
// (col_lperform), each with who performed it: a choir, or a free-text
// performer shown in its place.

#include <QDate>
#include <QString>
#include <QVector>
#include <QtGlobal>

enum class PerformedKind { Anthem, Collection };

struct PerformedRow {
    qint32 rnum = 0;
    // Invalid when the row holds no date.
    QDate date;
    qint32 choirId = 0;
    // The other text when there is one, else the choir's name, else "".
    QString performer;
};

namespace PerformedDates {

// The record's rows in date order (rows without a date first).
QVector<PerformedRow> rows(PerformedKind kind, qint32 id);

// A choir as performer (choirId > 0, other emptied) or a free-text
// performer (choirId 0, the text trimmed). False when no row has rnum.
bool setPerformer(PerformedKind kind, qint32 rnum, qint32 choirId, const QString &other);

} // namespace PerformedDates
