#include "ScheduleReportModule.h"

#include "ChoirList.h"
#include "Db.h"
#include "Fmt.h"
#include "LinkTables.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"
#include "SR2PrintForm.h"
#include "ScheduleInfo.h"
#include "ScheduleReportRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTextEdit>
#include <optional>

namespace {

const QStringList kTableFormat = {QStringLiteral("^1in"), QStringLiteral("2in"), QStringLiteral("2in"),
                                  QStringLiteral("2in"), QStringLiteral("2in")};
const QStringList kTableHeader = {QStringLiteral("DATE"), QStringLiteral("CALL"), QStringLiteral("ANTHEM"),
                                  QStringLiteral("OFFERTORY"), QStringLiteral("BENEDICTION")};
// The header row's shade: a light pink (red 255, green 192, blue 192).
constexpr quint32 kHeaderShade = 0xC0C0FF;

QString serviceKey(const QString &storedDate, const QString &ampm)
{
    return storedDate + QLatin1Char('|') + ampm.toUpper();
}

// What the entries' cells need besides the entries: the notes of the
// scheduled services and the composers of the scheduled anthems and
// collections, each read once for the whole report.
struct Lookups {
    QHash<QString, QString> notes;
    QHash<qint32, QStringList> anthemComposers;
    QHash<qint32, QStringList> collectionComposers;

    void read()
    {
        QSqlQuery q = Db::query(QStringLiteral(
            "select n.SchedDate, n.AMPM, n.notes from schednotes n "
            "where exists (select 1 from schedule s where s.SchedDate = n.SchedDate and s.AMPM = n.AMPM) "
            "order by n.rowid"));
        while (q.next()) {
            const QString key = serviceKey(Fmt::nz(q.value(0)), Fmt::nz(q.value(1)));
            if (!notes.contains(key))
                notes.insert(key, Fmt::nz(q.value(2)));
        }
        for (const auto &r : Db::idTextRows(composersSql(RecordKind::Anthem)))
            anthemComposers[r.first].append(r.second);
        for (const auto &r : Db::idTextRows(composersSql(RecordKind::Collection)))
            collectionComposers[r.first].append(r.second);
    }

    // The composers of every scheduled record of a kind, by record id and
    // in name order.
    static QString composersSql(RecordKind owner)
    {
        const LinkTable &l = *LinkTables::link(owner, CheckGridKind::Composers);
        const RefTable &c = LinkTables::reference(CheckGridKind::Composers);
        const QString table = QLatin1String(c.table), id = QLatin1String(c.idColumn);
        const QString name = QLatin1String(c.nameColumn), owned = QLatin1String(l.ownerColumn);
        // The schedule names the record by its id column.
        const QString scheduled = QLatin1String(LinkTables::recordIdColumn(owner));
        return QStringLiteral("select l.%1, c.%2 from %3 l join %4 c on c.%5 = l.%6 "
                              "where l.%1 in (select %8 from schedule where %8 > 0) "
                              "order by l.%1, c.%7, c.%5")
            .arg(owned, name, QLatin1String(l.table), table, id, QLatin1String(l.itemColumn),
                 Db::keyColumn(table, name), scheduled);
    }

