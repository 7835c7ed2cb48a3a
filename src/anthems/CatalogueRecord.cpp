#include "CatalogueRecord.h"

#include "Fmt.h"
#include "RecordRow.h"

#include <cmath>

namespace {

const char *const kColumns[CatalogueData::ColumnCount] = {
    "Catalog", "Location", "Memo1", "Pages", "LoanedTo", "PerformTime", "u1",
    "u2",      "u3",       "u4",    "u5",    "DatePurchased", "CostPerCopy", "NumCopies"};

QStringList columnNames()
{
    QStringList out;
    for (const char *c : kColumns)
        out << QLatin1String(c);
    return out;
}

} // namespace

namespace CatalogueData {

const CatalogueTables Anthems{"anthem", "anthemid", "Anthem", "anthemkey", "a_lperform", "anthem"};
const CatalogueTables Collections{"collection", "collectionid", "Collection", "collectionkey", "col_lperform",
                                  "collection"};

QString selectById(const CatalogueTables &t, const QString &more)
{
    return QStringLiteral("select %1, %2, %3%4 from %5 where %1 = ?")
        .arg(QLatin1String(t.idColumn), QLatin1String(t.nameColumn), columnNames().join(QStringLiteral(", ")),
             more.isEmpty() ? QString() : QStringLiteral(", ") + more, QLatin1String(t.table));
}

void read(const QSqlQuery &q, int first, CatalogueFields &f)
{
    f.catalog = Fmt::nz(q.value(first));
    f.location = Fmt::nz(q.value(first + 1));
    f.memo1 = Fmt::nz(q.value(first + 2));
    f.pages = Fmt::nz(q.value(first + 3));
    f.loanedTo = Fmt::nz(q.value(first + 4));
    f.performTime = Fmt::nz(q.value(first + 5));
    for (int i = 0; i < 5; ++i)
        f.u[i] = Fmt::nz(q.value(first + 6 + i));
    f.datePurchased = Fmt::dateFromDb(q.value(first + 11));
    f.costPerCopy = Fmt::storedNumber(q.value(first + 12));
    if (const std::optional<double> copies = Fmt::storedNumber(q.value(first + 13)))
        f.numCopies = qint64(std::llround(*copies));
}

QDate lastPerformed(const CatalogueTables &t, qint32 id)
{
    // The latest row in date order, as the editors have always shown it.
    return Fmt::dateFromDb(Db::scalar(QStringLiteral("select Lperform from %1 where %2 = ? "
                                                     "order by Lperform desc, RNum desc limit 1")
                                          .arg(QLatin1String(t.performedTable), QLatin1String(t.idColumn)),
                                      {id}));
}

qint32 write(const CatalogueTables &t, qint32 id, bool adding, const QString &name, int nameWidth,
             const CatalogueFields &f, const QStringList &more, const Params &moreValues)
{
    using Fmt::cut;
    const QString stored = cut(name, nameWidth);
    QStringList columns{QLatin1String(t.nameColumn)};
    columns << columnNames() << more << QLatin1String(t.keyColumn);
    Params values{stored,
                  cut(f.catalog, CatalogueFields::CatalogWidth),
                  cut(f.location, CatalogueFields::LocationWidth),
                  f.memo1,
                  cut(f.pages, CatalogueFields::PagesWidth),
                  cut(f.loanedTo, CatalogueFields::LoanedToWidth),
                  cut(f.performTime, CatalogueFields::PerformTimeWidth),
                  f.u[0],
                  f.u[1],
                  f.u[2],
                  f.u[3],
                  f.u[4],
                  Fmt::dateToDb(f.datePurchased),
                  Fmt::numberToDb(f.costPerCopy),
                  Fmt::numberToDb(f.numCopies)};
    values << moreValues << Db::nameKey(stored);
    id = writeRecordRow({t.table, t.idColumn, t.noun}, columns, values, adding, id);

    if (f.lastPerformed.isValid()) {
        const QVariant date = Fmt::dateToDb(f.lastPerformed);
        Db::exec(QStringLiteral("insert into %1 (Lperform, %2) select ?, ? where not exists"
                                " (select 1 from %1 where Lperform = ? and %2 = ?)")
                     .arg(QLatin1String(t.performedTable), QLatin1String(t.idColumn)),
                 {date, id, date, id});
    }
    return id;
}

} // namespace CatalogueData
