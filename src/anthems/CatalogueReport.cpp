#include "CatalogueReport.h"

#include "DbStatement.h"
#include "Fmt.h"
#include "RecordReport.h"
#include "ReportPrinter.h"

#include <optional>

namespace {

const QString kTenBlanks = QString(10, QLatin1Char(' '));

// A stored number (also one stored as text); none for Null, for what is
// no number, and for 0, which prints no line.
std::optional<double> nonZeroNumber(const QVariant &v)
{
    const std::optional<double> n = Fmt::storedNumber(v);
    return n && *n != 0 ? n : std::nullopt;
}

} // namespace

QString CatalogueReportRow::columns(const CatalogueTables &t, const char *alias)
{
    return QStringLiteral("%1.Catalog, %1.Location, %1.DatePurchased, %1.CostPerCopy, %1.NumCopies, %1.Pages, "
                          "%1.PerformTime, %1.LoanedTo, %1.u1, %1.u2, %1.u3, %1.u4, %1.u5, "
                          "(select p.Lperform from %2 p where p.%3 = %1.%3 "
                          "order by p.Lperform desc, p.RNum desc limit 1)")
        .arg(QLatin1String(alias), QLatin1String(t.performedTable), QLatin1String(t.idColumn));
}

void CatalogueReportRow::read(const Db::Statement &q, int first)
{
    catalog = q.value(first);
    location = q.value(first + 1);
    datePurchased = q.value(first + 2);
    cost = q.value(first + 3);
    copies = q.value(first + 4);
    pages = q.value(first + 5);
    performTime = q.value(first + 6);
    loanedTo = q.value(first + 7);
    for (int i = 0; i < 5; ++i)
        u[i] = q.value(first + 8 + i);
    // A row without a date counts as no performance.
    lastPerformed = Fmt::dateFromDb(q.value(first + 13));
}

void CatalogueReportRow::draw(ReportPrinter &p) const
{
    if (ReportFilled(catalog))
        ReportCaptionedLine(p, QStringLiteral("Catalog #: "), Fmt::nz(catalog));
    if (ReportFilled(location))
        ReportCaptionedLine(p, QStringLiteral("Location: "), Fmt::nz(location));
    const QDate purchased = Fmt::dateFromDb(datePurchased);
    if (lastPerformed.isValid() || purchased.isValid()) {
        ReportCaptionRun(p, QStringLiteral("Last Performed: "));
        p.text(lastPerformed.isValid() ? Fmt::mdy(lastPerformed) : kTenBlanks);
        ReportCaptionRun(p, kTenBlanks + QStringLiteral("Purchase Date: "));
        p.text(Fmt::my(purchased));
        p.text(QStringLiteral("\n"));
    }
    if (const auto n = nonZeroNumber(cost))
        ReportCaptionedLine(p, QStringLiteral("Cost per Copy: "), Fmt::plainNumber(*n));
    if (const auto n = nonZeroNumber(copies))
        ReportCaptionedLine(p, QStringLiteral("Number of Copies: "), Fmt::plainNumber(*n));
    if (ReportFilled(pages))
        ReportCaptionedLine(p, QStringLiteral("Page(s), Page #, or Page Range: "), Fmt::nz(pages));
    if (ReportFilled(performTime))
        ReportCaptionedLine(p, QStringLiteral("Performance Time: "), Fmt::nz(performTime));
    if (ReportFilled(loanedTo))
        ReportCaptionedLine(p, QStringLiteral("Loaned To: "), Fmt::nz(loanedTo));
}
