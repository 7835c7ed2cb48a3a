#include "DeleteCollectionCascade.h"

#include "Db.h"
#include "DeleteAnthemCascade.h"
#include "Fmt.h"
#include "LinkTables.h"
#include "ScheduleNotes.h"

#include <QSqlQuery>
#include <QVariantList>

QList<qint32> DeleteCollectionCascade(qint32 collectionId)
{
    QList<qint32> anthemIds;
    // Anthems and schedule rows outside every collection carry 0.
    if (collectionId < 1)
        return anthemIds;
    Db::Transaction tx;
    const Params id{collectionId};
    Db::exec(QStringLiteral("delete from collection where collectionid = ?"), id);
    LinkTables::deleteAll(RecordKind::Collection, collectionId);
    Db::exec(QStringLiteral("delete from col_lperform where collectionid = ?"), id);

    {
        QSqlQuery q = Db::query(QStringLiteral("select anthemid from anthem where collectionid = ?"), id);
        while (q.next())
            anthemIds << q.value(0).toInt();
    }
    for (qint32 anthem : anthemIds)
        DeleteAnthemCascade(anthem);

    // The dates the collection's own entries stood on, taken before they go.
    QVariantList dates;
    {
        QSqlQuery q = Db::query(QStringLiteral("select distinct scheddate from schedule where collectionid = ?"), id);
        while (q.next())
            dates << q.value(0);
    }
    Db::exec(QStringLiteral("delete from schedule where collectionid = ?"), id);
    for (const QVariant &d : dates)
        ScheduleNotes::dropIfDateEmpty(Fmt::dateFromDb(d));
    tx.commit();
    return anthemIds;
}
