#include "AnthemReportModule.h"

#include "CatalogueReport.h"
#include "DbStatement.h"
#include "Module.h"
#include "RecordCodes.h"
#include "RecordReport.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"
#include "ReportSource.h"
#include "SR2PrintForm.h"

#include <QStringList>
#include <QVector>

namespace {

// The report's options, element i of DCheck being option i.
enum Option { IncludeComposers = 1, IncludeOrchestration, IncludeVocalization, IncludeThemes, IncludeChoirs, IncludeMyData };

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

struct AnthemRow : CatalogueReportRow {
    QString anthem;
    bool inCollection = false;
    QString collection;
    QStringList lists[5];
};

bool ticked(int option)
{
    // Without a report window the options stand as the window first shows them.
    SR2PrintForm *form = ReportForm();
    return form && form->DCheck(option) ? form->optionTicked(option) : true;
}

// One slice of anthems, positions [from, to): those that still exist,
// in list order, with their link names when their lines are asked for.
QVector<AnthemRow> readSlice(const ReportSource &source, int from, int to, const bool wantList[5])
{
    QVector<AnthemRow> rows;
    QVector<int> posOfRow;
    Db::Statement q(QStringLiteral("select r.pos, a.Anthem, c.collectionid, c.Collection, %1 "
                                   "from temp.report_ids r join anthem a on a.anthemid = r.id "
                                   "left join collection c on c.collectionid = a.collectionid "
                                   "where r.pos >= ? and r.pos < ? order by r.pos")
                        .arg(CatalogueReportRow::columns(CatalogueData::Anthems, "a")),
                    {from, to});
    while (q.next()) {
        AnthemRow row;
        row.anthem = q.text(1);
        row.inCollection = !q.isNull(2);
        row.collection = q.text(3);
        row.read(q, 4);
        posOfRow.append(q.integer(0));
        rows.append(std::move(row));
    }
    if (rows.isEmpty())
        return rows;
    for (int k = 0; k < 5; ++k) {
        if (!wantList[k])
            continue;
        const QVector<QStringList> names =
            source.linkedNamesOfRows(RecordKind::Anthem, kListLines[k].kind, from, to, posOfRow);
        for (int i = 0; i < rows.size(); ++i)
            rows[i].lists[k] = names.at(i);
    }
    return rows;
}

void drawAnthem(ReportPrinter &p, const AnthemRow &a, const bool wantList[5], bool withMyData)
{
    if (p.currentY() > kPageBreakY)
        p.newPage();
    PrintReportLogo();
    p.setCurrentX(kBodyLeft);
    ReportCaptionedLine(p, QStringLiteral("Anthem: "), a.anthem);
    if (a.inCollection)
        ReportCaptionedLine(p, QStringLiteral("Part of Collection: "), a.collection);
    a.draw(p);
    for (int k = 0; k < 5; ++k)
        if (wantList[k] && !a.lists[k].isEmpty())
            ReportCaptionedLine(p, QLatin1String(kListLines[k].caption), a.lists[k].join(QStringLiteral(",  ")));
    if (withMyData)
        PrintMyDataLines(AnthemDataCaptions, a.u,
                         [&p](const QString &caption, const QString &value) { ReportCaptionedLine(p, caption, value); });
}

} // namespace

void SetupAnthemReportOptions()
{
    SetupReportOptions({{"Include Composers", true},
                        {"Include Orchestration", true},
                        {"Include Vocalization", true},
                        {"Include Themes", true},
                        {"Include Choirs", true},
                        {"Include my defined data fields", true}});
}

void PrintAnthemReport(ReportPrinter &printer)
{
    // Without a labels row the captions of the last build stay.
    ReadMyDataCaptions(RecordKind::Anthem, AnthemDataCaptions);
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
    if (drawn == 0) {
        printer.setFontBold(false);
        printer.setFontSize(9);
        printer.text(QStringLiteral("There are no anthems to print.\n"));
    }
    printer.endDoc();
    ShowExportResult(!printer.exportFile().isEmpty());
}
