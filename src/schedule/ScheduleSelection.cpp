#include "ScheduleSelection.h"

#include "Db.h"
#include "Fmt.h"

#include <QHash>
#include <QSqlQuery>

namespace ScheduleSelection {

QString headingText(const QDate &date, const QString &ampm, const QString &notes)
{
    QString text = Fmt::mdy(date) + QLatin1Char(' ') + ampm;
    if (!notes.isEmpty())
        text += QLatin1Char('\n') + notes;
    return text;
}

bool anthemExists(qint32 anthemId)
{
    return Db::exists(QStringLiteral("select 1 from anthem where anthemid = ?"), {anthemId});
}

bool collectionExists(qint32 collectionId)
{
    return Db::exists(QStringLiteral("select 1 from collection where collectionid = ?"), {collectionId});
}

QVector<ScheduleGridRow> choirSchedule(qint32 choirId)
{
    // The notes of the choir's services: the first row of each service.
    QHash<QString, QString> notes;
    {
        QSqlQuery q = Db::query(QStringLiteral(
            "select n.SchedDate, n.AMPM, n.notes from schednotes n "
            "where exists (select 1 from schedule s where s.ChoirID = ? and s.SchedDate = n.SchedDate "
            "and s.AMPM = n.AMPM) order by n.rowid"),
            {choirId});
        while (q.next()) {
            const QString key = Fmt::nz(q.value(0)) + QLatin1Char('|') + Fmt::nz(q.value(1)).toUpper();
            if (!notes.contains(key))
                notes.insert(key, Fmt::nz(q.value(2)));
        }
    }

    QVector<ScheduleGridRow> rows;
    QSqlQuery q = Db::query(QStringLiteral(
        "select s.schedid, s.SchedDate, s.AMPM, s.call, s.Anthem, s.Offertory, s.Benediction, s.other, "
        "s.collectionid, s.anthemid, c.collectionid, c.Collection, a.anthemid, a.Anthem "
        "from schedule s left join collection c on c.collectionid = s.collectionid "
        "left join anthem a on a.anthemid = s.anthemid "
        "where s.ChoirID = ? order by s.SchedDate, s.AMPM, s.schedid"),
        {choirId});
    QString previousDate;
    QString previousAmpm;
    bool first = true;
    while (q.next()) {
        const QString storedDate = Fmt::nz(q.value(1));
        const QString ampm = Fmt::nz(q.value(2));
        const QDate date = Fmt::dateFromDb(q.value(1));
        if (first || storedDate != previousDate || ampm != previousAmpm) {
            first = false;
            previousDate = storedDate;
            previousAmpm = ampm;
            ScheduleGridRow h;
            h.heading = true;
            h.date = date;
            h.ampm = ampm;
            h.dateText = headingText(date, ampm, notes.value(storedDate + QLatin1Char('|') + ampm.toUpper()));
            rows.append(h);
        }
        ScheduleGridRow r;
        r.date = date;
        r.ampm = ampm;
        r.schedId = q.value(0).toInt();
        if (!q.value(8).isNull()) {
            r.collectionId = q.value(8).toInt();
            if (!q.value(10).isNull())
                r.title = Fmt::nz(q.value(11));
        }
        if (!q.value(9).isNull()) {
            r.anthemId = q.value(9).toInt();
            // An anthem's title takes the place of a collection's.
            if (!q.value(12).isNull())
                r.title = Fmt::nz(q.value(13));
        }
        const QString other = Fmt::nz(q.value(7));
        if (!other.isEmpty())
            r.title = r.title.isEmpty() ? other : r.title + QLatin1Char('\n') + other;
        static const char *const kTypes[4] = {"Call", "Anthem", "Offertory", "Benediction"};
        for (int k = 0; k < 4; ++k)
            if (q.value(3 + k).toInt() != 0)
                r.type = QLatin1String(kTypes[k]);
        rows.append(r);
    }
    return rows;
}

} // namespace ScheduleSelection
