#include "CollectionReportModule.h"

#include "CollectionLinkTables.h"
#include "Db.h"
#include "Fmt.h"
#include "Module.h"
#include "ReportKinds.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"
#include "SR2PrintForm.h"

#include <QCheckBox>
#include <QDate>
#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVector>

#include <optional>

namespace {

const char *const kOptionCaptions[9] = {nullptr,
                                        "Include Composers",
                                        "Include Orchestration",
                                        "Include Vocalization",
                                        "Include Themes",
                                        "Include Choirs",
                                        "Include Anthems with titles only",
                                        "Include Anthems with full details",
                                        "Include my defined data fields"};

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

// An anthem's own lists, in the order printed: composers, orchestration,
// vocalizations, themes (never its choirs).
constexpr CollectionLinkKind kAnthemDetailKinds[4] = {LinkComposers, LinkOrchestration, LinkVocals, LinkThemes};

const QString kTenBlanks = QString(10, QLatin1Char(' '));
const QString kAnthemTitleIndent = QString(5, QLatin1Char(' '));

struct CollectionRow {
    qint32 id = 0;
    QString name;
    QVariant catalog, location, datePurchased, cost, copies, pages, performTime, loanedTo;
    QVariant u[5];
    QDate lastPerformed;
};

// One slice of the report: the collections still there, in list order,
// and the names and anthems its sections print, keyed by collection or by
// anthem (a collection listed twice shares them).
struct Slice {
    QVector<CollectionRow> rows;
    QHash<qint32, QStringList> lists[5];
    QHash<qint32, QVector<CollectionAnthem>> anthems;
    QHash<qint32, QStringList> anthemLists[4];
};

void loadCaptions()
{
    QSqlQuery q = Db::query(QStringLiteral("select label1, label2, label3, label4, label5 from labels where datatype = 1"));
    if (!q.next())
        return; // the captions of the last build stay
    for (int i = 1; i <= 5; ++i)
        CollectionDataCaptions[i] = Fmt::nz(q.value(i - 1));
}

// The report's collections by position, in one statement. Ids below 1
// name no collection (anthems outside every collection carry 0).
void storeIds(const QList<qint32> &ids)
{
    Db::exec(QStringLiteral("create temp table if not exists collection_report_ids "
                            "(pos integer primary key, collectionid integer not null)"));
    Db::exec(QStringLiteral("delete from temp.collection_report_ids"));
    if (ids.isEmpty())
        return;
    QByteArray json;
    json.reserve(ids.size() * 6 + 2);
    json.append('[');
    for (int i = 0; i < ids.size(); ++i) {
        if (i)
            json.append(',');
        json.append(QByteArray::number(ids.at(i)));
    }
    json.append(']');
    Db::exec(QStringLiteral("insert into temp.collection_report_ids (pos, collectionid) "
                            "select key, value from json_each(?) where value > 0"),
             {QString::fromLatin1(json)});
}

// The collection ids of the positions [?, ?) of a slice.
const char *const kSliceIds =
    "select r.collectionid from temp.collection_report_ids r where r.pos >= ? and r.pos < ?";

// Names of one kind of link, for the collections or the anthems of a
// slice: (owner id, name) by owner, names in order, ties by id.
QString collectionLinkSql(const CollectionLinkTable &t)
{
    return QStringLiteral("select l.collectionid, n.%1 from %2 l join %3 n on n.%4 = l.%5 "
                          "where l.collectionid in (%6) order by l.collectionid, n.%1, n.%4")
        .arg(QLatin1String(t.refName), QLatin1String(t.table), QLatin1String(t.refTable), QLatin1String(t.refId),
             QLatin1String(t.itemColumn), QLatin1String(kSliceIds));
}

QString anthemLinkSql(const CollectionLinkTable &t)
{
    return QStringLiteral("select l.anthemid, n.%1 from %2 l join %3 n on n.%4 = l.%5 "
                          "where l.anthemid in (select a.anthemid from anthem a where a.collectionid in (%6)) "
                          "order by l.anthemid, n.%1, n.%4")
        .arg(QLatin1String(t.refName), QLatin1String(t.anthemTable), QLatin1String(t.refTable),
             QLatin1String(t.refId), QLatin1String(t.itemColumn), QLatin1String(kSliceIds));
}

void readLinks(const QString &sql, int from, int to, QHash<qint32, QStringList> &into)
{
    const auto names = Db::idTextRows(sql, {from, to});
    for (const auto &n : names)
        into[n.first].append(n.second);
}

Slice readSlice(int from, int to, const CollectionReportOptions &o)
{
    Slice s;
    QSqlQuery q = Db::query(QStringLiteral(
        "select c.collectionid, c.Collection, c.Catalog, c.Location, c.DatePurchased, c.CostPerCopy, "
        "c.NumCopies, c.Pages, c.PerformTime, c.LoanedTo, c.u1, c.u2, c.u3, c.u4, c.u5, "
        "(select p.Lperform from col_lperform p where p.collectionid = c.collectionid "
        " order by p.Lperform desc, p.RNum desc limit 1) "
        "from temp.collection_report_ids r join collection c on c.collectionid = r.collectionid "
        "where r.pos >= ? and r.pos < ? order by r.pos"),
        {from, to});
    while (q.next()) {
        CollectionRow row;
        row.id = q.value(0).toInt();
        row.name = Fmt::nz(q.value(1));
        row.catalog = q.value(2);
        row.location = q.value(3);
        row.datePurchased = q.value(4);
        row.cost = q.value(5);
        row.copies = q.value(6);
        row.pages = q.value(7);
        row.performTime = q.value(8);
        row.loanedTo = q.value(9);
        for (int i = 0; i < 5; ++i)
            row.u[i] = q.value(10 + i);
        // The latest performance; a row without a date counts as none.
        row.lastPerformed = Fmt::dateFromDb(q.value(15));
        s.rows.append(std::move(row));
    }
    if (s.rows.isEmpty())
        return s;

    for (int k = 0; k < 5; ++k)
        if (o.isOn(CollectionReportOptions::Option(CollectionReportOptions::IncludeComposers + k)))
            readLinks(collectionLinkSql(kCollectionLinkTables[k]), from, to, s.lists[k]);

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
        for (int k = 0; k < 4; ++k)
            readLinks(anthemLinkSql(kCollectionLinkTables[kAnthemDetailKinds[k]]), from, to, s.anthemLists[k]);
    }
    return s;
}

