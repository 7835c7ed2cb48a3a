#include "CollectionReportModule.h"

#include "CatalogueReport.h"
#include "CollectionRecord.h"
#include "Db.h"
#include "DbStatement.h"
#include "Fmt.h"
#include "LinkTables.h"
#include "Module.h"
#include "RecordCodes.h"
#include "RecordReport.h"
#include "ReportKinds.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"
#include "ReportSource.h"
#include "SR2PrintForm.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVector>

namespace {

// The captions of u1..u5 (index 1 to 5) from the last build that found
// the labels row.
QString CollectionDataCaptions[6];

// Collections are read this many at a time, so a report of the whole
// library holds only one slice of rows in memory besides its pages.
constexpr int kSlice = 500;

constexpr int kBodyLeft = 1440;
constexpr int kPageBreakY = 13000;
constexpr int kCollectionGap = 400;
constexpr int kDetailIndent = 200;

// The five list lines of a collection, in the order of the options 1 to
// 5 that ask for them.
struct ListLine {
    const char *caption;
    CheckGridKind kind;
};
const ListLine kListLines[5] = {
    {"Composers: ", CheckGridKind::Composers},   {"Orchestration: ", CheckGridKind::Orchestration},
    {"Vocalization: ", CheckGridKind::Vocals},   {"Themes: ", CheckGridKind::Themes},
    {"Choirs: ", CheckGridKind::Choirs},
};
// An anthem's own lists with full details: the first four lines, never
// its choirs.
constexpr int kAnthemDetailLines = 4;

const QString kAnthemTitleIndent = QString(5, QLatin1Char(' '));

struct CollectionRow : CatalogueReportRow {
    qint32 id = 0;
    QString name;
};

// One slice of the report: the collections still there, in list order,
// with the names of their lists by position, and their anthems and the
// anthems' lists by collection or by anthem (a collection listed twice
// shares them).
struct Slice {
    QVector<CollectionRow> rows;
    QVector<int> positions; // of each row in the list
    QHash<int, QStringList> lists[5];
    QHash<qint32, QVector<CollectionAnthem>> anthems;
    QHash<qint32, QStringList> anthemLists[kAnthemDetailLines];
};

// The collection ids of the positions [?, ?) of a slice.
const char *const kSliceIds = "select r.id from temp.report_ids r where r.pos >= ? and r.pos < ?";

// The names of one kind of an anthem's links, for the anthems of the
// collections of a slice: (anthemid, name) by anthem, names in order, ties
// by id.
QString anthemLinkSql(CheckGridKind kind)
{
    const LinkTable &l = *LinkTables::link(RecordKind::Anthem, kind);
    const RefTable &n = LinkTables::reference(kind);
    return QStringLiteral("select l.%1, n.%2 from %3 l join %4 n on n.%5 = l.%6 "
                          "where l.%1 in (select a.anthemid from anthem a where a.collectionid in (%7)) "
                          "order by l.%1, n.%8, n.%5")
        .arg(QLatin1String(l.ownerColumn), QLatin1String(n.nameColumn), QLatin1String(l.table),
             QLatin1String(n.table), QLatin1String(n.idColumn), QLatin1String(l.itemColumn),
             QLatin1String(kSliceIds), Db::keyColumn(QLatin1String(n.table), QLatin1String(n.nameColumn)));
}

Slice readSlice(const ReportSource &source, int from, int to, const CollectionReportOptions &o)
{
    Slice s;
    Db::Statement q(QStringLiteral("select r.pos, c.collectionid, c.Collection, %1 "
                                   "from temp.report_ids r join collection c on c.collectionid = r.id "
                                   "where r.pos >= ? and r.pos < ? order by r.pos")
                        .arg(CatalogueReportRow::columns(CatalogueData::Collections, "c")),
                    {from, to});
    while (q.next()) {
        CollectionRow row;
        row.id = q.integer(1);
        row.name = q.text(2);
        row.read(q, 3);
        s.positions.append(q.integer(0));
        s.rows.append(std::move(row));
    }
    if (s.rows.isEmpty())
        return s;

    for (int k = 0; k < 5; ++k)
        if (o.isOn(CollectionReportOptions::Option(CollectionReportOptions::IncludeComposers + k)))
            s.lists[k] = source.linkedNames(RecordKind::Collection, kListLines[k].kind, from, to);

    const bool details = o.isOn(CollectionReportOptions::IncludeAnthemDetails);
    if (details || o.isOn(CollectionReportOptions::IncludeAnthemTitles)) {
        QSqlQuery a = Db::query(QStringLiteral("select a.collectionid, a.anthemid, a.Anthem from anthem a "
                                               "where a.collectionid in (%1) "
                                               "order by a.collectionid, a.anthemkey, a.anthemid")
                                    .arg(QLatin1String(kSliceIds)),
                                {from, to});
        while (a.next())
            s.anthems[a.value(0).toInt()].append(CollectionAnthem{a.value(1).toInt(), Fmt::nz(a.value(2))});
    }
    if (details) {
        for (int k = 0; k < kAnthemDetailLines; ++k)
            for (const auto &n : Db::idTextRows(anthemLinkSql(kListLines[k].kind), {from, to}))
                s.anthemLists[k][n.first].append(n.second);
    }
    return s;
}

void listLine(ReportPrinter &p, const QString &caption, const QStringList &names)
{
    if (!names.isEmpty())
        ReportCaptionedLine(p, caption, names.join(QStringLiteral(",  ")));
}

void drawAnthemTitles(ReportPrinter &p, const QVector<CollectionAnthem> &anthems)
{
    p.setFontBold(true);
    p.setFontSize(8);
    p.text(QStringLiteral("Anthems: \n"));
    p.setFontSize(9);
    p.setFontBold(false);
    for (int i = 0; i < anthems.size(); ++i) {
        if (i > 0)
            p.text(QStringLiteral("\n"));
        p.text(kAnthemTitleIndent + anthems.at(i).title);
    }
    p.text(QStringLiteral("\n"));
}

void drawAnthemDetails(ReportPrinter &p, const QVector<CollectionAnthem> &anthems, const Slice &s)
{
    p.setFontBold(true);
    p.setFontSize(8);
    p.text(QStringLiteral("Anthems: \n"));
    p.setIndentLeft(kDetailIndent);
    p.setCurrentX(kBodyLeft + kDetailIndent);
    p.setFontBold(false);
    p.setFontSize(9);
    for (int i = 0; i < anthems.size(); ++i) {
        if (i > 0)
            p.text(QStringLiteral("\n")); // an empty line between two anthems
        const CollectionAnthem &a = anthems.at(i);
        p.setFontBold(true);
        p.setTextColor(ReportPrinter::winColor(0xFF0000)); // blue
        p.text(a.title + QLatin1Char('\n'));
        p.setTextColor(ReportPrinter::winColor(0));
        p.setFontBold(false);
        for (int k = 0; k < kAnthemDetailLines; ++k)
            listLine(p, QLatin1String(kListLines[k].caption), s.anthemLists[k].value(a.id));
    }
    p.text(QStringLiteral("\n"));
    p.setIndentLeft(0);
}

void drawCollection(ReportPrinter &p, int row, const Slice &s, const CollectionReportOptions &o)
{
    const CollectionRow &c = s.rows.at(row);
    // A page ends only before a block, never inside one.
    if (p.currentY() > kPageBreakY)
        p.newPage();
    PrintReportLogo();
    p.setCurrentX(kBodyLeft);
    ReportCaptionedLine(p, QStringLiteral("Collection: "), c.name);
    c.draw(p);

    // The sections in the order 1, 2, 3, 4, 5, 8, 6, 7: the user fields
    // come before the anthems.
    for (int k = 0; k < 5; ++k)
        if (o.isOn(CollectionReportOptions::Option(CollectionReportOptions::IncludeComposers + k)))
            listLine(p, QLatin1String(kListLines[k].caption), s.lists[k].value(s.positions.at(row)));
    if (o.isOn(CollectionReportOptions::IncludeMyData))
        PrintMyDataLines(CollectionDataCaptions, c.u,
                         [&p](const QString &caption, const QString &value) { ReportCaptionedLine(p, caption, value); });
    const QVector<CollectionAnthem> anthems = s.anthems.value(c.id);
    if (o.isOn(CollectionReportOptions::IncludeAnthemTitles))
        drawAnthemTitles(p, anthems);
    if (o.isOn(CollectionReportOptions::IncludeAnthemDetails))
        drawAnthemDetails(p, anthems, s);
}

} // namespace

