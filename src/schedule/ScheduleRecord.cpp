#include "ScheduleRecord.h"

#include "Db.h"
#include "Fmt.h"
#include "ScheduleNotes.h"

#include <QSqlQuery>

namespace ScheduleRecord {

namespace {

Params rowValues(const ScheduleEntry &e)
{
    const int s = int(e.slot);
    // Yes/No columns hold -1 (true) or 0.
    auto flag = [s](int slot) { return s == slot ? -1 : 0; };
    return {e.choirId,
            Fmt::dateToDb(e.date),
            flag(0),
            flag(1),
            flag(2),
            flag(3),
            e.other.isNull() ? QString(QLatin1String("")) : e.other,
            e.ampm,
            e.collectionId > 0 ? e.collectionId : 0,
            e.anthemId > 0 ? e.anthemId : 0};
}

} // namespace

QString slotColumn(ScheduleSlot slot)
{
    switch (slot) {
    case ScheduleSlot::Call: return QStringLiteral("call");
    case ScheduleSlot::Anthem: return QStringLiteral("Anthem");
    case ScheduleSlot::Offertory: return QStringLiteral("Offertory");
    case ScheduleSlot::Benediction: return QStringLiteral("Benediction");
    }
    return QStringLiteral("Anthem");
}

QList<qint32> slotConflicts(qint32 choirId, const QDate &date, const QString &ampm, ScheduleSlot slot)
{
    QList<qint32> ids;
    QSqlQuery q = Db::query(QStringLiteral("select schedid from schedule where %1 <> 0 and SchedDate = ? "
                                           "and ChoirID = ? and AMPM = ? order by schedid")
                                .arg(slotColumn(slot)),
                            {Fmt::dateToDb(date), choirId, ampm});
    while (q.next())
        ids.append(q.value(0).toInt());
    return ids;
}

qint32 add(const ScheduleEntry &entry)
{
    Db::exec(QStringLiteral("insert into schedule (ChoirID, SchedDate, call, Anthem, Offertory, Benediction, "
                            "other, AMPM, collectionid, anthemid) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
             rowValues(entry));
    return qint32(Db::lastInsertId());
}

void replace(qint32 schedId, const ScheduleEntry &entry)
{
    Params values = rowValues(entry);
    values.append(schedId);
    Db::exec(QStringLiteral("update schedule set ChoirID = ?, SchedDate = ?, call = ?, Anthem = ?, Offertory = ?, "
                            "Benediction = ?, other = ?, AMPM = ?, collectionid = ?, anthemid = ? "
                            "where schedid = ?"),
             values);
}

bool deleteEntry(qint32 schedId)
{
    Db::Transaction tx;
    QSqlQuery q = Db::query(QStringLiteral("select SchedDate, AMPM from schedule where schedid = ?"), {schedId});
    if (!q.next())
        return false;
    const QDate date = Fmt::dateFromDb(q.value(0));
    const QString ampm = Fmt::nz(q.value(1));
    q.finish();
    Db::exec(QStringLiteral("delete from schedule where schedid = ?"), {schedId});
    ScheduleNotes::dropIfServiceEmpty(date, ampm);
    tx.commit();
    return true;
}

} // namespace ScheduleRecord
