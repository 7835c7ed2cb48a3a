#include "AnthemReportModule.h"

#include "Db.h"
#include "Fmt.h"
#include "Module.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"
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
// that asks for each. The names come sorted, ties by id.
struct ListLine {
    Option option;
    const char *caption;
    const char *sql;
};
const ListLine kListLines[5] = {
    {IncludeComposers, "Composers: ",
     "select r.pos, n.composer from temp.anthem_report_ids r join a_com_l l on l.anthemid = r.anthemid "
     "join composer n on n.composerid = l.composerid where r.pos >= ? and r.pos < ? "
     "order by r.pos, n.composerkey, n.composerid"},
    {IncludeOrchestration, "Orchestration: ",
     "select r.pos, n.orchestration from temp.anthem_report_ids r join a_orch_l l on l.anthemid = r.anthemid "
     "join orchestration n on n.orchid = l.orchid where r.pos >= ? and r.pos < ? "
     "order by r.pos, n.orchestrationkey, n.orchid"},
    {IncludeVocalization, "Vocalization: ",
     "select r.pos, n.vocals from temp.anthem_report_ids r join a_v_l l on l.anthemid = r.anthemid "
     "join vocals n on n.vocalsid = l.vocalsid where r.pos >= ? and r.pos < ? "
     "order by r.pos, n.vocalskey, n.vocalsid"},
    {IncludeThemes, "Themes: ",
     "select r.pos, n.theme from temp.anthem_report_ids r join a_th_l l on l.anthemid = r.anthemid "
     "join themes n on n.themeid = l.themeid where r.pos >= ? and r.pos < ? "
     "order by r.pos, n.themekey, n.themeid"},
    {IncludeChoirs, "Choirs: ",
     "select r.pos, n.choir from temp.anthem_report_ids r join a_chr_l l on l.anthemid = r.anthemid "
     "join choir n on n.ChoirID = l.choirid where r.pos >= ? and r.pos < ? "
     "order by r.pos, n.choirkey, n.ChoirID"},
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
    QSqlQuery q = Db::query(QStringLiteral("select label1, label2, label3, label4, label5 from labels where datatype = 2"));
    if (!q.next())
        return; // the captions of the last build stay
    for (int i = 1; i <= 5; ++i)
        AnthemDataCaptions[i] = Fmt::nz(q.value(i - 1));
}

// The report's anthems by position, in one statement: the list may hold
// a hundred thousand ids.
void storeIds(const QList<qint32> &ids)
{
    Db::exec(QStringLiteral("create temp table if not exists anthem_report_ids "
                            "(pos integer primary key, anthemid integer not null)"));
    Db::exec(QStringLiteral("delete from temp.anthem_report_ids"));
    if (ids.isEmpty())
        return;
    QByteArray json;
    json.reserve(ids.size() * 7 + 2);
    json.append('[');
    for (int i = 0; i < ids.size(); ++i) {
        if (i)
            json.append(',');
        json.append(QByteArray::number(ids.at(i)));
    }
    json.append(']');
    Db::exec(QStringLiteral("insert into temp.anthem_report_ids (pos, anthemid) "
                            "select key, value from json_each(?)"),
             {QString::fromLatin1(json)});
}

// One slice of anthems, positions [from, to): those that still exist,
// in list order, with their link names when their lines are asked for.
QVector<AnthemRow> readSlice(int from, int to, const bool wantList[5])
{
    QVector<AnthemRow> rows;
    QVector<int> posOfRow;
    QSqlQuery q = Db::query(QStringLiteral(
        "select r.pos, a.Anthem, c.collectionid, c.Collection, a.Catalog, a.Location, a.DatePurchased, "
        "a.CostPerCopy, a.NumCopies, a.Pages, a.PerformTime, a.LoanedTo, a.u1, a.u2, a.u3, a.u4, a.u5, "
        "(select p.Lperform from a_lperform p where p.anthemid = a.anthemid "
        " order by p.Lperform desc, p.RNum desc limit 1) "
        "from temp.anthem_report_ids r join anthem a on a.anthemid = r.anthemid "
        "left join collection c on c.collectionid = a.collectionid "
        "where r.pos >= ? and r.pos < ? order by r.pos"),
        {from, to});
    while (q.next()) {
        AnthemRow row;
        row.anthem = Fmt::nz(q.value(1));
        row.inCollection = !q.value(2).isNull();
        row.collection = Fmt::nz(q.value(3));
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
        posOfRow.append(q.value(0).toInt());
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
        const auto names = Db::idTextRows(QLatin1String(kListLines[k].sql), {from, to});
        for (const auto &n : names) {
            const auto it = rowOfPos.constFind(n.first);
            if (it != rowOfPos.constEnd())
                rows[it.value()].lists[k].append(n.second);
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
    const ReportRecordSet &set = hx().ReportAnthemSet;
    const QList<qint32> ids = set.open ? set.ids : QList<qint32>();
    storeIds(ids);

    SetupReportPrinter(printer);
    printer.startDoc();
    PrintReportHeading(QStringLiteral("Anthems"));
    int drawn = 0;
    for (int from = 0; from < ids.size(); from += kSlice) {
        const QVector<AnthemRow> rows = readSlice(from, from + kSlice, wantList);
        for (const AnthemRow &a : rows) {
            // The gap belongs between two anthems, never after the last.
            if (drawn > 0)
                printer.setCurrentY(printer.currentY() + kAnthemGap);
            drawAnthem(printer, a, wantList, withMyData);
            ++drawn;
        }
    }
    if (drawn == 0)
        valueRun(printer, QStringLiteral("There are no anthems to print.\n"));
    Db::exec(QStringLiteral("delete from temp.anthem_report_ids"));
    printer.endDoc();
    ShowExportResult(!printer.exportFile().isEmpty());
}
