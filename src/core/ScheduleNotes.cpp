#include "ScheduleNotes.h"

#include "Db.h"
#include "Fmt.h"

namespace ScheduleNotes {

QString text(const QDate &date, const QString &ampm)
{
    return Fmt::nz(Db::scalar(QStringLiteral("select notes from schednotes where SchedDate = ? and AMPM = ? "
                                             "order by rowid limit 1"),
                              {Fmt::dateToDb(date), ampm}));
}

bool exists(const QDate &date, const QString &ampm)
{
    return Db::exists(QStringLiteral("select 1 from schednotes where SchedDate = ? and AMPM = ?"),
                      {Fmt::dateToDb(date), ampm});
}

void store(const QDate &date, const QString &ampm, const QString &notes)
{
    const QVariant day = Fmt::dateToDb(date);
    // Stored as typed; an empty answer is an empty text, not Null.
    const QString value = notes.isNull() ? QLatin1String("") : notes;
    Db::Transaction tx;
    const QVariant row = Db::scalar(QStringLiteral("select rowid from schednotes where SchedDate = ? and AMPM = ? "
                                                   "order by rowid limit 1"),
                                    {day, ampm});
    if (row.isValid())
        Db::exec(QStringLiteral("update schednotes set notes = ? where rowid = ?"), {value, row});
    else
        Db::exec(QStringLiteral("insert into schednotes (SchedDate, AMPM, notes) values (?, ?, ?)"), {day, ampm, value});
    tx.commit();
}

bool dropIfServiceEmpty(const QDate &date, const QString &ampm)
{
    const Params service{Fmt::dateToDb(date), ampm};
    if (Db::exists(QStringLiteral("select 1 from schedule where SchedDate = ? and AMPM = ?"), service))
        return false;
    return Db::exec(QStringLiteral("delete from schednotes where SchedDate = ? and AMPM = ?"), service) > 0;
}

bool dropIfDateEmpty(const QDate &date)
{
    const Params day{Fmt::dateToDb(date)};
    if (Db::exists(QStringLiteral("select 1 from schedule where SchedDate = ?"), day))
        return false;
    return Db::exec(QStringLiteral("delete from schednotes where SchedDate = ?"), day) > 0;
}

void dropForArchivedDates(const QDate &today)
{
    Db::exec(QStringLiteral("delete from schednotes where SchedDate in "
                            "(select SchedDate from schedule where SchedDate < ?)"),
             {Fmt::dateToDb(today)});
}

} // namespace ScheduleNotes