CollectionReportOptions::CollectionReportOptions()
{
    for (bool &on : m_on)
        on = true;
    m_on[0] = false;
    m_on[IncludeAnthemDetails] = false;
}

CollectionReportOptions CollectionReportOptions::fromReportWindow()
{
    CollectionReportOptions o;
    const SR2PrintForm *form = ReportForm();
    if (!form || form->reportKind() != ReportKinds::Collections)
        return o;
    for (int i = IncludeComposers; i <= IncludeMyData; ++i)
        if (form->DCheck(i))
            o.m_on[i] = form->optionTicked(i);
    return o;
}

void SetupCollectionReportOptions()
{
    // As CollectionReportOptions first stands: all ticked but the anthems
    // with full details.
    SetupReportOptions({{"Include Composers", true},
                        {"Include Orchestration", true},
                        {"Include Vocalization", true},
                        {"Include Themes", true},
                        {"Include Choirs", true},
                        {"Include Anthems with titles only", true},
                        {"Include Anthems with full details", false},
                        {"Include my defined data fields", true}});
}

void PrintCollectionReport(ReportPrinter &printer, const QList<qint32> &collectionIds,
                           const CollectionReportOptions &options)
{
    // Without a labels row the captions of the last build stay.
    ReadMyDataCaptions(RecordKind::Collection, CollectionDataCaptions);
    const ReportSource source(collectionIds);

    SetupReportPrinter(printer);
    printer.startDoc();
    PrintReportHeading(QString(), true, QStringLiteral("Collections"), QString(), QString(), true);
    int drawn = 0;
    source.forEachSlice(kSlice, [&](int from, int to) {
        const Slice s = readSlice(source, from, to, options);
        for (int row = 0; row < s.rows.size(); ++row) {
            // The gap belongs between two collections, never after the last.
            if (drawn > 0)
                printer.setCurrentY(printer.currentY() + kCollectionGap);
            drawCollection(printer, row, s, options);
            ++drawn;
        }
    });
    printer.endDoc();
    ShowExportResult(false, !printer.exportFile().isEmpty());
}

void PrintCollectionReport(ReportPrinter &printer, const QList<qint32> &collectionIds)
{
    PrintCollectionReport(printer, collectionIds, CollectionReportOptions::fromReportWindow());
}

void PrintCollectionReport(ReportPrinter &printer)
{
    const ReportRecordSet &set = hx().ReportCollectionSet;
    PrintCollectionReport(printer, set.open ? set.ids : QList<qint32>());
}