    QString notesOf(const QString &storedDate, const QString &ampm) const
    {
        return notes.value(serviceKey(storedDate, ampm));
    }
};

// The entries of every choir (service order, by choir id within a
// service) or of one choir (service order).
QVector<ScheduleReportEntry> readEntries(const Lookups &lookups, std::optional<qint32> choir)
{
    QString sql = QStringLiteral(
        "select coalesce(s.ChoirID, 0), ch.choir, s.SchedDate, s.AMPM, s.call, s.Anthem, s.Offertory, "
        "s.Benediction, s.other, c.collectionid, c.Collection, a.anthemid, a.Anthem "
        "from schedule s left join choir ch on ch.ChoirID = s.ChoirID "
        "left join collection c on c.collectionid = s.collectionid and s.collectionid > 0 "
        "left join anthem a on a.anthemid = s.anthemid and s.anthemid > 0 ");
    Params params;
    if (choir) {
        sql += QStringLiteral("where coalesce(s.ChoirID, 0) = ? order by s.SchedDate, s.AMPM, s.schedid");
        params.append(*choir);
    } else {
        sql += QStringLiteral("order by s.SchedDate, s.AMPM, coalesce(s.ChoirID, 0), s.schedid");
    }
    QVector<ScheduleReportEntry> entries;
    QSqlQuery q = Db::query(sql, params);
    while (q.next()) {
        ScheduleReportEntry e;
        e.choirId = q.value(0).toInt();
        e.choirName = Fmt::nz(q.value(1));
        e.storedDate = Fmt::nz(q.value(2));
        e.date = Fmt::dateFromDb(q.value(2));
        e.ampm = Fmt::nz(q.value(3));
        for (int k = 0; k < 4; ++k)
            e.slotFlags[k] = q.value(4 + k).toInt() != 0;
        e.other = Fmt::nz(q.value(8));
        if (!q.value(9).isNull()) {
            const qint32 id = q.value(9).toInt();
            e.title = ScheduleReportRows::entryTitle(Fmt::nz(q.value(10)), lookups.collectionComposers.value(id));
        }
        // An anthem's title takes the place of a collection's.
        if (!q.value(11).isNull()) {
            const qint32 id = q.value(11).toInt();
            e.title = ScheduleReportRows::entryTitle(Fmt::nz(q.value(12)), lookups.anthemComposers.value(id));
        }
        entries.append(e);
    }
    return entries;
}

// Set-up, heading and table header shared by both builds.
void startReport(ReportPrinter &printer, const QString &title)
{
    SetupReportPrinter(printer);
    printer.startDoc();
    PrintReportHeading(QString(), true, title, QString(), QString(), true);
}

void pageHeading(const QString &title)
{
    PrintReportHeading(QString(), true, title, QString(), QString(), true);
}

void addRows(ReportPrinter &printer, const QList<QStringList> &rows)
{
    // A table without entries still shows its header and one empty row.
    printer.addTable(kTableFormat, kTableHeader, rows.isEmpty() ? QList<QStringList>{QStringList(5)} : rows,
                     ReportPrinter::winColor(kHeaderShade));
}

// The header row bold and centred, the DATE column bold.
void finishTable(ReportPrinter &printer)
{
    printer.tableCell(TableProp::Bold, 0, ReportPrinter::AllCols, true);
    printer.tableCell(TableProp::Align, 0, ReportPrinter::AllCols, int(TextAlign::Center));
    printer.tableCell(TableProp::Bold, ReportPrinter::AllRows, 1, true);
    printer.endTable();
}

void allChoirsBlock(ReportPrinter &printer, const QString &info)
{
    printer.setFontBold(true);
    printer.text(QStringLiteral("All Choirs\n"));
    printer.setFontBold(false);
    printer.text(info + QStringLiteral("\n\n"));
}

void choirBlock(ReportPrinter &printer, const QString &name, const QString &info)
{
    printer.setFontBold(true);
    printer.text(name + QStringLiteral("\n"));
    printer.setFontBold(false);
    printer.text(info + QStringLiteral("\n\n"));
}

void endReport(ReportPrinter &printer)
{
    printer.endDoc();
    ShowExportResult(false, !printer.exportFile().isEmpty());
}

} // namespace

QString ScheduleReportTitle()
{
    QString title = QStringLiteral("Choir Schedule");
    QSqlQuery q = Db::query(QStringLiteral("select min(SchedDate), max(SchedDate) from schedule "
                                           "where SchedDate is not null"));
    if (q.next() && !q.value(0).isNull())
        title += QStringLiteral(" for ") + Fmt::mdy(Fmt::dateFromDb(q.value(0))) + QStringLiteral(" thru ")
            + Fmt::mdy(Fmt::dateFromDb(q.value(1)));
    return title;
}

ScheduleReportOptions ScheduleReportOptionsShown()
{
    ScheduleReportOptions o;
    SR2PrintForm *form = ReportForm();
    if (!form || !form->DRtext(1)) {
        o.info = ScheduleInfo::text();
        return o;
    }
    o.info = form->DRtext(1)->toPlainText();
    o.combined = !form->DCheck(1) || form->optionTicked(1);
    if (!o.combined && form->optionTicked(2)) {
        QComboBox *combo = form->DComboB(1);
        if (combo && !combo->currentText().isEmpty())
            o.limitChoirId = ChosenChoirId(combo);
    }
    return o;
}