// A caption run: the caption bold in 8 pt, then back to regular 9 pt for
// the value that follows.
void captionRun(ReportPrinter &p, const QString &caption)
{
    p.setFontBold(true);
    p.setFontSize(8);
    p.text(caption);
    p.setFontBold(false);
    p.setFontSize(9);
}

void captionedLine(ReportPrinter &p, const QString &caption, const QString &value)
{
    captionRun(p, caption);
    p.text(value + QLatin1Char('\n'));
}

void listLine(ReportPrinter &p, const QString &caption, const QStringList &names)
{
    if (!names.isEmpty())
        captionedLine(p, caption, names.join(QStringLiteral(",  ")));
}

bool filled(const QVariant &v)
{
    return !Fmt::nz(v).isEmpty();
}

// A stored number, also when an imported file holds it as text; none
// for Null, text that is no number, and 0 (which prints no line).
std::optional<double> nonZeroNumber(const QVariant &v)
{
    if (!Fmt::isNumeric(v))
        return std::nullopt;
    const double n = v.userType() == QMetaType::QString ? Fmt::parseNumber(v.toString()).value_or(0) : v.toDouble();
    return n != 0 ? std::optional<double>(n) : std::nullopt;
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
        for (int k = 0; k < 4; ++k)
            listLine(p, QLatin1String(kCollectionLinkTables[kAnthemDetailKinds[k]].caption),
                     s.anthemLists[k].value(a.id));
    }
    p.text(QStringLiteral("\n"));
    p.setIndentLeft(0);
}

