#pragma once
// The schedule entries: the rows of the schedule table that the entry
// dialog writes and the schedule viewer deletes. Dates are stored as ISO
// text, the service time as "AM" or "PM", each slot as a Yes/No column.

#include <QDate>
#include <QList>
#include <QString>
#include <QtGlobal>

// The four slots of a service, in the order of the entry dialog's options.
enum class ScheduleSlot { Call = 0, Anthem = 1, Offertory = 2, Benediction = 3 };

struct ScheduleEntry {
    qint32 choirId = -1;
    QDate date;
    QString ampm;
    ScheduleSlot slot = ScheduleSlot::Anthem;
    // Written as typed, also when empty.
    QString other;
    // 0 for none.
    qint32 collectionId = 0;
    qint32 anthemId = 0;
};

namespace ScheduleRecord {

// The slot's Yes/No column: "call", "Anthem", "Offertory", "Benediction".
QString slotColumn(ScheduleSlot slot);

// The entries that already fill the slot of the choir in the service,
// lowest schedid first (the one a replacement edits).
QList<qint32> slotConflicts(qint32 choirId, const QDate &date, const QString &ampm, ScheduleSlot slot);

// Adds the entry; returns its schedid.
qint32 add(const ScheduleEntry &entry);
// Makes the row hold exactly the entry: its slot alone, its ids (the
// ones it does not use cleared to 0) and its other text.
void replace(qint32 schedId, const ScheduleEntry &entry);

// Deletes one entry and, when no choir has an entry left in its service,
// that service's notes; one transaction. False when there is no such
// entry (nothing changes).
bool deleteEntry(qint32 schedId);

} // namespace ScheduleRecord
