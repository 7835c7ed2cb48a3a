#include "ArchivePastSchedule.h"

#include "Db.h"
#include "Fmt.h"
#include "RecordSet.h"

#include <QSet>

void ArchivePastSchedule(const QDate &today)
{
    Db::Transaction tx;
    RecordSet past(QStringLiteral("select * from schedule where scheddate < ?"), {Fmt::dateToDb(today)});
    if (!past.isEmpty()) {
        QSet<QString> dates;
        for (past.moveFirst(); !past.eof(); past.moveNext())
            dates.insert(past.text(QStringLiteral("SchedDate")));
        for (const QString &d : dates)
            Db::exec(QStringLiteral("delete from schednotes where scheddate = ?"), {d});

        for (past.moveFirst(); !past.eof(); past.moveNext()) {
            const QVariant date = past.value(QStringLiteral("SchedDate"));
            const QVariant choir = past.value(QStringLiteral("ChoirID"));
            const QVariant collection = past.value(QStringLiteral("collectionid"));
            const QVariant anthem = past.value(QStringLiteral("anthemid"));
            if (Fmt::isNumeric(collection) && collection.toDouble() > 0)
                Db::exec(QStringLiteral("insert into col_lperform (Lperform, collectionid, ChoirID) values (?, ?, ?)"),
                         {date, collection.toLongLong(), choir});
            if (Fmt::isNumeric(anthem) && anthem.toDouble() > 0)
                Db::exec(QStringLiteral("insert into a_lperform (Lperform, anthemid, ChoirID) values (?, ?, ?)"),
                         {date, anthem.toLongLong(), choir});
            Db::exec(QStringLiteral("delete from schedule where schedid = ?"), {past.value(QStringLiteral("schedid"))});
        }
    }
    tx.commit();
}
