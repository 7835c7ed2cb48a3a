#pragma once
// What the schedule viewer lists for one choir: for every service (a date
// with "AM" or "PM") on which the choir has entries, a heading row with
// the date, the service time and the service's notes, then one row per
// entry with its slot and what is sung.

#include <QDate>
#include <QString>
#include <QVector>
#include <QtGlobal>

struct ScheduleGridRow {
    bool heading = false;
    // Every row carries its service.
    QDate date;
    QString ampm;
    // Heading rows: "MM/dd/yyyy AM", and on a second line the notes when
    // the service has any. Entry rows: "".
    QString dateText;
    // Entry rows: "Call", "Anthem", "Offertory" or "Benediction" (the last
    // slot the entry fills), the title of its anthem (else of its
    // collection) and/or its other text on the next line, and its ids
    // (0 for none).
    QString type;
    QString title;
    qint32 collectionId = 0;
    qint32 anthemId = 0;
    qint32 schedId = 0;
};

namespace ScheduleSelection {

// The choir's services in date and AM/PM order, each heading followed by
// its entries in the order they were scheduled.
QVector<ScheduleGridRow> choirSchedule(qint32 choirId);

// The text of the Date cell of a heading row.
QString headingText(const QDate &date, const QString &ampm, const QString &notes);

// Whether the anthem or the collection an entry names still exists.
bool anthemExists(qint32 anthemId);
bool collectionExists(qint32 collectionId);

} // namespace ScheduleSelection