void drawCollection(ReportPrinter &p, const CollectionRow &c, const Slice &s, const CollectionReportOptions &o)
{
    // A page ends only before a block, never inside one.
    if (p.currentY() > kPageBreakY)
        p.newPage();
    PrintReportLogo();
    p.setCurrentX(kBodyLeft);
    captionedLine(p, QStringLiteral("Collection: "), c.name);
    if (filled(c.catalog))
        captionedLine(p, QStringLiteral("Catalog #: "), Fmt::nz(c.catalog));
    if (filled(c.location))
        captionedLine(p, QStringLiteral("Location: "), Fmt::nz(c.location));
    const QDate purchased = Fmt::dateFromDb(c.datePurchased);
    if (c.lastPerformed.isValid() || purchased.isValid()) {
        captionRun(p, QStringLiteral("Last Performed: "));
        p.text(c.lastPerformed.isValid() ? Fmt::mdy(c.lastPerformed) : kTenBlanks);
        captionRun(p, kTenBlanks + QStringLiteral("Purchase Date: "));
        p.text(Fmt::my(purchased) + QLatin1Char('\n'));
    }
    if (const auto cost = nonZeroNumber(c.cost))
        captionedLine(p, QStringLiteral("Cost per Copy: "), Fmt::plainNumber(*cost));
    if (const auto copies = nonZeroNumber(c.copies))
        captionedLine(p, QStringLiteral("Number of Copies: "), Fmt::plainNumber(*copies));
    if (filled(c.pages))
        captionedLine(p, QStringLiteral("Page(s), Page #, or Page Range: "), Fmt::nz(c.pages));
    if (filled(c.performTime))
        captionedLine(p, QStringLiteral("Performance Time: "), Fmt::nz(c.performTime));
    if (filled(c.loanedTo))
        captionedLine(p, QStringLiteral("Loaned To: "), Fmt::nz(c.loanedTo));

    // The sections in the order 1, 2, 3, 4, 5, 8, 6, 7: the user fields
    // come before the anthems.
    for (int k = 0; k < 5; ++k)
        if (o.isOn(CollectionReportOptions::Option(CollectionReportOptions::IncludeComposers + k)))
            listLine(p, QLatin1String(kCollectionLinkTables[k].caption), s.lists[k].value(c.id));
    if (o.isOn(CollectionReportOptions::IncludeMyData)) {
        for (int i = 1; i <= 5; ++i)
            if (filled(c.u[i - 1]))
                captionedLine(p, CollectionDataCaptions[i] + QStringLiteral(": "), Fmt::nz(c.u[i - 1]));
    }
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
    SR2PrintForm *form = ReportForm();
    if (!form)
        return;
    QCheckBox *previous = nullptr;
    for (int i = 1; i <= 8; ++i) {
        QCheckBox *box = form->loadDCheck(i);
        const int top = previous ? SR2PrintForm::twipsTop(previous) + SR2PrintForm::twipsHeight(previous) + 75 : 100;
        SR2PrintForm::placeTwips(box, 60, top, 3330);
        box->setText(QLatin1String(kOptionCaptions[i]));
        box->setChecked(i != CollectionReportOptions::IncludeAnthemDetails);
        box->setVisible(true);
        previous = box;
    }
    ArrangeReportForm(SR2PrintForm::twipsTop(previous), SR2PrintForm::twipsHeight(previous) + 100, true);
}

void PrintCollectionReport(ReportPrinter &printer, const QList<qint32> &collectionIds,
                           const CollectionReportOptions &options)
{
    loadCaptions();
    storeIds(collectionIds);

    SetupReportPrinter(printer);
    printer.startDoc();
    PrintReportHeading(QString(), true, QStringLiteral("Collections"), QString(), QString(), true);
    int drawn = 0;
    for (int from = 0; from < collectionIds.size(); from += kSlice) {
        const Slice s = readSlice(from, from + kSlice, options);
        for (const CollectionRow &c : s.rows) {
            // The gap belongs between two collections, never after the last.
            if (drawn > 0)
                printer.setCurrentY(printer.currentY() + kCollectionGap);
            drawCollection(printer, c, s, options);
            ++drawn;
        }
    }
    Db::exec(QStringLiteral("delete from temp.collection_report_ids"));
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
