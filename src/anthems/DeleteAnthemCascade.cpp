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

    // Every entry goes by the anthem's id, whatever its date: a row another
    // tool left without one would otherwise stay behind in the report.
    QStringList dates;
    {
        QSqlQuery q = Db::query(
            QStringLiteral("select distinct scheddate from schedule where anthemid = ? and scheddate is not null"), id);
        while (q.next())
            dates << q.value(0).toString();
    }
    Db::exec(QStringLiteral("delete from schedule where anthemid = ?"), id);
    for (const QString &d : dates)
        ScheduleNotes::dropIfDateEmpty(Fmt::dateFromDb(d));
    tx.commit();
}
