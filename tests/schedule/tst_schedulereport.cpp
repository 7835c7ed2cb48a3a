// The choir schedule report: the cells as its rows compose them, the
// blocks and tables the builds print, the page breaks, and its options in
// the report window.
#include "AppPaths.h"
#include "MainFormMDI.h"
#include "ReportKinds.h"
#include "ReportPrinter.h"
#include "ReportTestUtil.h"
#include "SR2PrintForm.h"
#include "ScheduleRegistration.h"
#include "ScheduleReportModule.h"
#include "ScheduleReportRows.h"
#include "ScheduleTestUtil.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

using namespace schedtest;

namespace {

const QDate kSunday(2027, 3, 14);
const QDate kNext(2027, 3, 21);
const QString kHeader = "DATE\tCALL\tANTHEM\tOFFERTORY\tBENEDICTION";

// slot: 0 call .. 3 benediction; several slots as a list.
ScheduleReportEntry e(qint32 choirId, const QString &choirName, const QDate &d, const QString &ampm,
                      QList<int> slotList, const QString &title, const QString &other = QString())
{
    ScheduleReportEntry x;
    x.choirId = choirId;
    x.choirName = choirName;
    x.storedDate = d.toString(Qt::ISODate);
    x.date = d;
    x.ampm = ampm;
    for (int s : slotList)
        x.slotFlags[s] = true;
    x.title = title;
    x.other = other;
    return x;
}

using reporttest::allLines;

// The page on which a text first shows (0-based), -1 when nowhere.
int pageOf(const ReportDocument &doc, const QString &text)
{
    return doc.find(text, 1) - 1;
}

} // namespace

class TestScheduleReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerScheduleWindows(); }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }
    void cleanup()
    {
        if (SR2PrintForm::instance())
            SR2PrintForm::instance()->close();
        m_prompter.reset();
        m_folder.reset();
    }

    // The cells of a row, combined and per choir.
    void cellComposition()
    {
        const auto notes = [](const QString &d, const QString &ampm) {
            return d == kSunday.toString(Qt::ISODate) && ampm == "AM" ? QString("Communion; red | white") : QString();
        };
        const QVector<ScheduleReportEntry> entries = {
            e(0, "", kSunday, "AM", {3}, "'Amen'"),
            e(2, "Chancel", kSunday, "AM", {1}, "'Gloria'  Bach, Rutter"),
            e(2, "Chancel", kSunday, "AM", {1, 2}, "'Jubilate'", "with flute"),
            e(2, "Chancel", kSunday, "AM", {0}, "", "Bell choir | visits"),
            e(5, "Youth", kSunday, "AM", {1}, "'Be Thou'"),
            e(7, "", kSunday, "AM", {1}, "'Lost choir'"),
            e(2, "Chancel", kSunday, "PM", {1}, "'Evening Hymn'"),
        };
        const QList<QStringList> combined = ScheduleReportRows::compose(entries, notes, true);
        QCOMPARE(combined.size(), 2);
        QCOMPARE(combined.at(0), QStringList({"03/14/2027 AM\nCommunion; red | white",
                                              "CHANCEL:\n\nBell choir | visits",
                                              "CHANCEL:\n'Gloria'  Bach, Rutter\n'Jubilate'\nwith flute\n\n"
                                              "YOUTH:\n'Be Thou'\n\n:\n'Lost choir'",
                                              "CHANCEL:\n'Jubilate'\nwith flute", ":\n'Amen'"}));
        QCOMPARE(combined.at(1), QStringList({"03/14/2027 PM", "", "CHANCEL:\n'Evening Hymn'", "", ""}));

        const QList<QStringList> byChoir = ScheduleReportRows::compose(entries.mid(1, 3), notes, false);
        QCOMPARE(byChoir, QList<QStringList>({{"03/14/2027 AM\nCommunion; red | white", "Bell choir | visits",
                                               "'Gloria'  Bach, Rutter\n'Jubilate'\nwith flute",
                                               "'Jubilate'\nwith flute", ""}}));
        QVERIFY(ScheduleReportRows::compose({}, notes, true).isEmpty());
        QCOMPARE(ScheduleReportRows::entryTitle("Te Deum", {}), QString("'Te Deum'"));
        QCOMPARE(ScheduleReportRows::entryTitle("Te Deum", {"Bach", "Haydn"}), QString("'Te Deum'  Bach, Haydn"));
    }

    void titleSpansTheWholeSchedule()
    {
        QCOMPARE(ScheduleReportTitle(), QString("Choir Schedule"));
        const qint32 c = choir("Chancel");
        entry(c, kNext, "PM", 1);
        entry(choir("Youth"), kSunday, "AM", 1);
        QCOMPARE(ScheduleReportTitle(), QString("Choir Schedule for 03/14/2027 thru 03/21/2027"));
    }

    // Combined: "All Choirs" with the text as it stands, the blocks of the
    // scheduled choirs with information by id, then one table of every
    // service with titles, composers, choirs and notes.
    void combinedReport()
    {
        const qint32 youth = choir("Youth", "Robes: blue");
        const qint32 chancel = choir("Chancel", "Rehearse Thursday");
        choir("Handbells", "Not scheduled: no block");
        const qint32 men = choir("Men's Ensemble");
        const qint32 carols = collection("Carols Book");
        const qint32 gloria = anthem("Gloria; in excelsis | Deo", carols);
        for (const char *name : {"Rutter", "Bach"})
            Db::exec("insert into a_com_l (anthemid, composerid) values (?, ?)", {gloria, composer(name)});
        Db::exec("insert into col_com_l (collectionid, composerid) values (?, ?)", {carols, composer("Willcocks")});
        entry(chancel, kSunday, "AM", 1, gloria, carols);
        entry(youth, kSunday, "AM", 1, 0, carols, "with handbells");
        entry(men, kSunday, "PM", 0, 0, 0, "Introit");
        notes(kSunday, "AM", "Palm Sunday");
        notes(kNext, "AM", "no service: not printed");

        ReportPrinter p;
        PrintCombinedSchedule(p, ScheduleReportOptions{"Arrive at 9; robes | stoles", true, -1});
        const ReportDocument &doc = p.document();
        QCOMPARE(doc.pageCount(), 1);
        const QStringList lines = doc.pageLines(0);
        const int at = int(lines.indexOf("All Choirs"));
        QVERIFY(at > 0);
        QCOMPARE(lines.mid(at, 6), QStringList({"All Choirs", "Arrive at 9; robes | stoles", "Youth", "Robes: blue",
                                                "Chancel", "Rehearse Thursday"}));
        QVERIFY(!lines.contains("Handbells"));
        QVERIFY(lines.contains(kHeader));
        QVERIFY(lines.contains("03/14/2027 AM\tYOUTH:"));
        QVERIFY(lines.contains("Palm Sunday\t'Carols Book'  Willcocks"));
        QVERIFY(lines.contains("with handbells"));
        QVERIFY(lines.contains("CHANCEL:"));
        QVERIFY(lines.contains("'Gloria; in excelsis | Deo'  Bach, Rutter"));
        QVERIFY(lines.contains("03/14/2027 PM\tMEN'S ENSEMBLE:"));
        QVERIFY(!lines.join('\n').contains("no service"));
        QVERIFY(lines.indexOf("03/14/2027 AM\tYOUTH:") < lines.indexOf("03/14/2027 PM\tMEN'S ENSEMBLE:"));

        // The header row shaded light pink and bold, the DATE column bold.
        const ReportPage &page = doc.page(0);
        QColor shade;
        for (const ReportBoxItem &b : page.boxes)
            if (qAlpha(b.fill) != 0)
                shade = QColor::fromRgba(b.fill);
        QCOMPARE(shade, QColor(255, 192, 192));
        for (const ReportTextItem &t : page.texts) {
            if (t.text == "BENEDICTION" || t.text == "03/14/2027 PM")
                QVERIFY(doc.fonts().at(t.font).bold);
            if (t.text == "Introit") {
                QVERIFY(!doc.fonts().at(t.font).bold);
                QCOMPARE(doc.fonts().at(t.font).sizeTwips, 160);
            }
        }
    }

    // Per choir: one table per choir id on a page of its own; entries of
    // no choir first with no block above; a choir that is gone gets its
    // table without a block.
    void perChoirReport()
    {
        const qint32 youth = choir("Youth", "Robes: blue");
        const qint32 chancel = choir("Chancel");
        entry(0, kSunday, "AM", 0, 0, 0, "Prelude");
        entry(chancel, kNext, "AM", 1, 0, 0, "Chancel anthem");
        entry(youth, kSunday, "PM", 1, 0, 0, "Youth anthem");
        entry(99, kSunday, "PM", 2, 0, 0, "Gone choir");

        ReportPrinter p;
        PrintScheduleByChoir(p, ScheduleReportOptions{"All choirs text", false, -1});
        const ReportDocument &doc = p.document();
        QCOMPARE(doc.pageCount(), 4);
        QCOMPARE(pageOf(doc, "Prelude"), 0);
        QCOMPARE(pageOf(doc, "Youth anthem"), 1);
        QCOMPARE(pageOf(doc, "Chancel anthem"), 2);
        QCOMPARE(pageOf(doc, "Gone choir"), 3);
        for (int page : {0, 3})
            QVERIFY(!doc.pageLines(page).contains("All Choirs"));
        const QStringList youthPage = doc.pageLines(1);
        const int at = int(youthPage.indexOf("All Choirs"));
        QVERIFY(at > 0);
        QCOMPARE(youthPage.mid(at, 4), QStringList({"All Choirs", "All choirs text", "Youth", "Robes: blue"}));
        // No choir prefix in a choir's own table; every page its heading.
        QVERIFY(youthPage.contains("03/14/2027 PM\tYouth anthem"));
        for (int page = 0; page < 4; ++page)
            QVERIFY(doc.pageLines(page).first().startsWith("Choir Schedule for 03/14/2027 thru 03/21/2027"));

        // Limited to one choir; the title still spans the whole schedule.
        ReportPrinter one;
        PrintScheduleByChoir(one, ScheduleReportOptions{"x", false, chancel});
        QCOMPARE(one.pageCount(), 1);
        QVERIFY(one.document().find("Chancel anthem", 1));
        QVERIFY(!one.document().find("Youth anthem", 1));
        QVERIFY(one.document().find("thru 03/21/2027", 1));
        // A choir without entries: the heading and an empty table.
        ReportPrinter none;
        PrintScheduleByChoir(none, ScheduleReportOptions{"x", false, choir("Bells")});
        QCOMPARE(none.pageCount(), 1);
        QVERIFY(none.document().pageLines(0).contains(kHeader));
        QVERIFY(!none.document().find("All Choirs", 1));
        // A choir deleted since it was chosen: every choir.
        ReportPrinter gone;
        PrintScheduleByChoir(gone, ScheduleReportOptions{"x", false, 4711});
        QCOMPARE(gone.pageCount(), 4);
    }

    void emptySchedule()
    {
        choir("Youth", "info");
        ReportPrinter combined;
        PrintCombinedSchedule(combined, ScheduleReportOptions{"Nothing yet", true, -1});
        QStringList lines = combined.document().pageLines(0);
        QVERIFY(lines.first().startsWith("Choir Schedule\t") || lines.first() == "Choir Schedule");
        QCOMPARE(lines.mid(lines.indexOf("All Choirs"), 2), QStringList({"All Choirs", "Nothing yet"}));
        QVERIFY(lines.contains(kHeader));
        QVERIFY(!lines.contains("Youth"));
        // The header row and one empty row: ten cell boxes.
        QCOMPARE(combined.document().page(0).boxes.size(), 10);

        ReportPrinter byChoir;
        PrintScheduleByChoir(byChoir, ScheduleReportOptions{"Nothing yet", false, -1});
        lines = byChoir.document().pageLines(0);
        QCOMPARE(byChoir.pageCount(), 1);
        QVERIFY(!lines.contains("All Choirs"));
        QVERIFY(lines.contains(kHeader));
        QCOMPARE(byChoir.document().page(0).boxes.size(), 10);
    }

    // A service row taller than a page goes on over the next pages,
    // with the header repeated, and loses no line.
    void tallRowContinues()
    {
        const qint32 c = choir("Chancel");
        QStringList many;
        for (int i = 1; i <= 140; ++i)
            many << QString("Note line %1").arg(i);
        notes(kSunday, "AM", many.join('\n'));
        entry(c, kSunday, "AM", 1, 0, 0, "Festival anthem");
        entry(c, kNext, "AM", 1, 0, 0, "After the long one");
        ReportPrinter p;
        p.setOrientation(PageOrientation::Landscape);
        PrintCombinedSchedule(p, ScheduleReportOptions{"", true, -1});
        const ReportDocument &doc = p.document();
        QVERIFY(doc.pageCount() >= 3);
        const QString all = allLines(doc).join('\n');
        for (int i = 1; i <= 140; ++i)
            QCOMPARE(all.count(QRegularExpression(QString("Note line %1\\b").arg(i))), 1);
        QVERIFY(pageOf(doc, "Note line 140") > pageOf(doc, "Note line 1"));
        for (int page = 1; page < doc.pageCount(); ++page)
            QVERIFY(doc.pageLines(page).contains(kHeader));
        for (const ReportPage &page : doc.pages())
            for (const ReportTextItem &t : page.texts)
                QVERIFY(t.baseline < page.size.height() - 770);
    }

    // The options in the report window and Create, which takes them as
    // they stand.
    void reportWindow()
    {
        Db::exec("insert into schedinfo (info, ChoirID) values ('Saved text', 0)");
        const qint32 youth = choir("Youth");
        const qint32 marys = choir("St. Mary's");
        entry(youth, kSunday, "AM", 1, 0, 0, "Youth sings");
        entry(marys, kNext, "AM", 1, 0, 0, "Mary's sings");
        RequestReport(ReportKinds::Schedule);
        SR2PrintForm *f = SR2PrintForm::instance();
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QString("Reports - Schedule"));
        QCOMPARE(f->DLabel(1)->text(), QString("Schedule info for ALL CHOIRS"));
        QCOMPARE(f->DLabel(1)->buddy(), f->DRtext(1));
        QCOMPARE(f->DRtext(1)->toPlainText(), QString("Saved text"));
        QCOMPARE(f->DButton(1)->text(), QString("Save current Information"));
        QCOMPARE(f->DCheck(1)->text(), QString("Combine choirs into 1 schedule"));
        QVERIFY(f->DCheck(1)->isChecked());
        QCOMPARE(f->DCheck(2)->text(), QString("Limit to selected choir"));
        QVERIFY(!f->DCheck(2)->isChecked());
        QVERIFY(!f->DComboB(1)->isEditable());
        QCOMPARE(f->DComboB(1)->count(), 2);
        QVERIFY(f->DFrame(1)->isHidden());
        using F = SR2PrintForm;
        QCOMPARE(F::twipsTop(f->DLabel(1)), 300);
        QCOMPARE(F::twipsTop(f->DRtext(1)), 570);
        QCOMPARE(F::twipsTop(f->DButton(1)), 3915);
        QCOMPARE(F::twipsTop(f->DCheck(1)), 4290);
        QCOMPARE(F::twipsTop(f->DFrame(1)), 4560);
        QCOMPARE(F::twipsTop(f->DComboB(1)), 270);
        QCOMPARE(F::twipsTop(f->DComboB(1)) + F::twipsHeight(f->DComboB(1)), 600);
        // The export options 200 twips below the frame.
        QCOMPARE(F::twipsTop(f->findChild<QWidget *>("HTMLFrame")), 4560 + F::twipsHeight(f->DFrame(1)) + 200);

        // Combined, with the text as typed and not saved.
        f->DRtext(1)->setPlainText("Typed, not saved");
        click(f, "CreateButton");
        ReportDocument doc = f->printer().document();
        QVERIFY(doc.page(0).isLandscape());
        QVERIFY(doc.find("Typed, not saved", 1));
        QVERIFY(doc.find("YOUTH:", 1));

        // Per choir, limited to the choir chosen by its item.
        f->DCheck(1)->click();
        QVERIFY(!f->DFrame(1)->isHidden());
        f->DCheck(2)->click();
        f->DComboB(1)->setCurrentIndex(f->DComboB(1)->findText("St. Mary's"));
        click(f, "CreateButton");
        doc = f->printer().document();
        QCOMPARE(doc.pageCount(), 1);
        QVERIFY(doc.find("Mary's sings", 1));
        QVERIFY(!doc.find("Youth sings", 1));
        QVERIFY(!doc.find("YOUTH:", 1));
        QVERIFY(doc.find("thru 03/21/2027", 1));

        // Ticking "Combine" again hides and ignores the limit.
        f->DCheck(1)->click();
        QVERIFY(f->DFrame(1)->isHidden());
        click(f, "CreateButton");
        QVERIFY(f->printer().document().find("Youth sings", 1));
        QCOMPARE(f->printer().document().find("MARY'S", 1), 1);
        QVERIFY(m_prompter->messages.isEmpty());
    }

    // Information typed and not stored: each way of closing the window
    // asks. Yes stores it, No drops it, Cancel keeps the window. Untouched
    // (a stored text with older line ends too), nothing asks.
    void closingAsksBeforeTypedInformationIsLost_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<MsgResult>("answer");
        for (const char *way : {"close button", "close key", "exit"})
            for (const auto &[answer, name] : {std::pair(MsgResult::Yes, "yes"), std::pair(MsgResult::No, "no"),
                                               std::pair(MsgResult::Cancel, "cancel")})
                QTest::addRow("%s, %s", way, name) << QString(way) << answer;
    }
    void closingAsksBeforeTypedInformationIsLost()
    {
        QFETCH(QString, way);
        QFETCH(MsgResult, answer);
        Db::exec("insert into schedinfo (info, ChoirID) values (?, 0)", {"Robes\r\nat 9"});
        MainFormMDI main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        RequestReport(ReportKinds::Schedule);
        QPointer<SR2PrintForm> f = SR2PrintForm::instance();
        QTextEdit *info = f->DRtext(1);
        QVERIFY(f->agreeToClose()); // untouched: File > Exit asks nothing
        f->withdrawCloseAgreement();
        info->setFocus();
        QTest::keyClick(info, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(info, "30");
        m_prompter->messageAnswers << answer;
        if (way == "close button")
            click(f, "CloseButton");
        else if (way == "close key")
            QTest::keyClick(info, Qt::Key_F4, Qt::ControlModifier);
        else
            main.findChild<QAction *>("menuExit")->trigger();
        QApplication::processEvents();
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(!f.isNull() && !f->isUnloaded(), answer == MsgResult::Cancel);
        if (!Db::isOpen()) // the shut-down closed it
            QVERIFY(Db::open(m_folder->file(QLatin1String(AppPaths::DatabaseFile)), nullptr));
        QCOMPARE(Db::scalar("select info from schedinfo").toString(),
                 answer == MsgResult::Yes ? "Robes\nat 930" : "Robes\r\nat 9");
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestScheduleReport)
#include "tst_schedulereport.moc"