void SetupScheduleReportOptions()
{
    SR2PrintForm *form = ReportForm();
    if (!form)
        return;
    using F = SR2PrintForm;
    auto bottom = [](QWidget *w) { return F::twipsTop(w) + F::twipsHeight(w); };

    QLabel *label = form->loadDLabel(1);
    F::placeTwips(label, 60, 300, 3330);
    label->setText(QStringLiteral("Schedule info for ALL CHOIRS"));

    QTextEdit *info = form->loadDRtext(1);
    F::placeTwips(info, 60, bottom(label) + 60, 3600, 3330);
    info->clear();
    label->setBuddy(info);

    QPushButton *save = form->loadDButton(1);
    F::placeTwips(save, 60, bottom(info) + 15, 3585);
    save->setText(QStringLiteral("Save current Information"));

    QCheckBox *combine = form->loadDCheck(1);
    F::placeTwips(combine, 60, bottom(save) + 75, 3585);
    combine->setText(QStringLiteral("Combine choirs into 1 schedule"));
    combine->setChecked(true);

    // 600 twips would hold the choir list exactly; one pixel more keeps its
    // lower edge from being cut where twips round to pixels.
    QGroupBox *frame = form->loadDFrame(1);
    F::placeTwips(frame, 60, bottom(combine) + 60, 3585, 600 + SR2PrintForm::TwipsPerPixel);

    QCheckBox *limit = form->loadDCheck(2, frame);
    F::placeTwips(limit, 0, 0, 3585);
    limit->setText(QStringLiteral("Limit to selected choir"));
    limit->setChecked(false);

    // A list to choose from, never typed into: the choice is its item's id.
    QComboBox *choirs = form->loadDComboB(1, frame);
    choirs->setEditable(false);
    F::placeTwips(choirs, 0, bottom(limit) + 60, 3585);
    choirs->setAccessibleName(QStringLiteral("Selected choir"));
    frame->setVisible(false);

    ArrangeReportForm(F::twipsTop(frame), F::twipsHeight(frame) + 100, true);

    info->setPlainText(ScheduleInfo::text());
    FillChoirCombo(choirs);
}

void PrintScheduleReport(ReportPrinter &printer)
{
    const ScheduleReportOptions options = ScheduleReportOptionsShown();
    if (options.combined)
        PrintCombinedSchedule(printer, options);
    else
        PrintScheduleByChoir(printer, options);
}

void PrintCombinedSchedule(ReportPrinter &printer)
{
    PrintCombinedSchedule(printer, ScheduleReportOptionsShown());
}

void PrintScheduleByChoir(ReportPrinter &printer)
{
    PrintScheduleByChoir(printer, ScheduleReportOptionsShown());
}

void PrintCombinedSchedule(ReportPrinter &printer, const ScheduleReportOptions &options)
{
    Lookups lookups;
    lookups.read();
    const QVector<ScheduleReportEntry> entries = readEntries(lookups, std::nullopt);

    startReport(printer, ScheduleReportTitle());
    printer.setFontSize(10);
    allChoirsBlock(printer, options.info);
    // The information of every scheduled choir that has some, by id.
    QSqlQuery q = Db::query(QStringLiteral(
        "select choir, info from choir where ChoirID in (select ChoirID from schedule where ChoirID <> 0) "
        "and coalesce(info, '') <> '' order by ChoirID"));
    while (q.next())
        choirBlock(printer, Fmt::nz(q.value(0)), Fmt::nz(q.value(1)));

    printer.setFontSize(8);
    printer.startTable();
    addRows(printer, ScheduleReportRows::compose(
                         entries, [&](const QString &d, const QString &a) { return lookups.notesOf(d, a); }, true));
    finishTable(printer);
    endReport(printer);
}

void PrintScheduleByChoir(ReportPrinter &printer, const ScheduleReportOptions &options)
{
    Lookups lookups;
    lookups.read();
    const QString title = ScheduleReportTitle();

    // Only the chosen choir, when it still exists; else every choir, the
    // entries without a choir first.
    std::optional<qint32> limit;
    if (options.limitChoirId >= 0
        && Db::exists(QStringLiteral("select 1 from choir where ChoirID = ?"), {options.limitChoirId}))
        limit = options.limitChoirId;
    QList<qint32> choirIds;
    {
        QSqlQuery q = limit ? Db::query(QStringLiteral("select distinct coalesce(ChoirID, 0) from schedule "
                                                       "where ChoirID = ? order by 1"),
                                        {*limit})
                            : Db::query(QStringLiteral("select distinct coalesce(ChoirID, 0) from schedule order by 1"));
        while (q.next())
            choirIds.append(q.value(0).toInt());
    }

    startReport(printer, title);
    if (choirIds.isEmpty()) {
        printer.startTable();
        addRows(printer, {});
        finishTable(printer);
    }
    for (int i = 0; i < choirIds.size(); ++i) {
        const qint32 id = choirIds.at(i);
        printer.startTable();
        const QVector<ScheduleReportEntry> entries = readEntries(lookups, id);
        if (!entries.isEmpty()) {
            QSqlQuery q = Db::query(QStringLiteral("select choir, info from choir where ChoirID = ?"), {id});
            if (q.next()) {
                printer.setFontSize(10);
                allChoirsBlock(printer, options.info);
                choirBlock(printer, Fmt::nz(q.value(0)), Fmt::nz(q.value(1)));
                printer.setFontSize(8);
            }
            addRows(printer, ScheduleReportRows::compose(
                                 entries, [&](const QString &d, const QString &a) { return lookups.notesOf(d, a); },
                                 false));
        }
        finishTable(printer);
        // Each choir starts on a page of its own.
        if (i + 1 < choirIds.size()) {
            printer.newPage();
            pageHeading(title);
        }
    }
    endReport(printer);
}
