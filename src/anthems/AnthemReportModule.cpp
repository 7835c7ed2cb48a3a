#include "AnthemReportModule.h"

#include "Db.h"
#include "DbStatement.h"
#include "Fmt.h"
#include "Module.h"
#include "MyDataLabels.h"
#include "RecordCodes.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"
#include "ReportSource.h"
#include "SR2PrintForm.h"

#include <QCheckBox>
#include <QDate>
#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVector>

namespace {

// The report's options, element i of DCheck being option i.
enum Option { IncludeComposers = 1, IncludeOrchestration, IncludeVocalization, IncludeThemes, IncludeChoirs, IncludeMyData };

const char *const kOptionCaptions[7] = {nullptr,
                                        "Include Composers",
                                        "Include Orchestration",
                                        "Include Vocalization",
                                        "Include Themes",
                                        "Include Choirs",
                                        "Include my defined data fields"};

// The five list lines, in the order they are printed, with the option
// that asks for each.
struct ListLine {
    Option option;
    const char *caption;
    CheckGridKind kind;
};
const ListLine kListLines[5] = {
    {IncludeComposers, "Composers: ", CheckGridKind::Composers},
    {IncludeOrchestration, "Orchestration: ", CheckGridKind::Orchestration},
    {IncludeVocalization, "Vocalization: ", CheckGridKind::Vocals},
    {IncludeThemes, "Themes: ", CheckGridKind::Themes},
    {IncludeChoirs, "Choirs: ", CheckGridKind::Choirs},
};

// The captions of u1..u5 (index 1 to 5) from the last build that found
// the labels row.
QString AnthemDataCaptions[6];

// Anthems are read this many at a time, so a report of the whole library
// holds only one slice of rows in memory besides its pages.
constexpr int kSlice = 1000;

constexpr int kBodyLeft = 1440;
constexpr int kPageBreakY = 13000;
constexpr int kAnthemGap = 400;

const QString kTenBlanks = QString(10, QLatin1Char(' '));

struct AnthemRow {
    QString anthem;
    bool inCollection = false;
    QString collection;
    QVariant catalog, location, datePurchased, cost, copies, pages, performTime, loanedTo;
    QVariant u[5];
    QDate lastPerformed;
    QStringList lists[5];
};

bool ticked(int option)
{
    // Without a report window the options stand as the window first shows them.
    SR2PrintForm *form = ReportForm();
    return form && form->DCheck(option) ? form->optionTicked(option) : true;
}

void loadCaptions()
{
    // Without a labels row the captions of the last build stay.
    if (const auto captions = MyDataLabels::read(myDataType(RecordKind::Anthem)))
        for (int i = 1; i <= 5; ++i)
            AnthemDataCaptions[i] = captions->at(i - 1);
}

// One slice of anthems, positions [from, to): those that still exist,
// in list order, with their link names when their lines are asked for.
QVector<AnthemRow> readSlice(const ReportSource &source, int from, int to, const bool wantList[5])
{
    QVector<AnthemRow> rows;
    QVector<int> posOfRow;
    Db::Statement q(QStringLiteral(
        "select r.pos, a.Anthem, c.collectionid, c.Collection, a.Catalog, a.Location, a.DatePurchased, "
        "a.CostPerCopy, a.NumCopies, a.Pages, a.PerformTime, a.LoanedTo, a.u1, a.u2, a.u3, a.u4, a.u5, "
        "(select p.Lperform from a_lperform p where p.anthemid = a.anthemid "
        " order by p.Lperform desc, p.RNum desc limit 1) "
        "from temp.report_ids r join anthem a on a.anthemid = r.id "
        "left join collection c on c.collectionid = a.collectionid "
        "where r.pos >= ? and r.pos < ? order by r.pos"),
        {from, to});
    while (q.next()) {
        AnthemRow row;
        row.anthem = q.text(1);
        row.inCollection = !q.isNull(2);
        row.collection = q.text(3);
        row.catalog = q.value(4);
        row.location = q.value(5);
        row.datePurchased = q.value(6);
        row.cost = q.value(7);
        row.copies = q.value(8);
        row.pages = q.value(9);
        row.performTime = q.value(10);
        row.loanedTo = q.value(11);
        for (int i = 0; i < 5; ++i)
            row.u[i] = q.value(12 + i);
        // The latest performance; a row without a date counts as none.
        row.lastPerformed = Fmt::dateFromDb(q.value(17));
        posOfRow.append(q.integer(0));
        rows.append(std::move(row));
    }
    if (rows.isEmpty())
        return rows;
    QHash<int, int> rowOfPos;
    rowOfPos.reserve(posOfRow.size());
    for (int i = 0; i < posOfRow.size(); ++i)
        rowOfPos.insert(posOfRow.at(i), i);
    for (int k = 0; k < 5; ++k) {
        if (!wantList[k])
            continue;
        const QHash<int, QStringList> names = source.linkedNames(RecordKind::Anthem, kListLines[k].kind, from, to);
        for (auto n = names.constBegin(); n != names.constEnd(); ++n) {
            const auto it = rowOfPos.constFind(n.key());
            if (it != rowOfPos.constEnd())
                rows[it.value()].lists[k] = n.value();
        }
    }
    return rows;
}

// A captioned line: the caption bold in 8 pt, the value regular in 9 pt.
void captionRun(ReportPrinter &p, const QString &caption)
{
    p.setFontBold(true);
    p.setFontSize(8);
    p.text(caption);
}

void valueRun(ReportPrinter &p, const QString &value)
{
    p.setFontBold(false);
    p.setFontSize(9);
    p.text(value);
}

void captionedLine(ReportPrinter &p, const QString &caption, const QString &value)
{
    captionRun(p, caption);
    valueRun(p, value);
    p.text(QStringLiteral("\n"));
}

bool filled(const QVariant &v)
{
    return !Fmt::nz(v).isEmpty();
}

bool nonZeroNumber(const QVariant &v)
{
    return !v.isNull() && Fmt::isNumeric(v) && v.toDouble() != 0;
}

void drawAnthem(ReportPrinter &p, const AnthemRow &a, const bool wantList[5], bool withMyData)
{
    if (p.currentY() > kPageBreakY)
        p.newPage();
    PrintReportLogo();
    p.setCurrentX(kBodyLeft);
    captionedLine(p, QStringLiteral("Anthem: "), a.anthem);
    if (a.inCollection)
        captionedLine(p, QStringLiteral("Part of Collection: "), a.collection);
    if (filled(a.catalog))
        captionedLine(p, QStringLiteral("Catalog #: "), Fmt::nz(a.catalog));
    if (filled(a.location))
        captionedLine(p, QStringLiteral("Location: "), Fmt::nz(a.location));
    const QDate purchased = Fmt::dateFromDb(a.datePurchased);
    if (a.lastPerformed.isValid() || purchased.isValid()) {
        captionRun(p, QStringLiteral("Last Performed: "));
        valueRun(p, a.lastPerformed.isValid() ? Fmt::mdy(a.lastPerformed) : kTenBlanks);
        captionRun(p, kTenBlanks + QStringLiteral("Purchase Date: "));
        valueRun(p, purchased.isValid() ? Fmt::my(purchased) : QString());
        p.text(QStringLiteral("\n"));
    }
    if (nonZeroNumber(a.cost))
        captionedLine(p, QStringLiteral("Cost per Copy: "), Fmt::plainNumber(a.cost.toDouble()));
    if (nonZeroNumber(a.copies))
        captionedLine(p, QStringLiteral("Number of Copies: "), Fmt::plainNumber(a.copies.toDouble()));
    if (filled(a.pages))
        captionedLine(p, QStringLiteral("Page(s), Page #, or Page Range: "), Fmt::nz(a.pages));
    if (filled(a.performTime))
        captionedLine(p, QStringLiteral("Performance Time: "), Fmt::nz(a.performTime));
    if (filled(a.loanedTo))
        captionedLine(p, QStringLiteral("Loaned To: "), Fmt::nz(a.loanedTo));
    for (int k = 0; k < 5; ++k)
        if (wantList[k] && !a.lists[k].isEmpty())
            captionedLine(p, QLatin1String(kListLines[k].caption), a.lists[k].join(QStringLiteral(",  ")));
    if (withMyData) {
        for (int i = 1; i <= 5; ++i)
            if (filled(a.u[i - 1]))
                captionedLine(p, AnthemDataCaptions[i] + QStringLiteral(": "), Fmt::nz(a.u[i - 1]));
    }
}

} // namespace

