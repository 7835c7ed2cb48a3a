#include "CollectionRecord.h"

#include "Db.h"
#include "Fmt.h"

#include <QSqlQuery>

namespace {

// The order the editor has always written its link tables in.
const CheckGridKind kSaveOrder[5] = {CheckGridKind::Themes, CheckGridKind::Vocals, CheckGridKind::Composers,
                                     CheckGridKind::Choirs, CheckGridKind::Orchestration};

// All five kinds in that order; a kind the caller left out has nothing ticked.
QList<LinkChoice> inSaveOrder(const QList<LinkChoice> &links)
{
    QList<LinkChoice> out;
    for (CheckGridKind kind : kSaveOrder) {
        LinkChoice c{kind, {}, {}};
        for (const LinkChoice &l : links)
            if (l.kind == kind)
                c.ids += l.ids;
        out << c;
    }
    return out;
}

const QString kListQuery =
    QStringLiteral("select collectionid, Collection from collection order by collectionkey, collectionid");

} // namespace

namespace CollectionData {

std::optional<CollectionRecord> load(qint32 id)
{
    QSqlQuery q = Db::query(CatalogueData::selectById(CatalogueData::Collections, QString()), {id});
    if (!q.next())
        return std::nullopt;
    CollectionRecord r;
    r.id = q.value(0).toInt();
    r.collection = Fmt::nz(q.value(1));
    CatalogueData::read(q, 2, r);
    r.lastPerformed = lastPerformed(r.id);
    r.anthems = anthems(r.id);
    return r;
}

QDate lastPerformed(qint32 id)
{
    return CatalogueData::lastPerformed(CatalogueData::Collections, id);
}

QVector<CollectionAnthem> anthems(qint32 collectionId)
{
    QVector<CollectionAnthem> out;
    // Anthems outside every collection carry 0: they are nobody's.
    if (collectionId < 1)
        return out;
    const auto rows = Db::idTextRows(
        QStringLiteral("select anthemid, Anthem from anthem where collectionid = ? order by anthemkey, anthemid"),
        {collectionId});
    out.reserve(rows.size());
    for (const auto &r : rows)
        out.append(CollectionAnthem{r.first, r.second});
    return out;
}

QString listQuery()
{
    return kListQuery;
}

QVector<CollectionEntry> list()
{
    QVector<CollectionEntry> out;
    const auto rows = Db::idTextRows(kListQuery);
    out.reserve(rows.size());
    for (const auto &r : rows)
        out.append(CollectionEntry{r.first, r.second});
    return out;
}

CollectionSaveResult save(const CollectionRecord &r, const QList<LinkChoice> &links, bool adding,
                          const QString &loadedLoanedTo)
{
    Db::Transaction tx;
    const QString loanedTo = Fmt::cut(r.loanedTo, CollectionRecord::LoanedToWidth);
    CollectionSaveResult result;
    result.id = CatalogueData::write(CatalogueData::Collections, r.id, adding, r.collection,
                                     CollectionRecord::CollectionWidth, r);
    result.name = Fmt::cut(r.collection, CollectionRecord::CollectionWidth);
    const qint32 id = result.id;

    LinkTables::rewrite(RecordKind::Collection, id, inSaveOrder(links));

    // A loan of the collection is a loan of each of its anthems; an
    // emptied text ends theirs too.
    if (loanedTo != loadedLoanedTo) {
        Db::exec(QStringLiteral("update anthem set LoanedTo = ? where collectionid = ?"),
                 {loanedTo.isNull() ? QStringLiteral("") : loanedTo, id});
        result.loanedToCarried = true;
    }
    tx.commit();
    return result;
}

} // namespace CollectionData
