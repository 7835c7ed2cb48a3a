#include "AnthemRecord.h"

#include "Db.h"
#include "Fmt.h"

#include <QSqlQuery>

namespace AnthemData {

std::optional<AnthemRecord> load(qint32 id)
{
    QSqlQuery q =
        Db::query(CatalogueData::selectById(CatalogueData::Anthems, QStringLiteral("Memo2, collectionid")), {id});
    if (!q.next())
        return std::nullopt;
    AnthemRecord r;
    r.id = q.value(0).toInt();
    r.anthem = Fmt::nz(q.value(1));
    CatalogueData::read(q, 2, r);
    r.memo2 = Fmt::nz(q.value(CatalogueData::MoreColumn));
    const QVariant coll = q.value(CatalogueData::MoreColumn + 1);
    r.collectionId = Fmt::isNumeric(coll) ? coll.toInt() : 0;
    r.lastPerformed = lastPerformed(r.id);
    return r;
}

QDate lastPerformed(qint32 id)
{
    return CatalogueData::lastPerformed(CatalogueData::Anthems, id);
}

qint32 save(const AnthemRecord &r, const QList<LinkChoice> &links, bool adding)
{
    Db::Transaction tx;
    if (r.collectionId > 0
        && !Db::exists(QStringLiteral("select 1 from collection where collectionid = ?"), {r.collectionId}))
        throw DbError(QStringLiteral("The collection chosen for this anthem is no longer in the database. "
                                     "Please choose the collection again."));
    const qint32 id =
        CatalogueData::write(CatalogueData::Anthems, r.id, adding, r.anthem, AnthemRecord::AnthemWidth, r,
                             {QStringLiteral("Memo2"), QStringLiteral("collectionid")}, {r.memo2, r.collectionId});
    LinkTables::rewrite(RecordKind::Anthem, id, links);
    tx.commit();
    return id;
}

QVector<CollectionItem> collections()
{
    QVector<CollectionItem> out;
    const auto rows =
        Db::idTextRows(QStringLiteral("select collectionid, Collection from collection order by collectionkey, collectionid"));
    out.reserve(rows.size());
    for (const auto &r : rows)
        out.append(CollectionItem{r.first, r.second});
    return out;
}

} // namespace AnthemData