void SetupAnthemReportOptions()
{
    SR2PrintForm *form = ReportForm();
    if (!form)
        return;
    QCheckBox *previous = nullptr;
    for (int i = 1; i <= 6; ++i) {
        QCheckBox *box = form->loadDCheck(i);
        const int top = previous ? SR2PrintForm::twipsTop(previous) + SR2PrintForm::twipsHeight(previous) + 75 : 100;
        SR2PrintForm::placeTwips(box, 60, top, 3330);
        box->setText(QLatin1String(kOptionCaptions[i]));
        box->setChecked(true);
        box->setVisible(true);
        previous = box;
    }
    ArrangeReportForm(SR2PrintForm::twipsTop(previous), SR2PrintForm::twipsHeight(previous) + 100);
}

void PrintAnthemReport(ReportPrinter &printer)
{
    loadCaptions();
    bool wantList[5];
    for (int k = 0; k < 5; ++k)
        wantList[k] = ticked(kListLines[k].option);
    const bool withMyData = ticked(IncludeMyData);
    const ReportSource source(hx().ReportAnthemSet);

    SetupReportPrinter(printer);
    printer.startDoc();
    PrintReportHeading(QStringLiteral("Anthems"));
    int drawn = 0;
    source.forEachSlice(kSlice, [&](int from, int to) {
        const QVector<AnthemRow> rows = readSlice(source, from, to, wantList);
        for (const AnthemRow &a : rows) {
            // The gap belongs between two anthems, never after the last.
            if (drawn > 0)
                printer.setCurrentY(printer.currentY() + kAnthemGap);
            drawAnthem(printer, a, wantList, withMyData);
            ++drawn;
        }
    });
    if (drawn == 0)
        valueRun(printer, QStringLiteral("There are no anthems to print.\n"));
    printer.endDoc();
    ShowExportResult(!printer.exportFile().isEmpty());
}
