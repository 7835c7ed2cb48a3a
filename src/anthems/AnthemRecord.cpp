#include "AnthemRecord.h"

#include "Db.h"
#include "Fmt.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>

namespace {

QVariant nullable(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant();
}

QVariant nullable(const std::optional<qint64> &v)
{
    return v ? QVariant(*v) : QVariant();
}

} // namespace

namespace AnthemData {

std::optional<AnthemRecord> load(qint32 id)
{
    QSqlQuery q = Db::query(
        QStringLiteral("select anthemid, Anthem, Catalog, Location, Memo1, Memo2, Pages, LoanedTo, PerformTime,"
                       " u1, u2, u3, u4, u5, DatePurchased, CostPerCopy, NumCopies, collectionid"
                       " from anthem where anthemid = ?"),
        {id});
    if (!q.next())
        return std::nullopt;
    AnthemRecord r;
    r.id = q.value(0).toInt();
    r.anthem = Fmt::nz(q.value(1));
    r.catalog = Fmt::nz(q.value(2));
    r.location = Fmt::nz(q.value(3));
    r.memo1 = Fmt::nz(q.value(4));
    r.memo2 = Fmt::nz(q.value(5));
    r.pages = Fmt::nz(q.value(6));
    r.loanedTo = Fmt::nz(q.value(7));
    r.performTime = Fmt::nz(q.value(8));
    for (int i = 0; i < 5; ++i)
        r.u[i] = Fmt::nz(q.value(9 + i));
    r.datePurchased = Fmt::dateFromDb(q.value(14));
    const QVariant cost = q.value(15);
    if (Fmt::isNumeric(cost))
        r.costPerCopy = cost.userType() == QMetaType::QString ? Fmt::parseNumber(cost.toString()) : cost.toDouble();
    const QVariant copies = q.value(16);
    if (Fmt::isNumeric(copies)) {
        const double n = copies.userType() == QMetaType::QString ? *Fmt::parseNumber(copies.toString())
                                                                 : copies.toDouble();
        r.numCopies = qint64(std::llround(n));
    }
    const QVariant coll = q.value(17);
    r.collectionId = Fmt::isNumeric(coll) ? coll.toInt() : 0;
    r.lastPerformed = lastPerformed(r.id);
    return r;
}

QDate lastPerformed(qint32 id)
{
    // The latest row in date order, as the editor has always shown it; a
    // value that is no date shows nothing.
    return Fmt::dateFromDb(
        Db::scalar(QStringLiteral("select Lperform from a_lperform where anthemid = ? order by Lperform desc, RNum desc limit 1"),
                   {id}));
}

qint32 save(const AnthemRecord &r, const QList<LinkChoice> &links, bool adding)
{
    Db::Transaction tx;
    if (r.collectionId > 0
        && !Db::exists(QStringLiteral("select 1 from collection where collectionid = ?"), {r.collectionId}))
        throw DbError(QStringLiteral("The collection chosen for this anthem is no longer in the database. "
                                     "Please choose the collection again."));
    Params values{
        Fmt::cut(r.anthem, AnthemRecord::AnthemWidth),
        Fmt::cut(r.catalog, AnthemRecord::CatalogWidth),
        Fmt::cut(r.location, AnthemRecord::LocationWidth),
        r.memo1,
        r.memo2,
        Fmt::cut(r.pages, AnthemRecord::PagesWidth),
        Fmt::cut(r.loanedTo, AnthemRecord::LoanedToWidth),
        Fmt::cut(r.performTime, AnthemRecord::PerformTimeWidth),
        r.u[0],
        r.u[1],
        r.u[2],
        r.u[3],
        r.u[4],
        Fmt::dateToDb(r.datePurchased),
        nullable(r.costPerCopy),
        nullable(r.numCopies),
        r.collectionId,
    };
    values << Db::nameKey(values.first().toString()); // anthemkey
    qint32 id = r.id;
    if (adding) {
        Db::exec(QStringLiteral("insert into anthem (Anthem, Catalog, Location, Memo1, Memo2, Pages, LoanedTo,"
                                " PerformTime, u1, u2, u3, u4, u5, DatePurchased, CostPerCopy, NumCopies,"
                                " collectionid, anthemkey) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 values);
        id = qint32(Db::lastInsertId());
    } else {
        Params p = values;
        p << id;
        const int n = Db::exec(QStringLiteral("update anthem set Anthem = ?, Catalog = ?, Location = ?, Memo1 = ?,"
                                              " Memo2 = ?, Pages = ?, LoanedTo = ?, PerformTime = ?, u1 = ?, u2 = ?,"
                                              " u3 = ?, u4 = ?, u5 = ?, DatePurchased = ?, CostPerCopy = ?,"
                                              " NumCopies = ?, collectionid = ?, anthemkey = ? where anthemid = ?"),
                               p);
        if (n != 1)
            throw DbError(QStringLiteral("The anthem is no longer in the database; it may have been deleted "
                                         "from another window."));
    }

    if (r.lastPerformed.isValid()) {
        const QVariant date = Fmt::dateToDb(r.lastPerformed);
        Db::exec(QStringLiteral("insert into a_lperform (Lperform, anthemid) select ?, ? where not exists"
                                " (select 1 from a_lperform where Lperform = ? and anthemid = ?)"),
                 {date, id, date, id});
    }

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
