#include "DeleteAnthemCascade.h"

#include "Db.h"
#include "Fmt.h"
#include "LinkTables.h"
#include "ScheduleNotes.h"

#include <QSqlQuery>
#include <QStringList>

void DeleteAnthemCascade(qint32 anthemId)
{
    Db::Transaction tx;
    const Params id{anthemId};
    Db::exec(QStringLiteral("delete from anthem where anthemid = ?"), id);
    LinkTables::deleteAll(RecordKind::Anthem, anthemId);
    Db::exec(QStringLiteral("delete from a_lperform where anthemid = ?"), id);

    QStringList dates;
    {
        QSqlQuery q = Db::query(QStringLiteral("select distinct scheddate from schedule where anthemid = ?"), id);
        while (q.next())
            dates << q.value(0).toString();
    }
    for (const QString &d : dates) {
        Db::exec(QStringLiteral("delete from schedule where anthemid = ? and scheddate = ?"), {anthemId, d});
        ScheduleNotes::dropIfDateEmpty(Fmt::dateFromDb(d));
    }
    tx.commit();
}
