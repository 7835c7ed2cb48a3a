#include "CollectionRecord.h"

#include "Db.h"
#include "Fmt.h"

#include <QSqlQuery>

#include <cmath>
#include <limits>

namespace {

QVariant nullable(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant();
}

QVariant nullable(const std::optional<qint64> &v)
{
    return v ? QVariant(*v) : QVariant();
}

// A stored number, also when an imported file holds it as text.
std::optional<double> storedNumber(const QVariant &v)
{
    if (!Fmt::isNumeric(v))
        return std::nullopt;
    return v.userType() == QMetaType::QString ? Fmt::parseNumber(v.toString()) : std::optional<double>(v.toDouble());
}

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
    QSqlQuery q = Db::query(
        QStringLiteral("select collectionid, Collection, Catalog, Location, Memo1, Pages, LoanedTo, PerformTime,"
                       " u1, u2, u3, u4, u5, DatePurchased, CostPerCopy, NumCopies"
                       " from collection where collectionid = ?"),
        {id});
    if (!q.next())
        return std::nullopt;
    CollectionRecord r;
    r.id = q.value(0).toInt();
    r.collection = Fmt::nz(q.value(1));
    r.catalog = Fmt::nz(q.value(2));
    r.location = Fmt::nz(q.value(3));
    r.memo1 = Fmt::nz(q.value(4));
    r.pages = Fmt::nz(q.value(5));
    r.loanedTo = Fmt::nz(q.value(6));
    r.performTime = Fmt::nz(q.value(7));
    for (int i = 0; i < 5; ++i)
        r.u[i] = Fmt::nz(q.value(8 + i));
    r.datePurchased = Fmt::dateFromDb(q.value(13));
    r.costPerCopy = storedNumber(q.value(14));
    if (const std::optional<double> copies = storedNumber(q.value(15)))
        r.numCopies = qint64(std::llround(*copies));
    r.lastPerformed = lastPerformed(r.id);
    r.anthems = anthems(r.id);
    return r;
}

QDate lastPerformed(qint32 id)
{
    // The latest row in date order; a value that is no date shows nothing.
    return Fmt::dateFromDb(Db::scalar(
        QStringLiteral("select Lperform from col_lperform where collectionid = ? order by Lperform desc, RNum desc limit 1"),
        {id}));
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
    const QString name = Fmt::cut(r.collection, CollectionRecord::CollectionWidth);
    const Params values{
        name,
        Fmt::cut(r.catalog, CollectionRecord::CatalogWidth),
        Fmt::cut(r.location, CollectionRecord::LocationWidth),
        r.memo1,
        Fmt::cut(r.pages, CollectionRecord::PagesWidth),
        loanedTo,
        Fmt::cut(r.performTime, CollectionRecord::PerformTimeWidth),
        r.u[0],
        r.u[1],
        r.u[2],
        r.u[3],
        r.u[4],
        Fmt::dateToDb(r.datePurchased),
        nullable(r.costPerCopy),
        nullable(r.numCopies),
        Db::nameKey(name),
    };
    CollectionSaveResult result;
    qint32 id = r.id;
    if (adding) {
        Db::exec(QStringLiteral("insert into collection (Collection, Catalog, Location, Memo1, Pages, LoanedTo,"
                                " PerformTime, u1, u2, u3, u4, u5, DatePurchased, CostPerCopy, NumCopies, collectionkey)"
                                " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 values);
        id = qint32(Db::lastInsertId());
    } else {
        Params p = values;
        p << id;
        const int n = Db::exec(QStringLiteral("update collection set Collection = ?, Catalog = ?, Location = ?,"
                                              " Memo1 = ?, Pages = ?, LoanedTo = ?, PerformTime = ?, u1 = ?,"
                                              " u2 = ?, u3 = ?, u4 = ?, u5 = ?, DatePurchased = ?,"
                                              " CostPerCopy = ?, NumCopies = ?, collectionkey = ? where collectionid = ?"),
                               p);
        if (n != 1)
            throw DbError(QStringLiteral("The collection is no longer in the database; it may have been deleted "
                                         "from another window."));
    }
    result.id = id;
    result.name = name;

    if (r.lastPerformed.isValid()) {
        const QVariant date = Fmt::dateToDb(r.lastPerformed);
        Db::exec(QStringLiteral("insert into col_lperform (Lperform, collectionid) select ?, ? where not exists"
                                " (select 1 from col_lperform where Lperform = ? and collectionid = ?)"),
                 {date, id, date, id});
    }

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

CostInput parseCost(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    const std::optional<double> v = Fmt::parseNumber(t);
    if (!v || !std::isfinite(*v))
        return {false, std::nullopt};
    // Stored as shown: to the cent.
    return {true, std::round(*v * 100.0) / 100.0 + 0.0};
}

CopiesInput parseCopies(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    const std::optional<double> v = Fmt::parseNumber(t);
    if (!v || *v != std::floor(*v) || std::fabs(*v) > double(std::numeric_limits<qint32>::max()))
        return {false, std::nullopt};
    return {true, qint64(*v)};
}

} // namespace CollectionData
