// The member viewer driven through its controls: opening state, each
// limit alone and combined (sections, instruments, active and inactive
// choirs, My Data, birthday and anniversary month), Display All, the grid
// clicks, the text lists, the double-click into the member editor, the
// reference lists reaching its grids, the report hand-off and a failing
// filter.
#include "CheckListGrid.h"
#include "Cursor.h"
#include "ListRefresh.h"
#include "MemberGridModel.h"
#include "MemberQDForm.h"
#include "MemberRecord.h"
#include "MemberRegistration.h"
#include "MemberTestUtil.h"
#include "Module.h"
#include "ReportModel.h"
#include "ReportTestUtil.h"
#include "SR2PrintForm.h"
#include "ViewerTestUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

using namespace membertest;
using namespace viewertest;

namespace {

const QStringList kAllNames = {"Adams, Grace Ann", "baker, Tom Lee", "Carter, Dana ", "Evans, Finn ",
                               "O'Brien, Sean ", "Zimmer, Eva "};

} // namespace

class TestMemberViewer : public QObject, LimitPagesHands {
    Q_OBJECT
private slots:
    void initTestCase() { registerMemberReport(); }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_lib.create();
        // Two more members with links, dates and user fields:
        //   Carter  Tenor, Piano, Chancel inactive, born 12/05, member since 03, u1 "robe 7"
        //   Evans   Alto and Tenor, Piano and Flute, Youth active, born 06/30, member since 09, u1 "  Robe"
        m_carter = insert("insert into member (LName, FName, Birthday, Aniversary, u1) "
                          "values ('Carter', 'Dana', '2001-12-05', '2010-03-15', 'robe 7')");
        m_evans = insert("insert into member (LName, FName, Birthday, Aniversary, u1, u2) "
                         "values ('Evans', 'Finn', '1985-06-30', '2012-09-09', '  Robe', 'abc')");
        Db::exec("insert into m_vm_l (memberid, vocalsmid) values (?, ?), (?, ?), (?, ?)",
                 {m_carter, m_lib.tenor, m_evans, m_lib.alto, m_evans, m_lib.tenor});
        Db::exec("insert into m_orch_l (memberid, orchid) values (?, ?), (?, ?), (?, ?)",
                 {m_carter, m_lib.piano, m_evans, m_lib.piano, m_evans, m_lib.flute});
        Members::choir(m_carter, m_lib.chancel, false);
        Members::choir(m_evans, m_lib.youth, true);
        hx().ReportMemberSet.release();
        OpenFormByCode(MemberQDFormCode);
        m_form = Forms::find<MemberQDForm>(MemberQDFormCode);
        window = m_form;
        QVERIFY(m_form);
        QApplication::processEvents();
    }
    void cleanup()
    {
        closeWindow(SR2PrintForm::instance());
        closeWindow(m_form);
        closeWindow(Forms::instance(MemberFormCode));
        hx().ReportType = -1;
        m_prompter.reset();
        m_folder.reset();
    }

    void openingListsEveryMemberWithEveryRowTickedAndTheListsDisabled()
    {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Members"));
        QVERIFY(hx().MemberQDFormLoaded);
        QCOMPARE(tab()->currentIndex(), 0);
        QCOMPARE((QStringList{tab()->tabText(0), tab()->tabText(1), tab()->tabText(2)}),
                 (QStringList{"Members", "Display Parameters", "Display Parameters 2"}));
        QVERIFY(allCheck()->isChecked());
        QCOMPARE(allCheck()->text(), QStringLiteral("Display All Members"));
        QCOMPARE(names(), kAllNames);
        QCOMPARE(m_form->gridModel()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Member"));
        QCOMPARE(m_form->gridModel()->index(0, 1).data().toInt(), m_lib.adams);
        QVERIFY(get<QTableView>("MemberGrid")->isColumnHidden(1));
        QVERIFY(hx().ReportMemberSet.open);
        QCOMPARE(hx().ReportMemberSet.ids.first(), m_lib.adams);
        QCOMPARE(hx().ReportMemberSet.ids.size(), 6);

        const QStringList captions = {"Limit by Vocals", "", "", "Limit by Orchestration", "Limit by Choir",
                                      "Limit by My Field 1", "Limit by My Field 2", "Limit by My Field 3",
                                      "Limit by My Field 4", "Limit by My Field 5", "Limit by Birthday month",
                                      "Limit by Choir Anniversary month"};
        for (int i : {0, 3, 4, 5, 6, 7, 8, 9, 10, 11}) {
            QCOMPARE(limit(i)->text(), captions.at(i));
            QVERIFY(!limit(i)->isChecked());
        }
        QVERIFY(!m_form->findChild<QCheckBox *>("optLimit1"));
        for (int i : {0, 3, 4}) {
            QVERIFY(!grid(i)->isEnabled());
            QVERIFY(!get<QPushButton>(QStringLiteral("btnCheckAll%1").arg(i))->isEnabled());
            QVERIFY(!get<QPushButton>(QStringLiteral("btnClearAll%1").arg(i))->isEnabled());
            QCOMPARE(grid(i)->checkedIds().size(), grid(i)->Rows() - 1);
        }
        QCOMPARE(grid(0)->header(1), QStringLiteral("Section"));
        QCOMPARE(grid(3)->nameAt(1), QStringLiteral("Flute"));
        // Choirs by name, each with its Active box ticked.
        CheckListGrid *choirs = grid(4);
        QCOMPARE(choirs->header(3), QStringLiteral("Active"));
        QCOMPARE((QStringList{choirs->nameAt(1), choirs->nameAt(2), choirs->nameAt(3)}),
                 (QStringList{"Bells", "Chancel", "Youth"}));
        for (int r = 1; r < choirs->Rows(); ++r)
            QVERIFY(choirs->isChecked(r, 3));

        // The text lists start empty; the months are 1 to 12.
        QComboBox *myData1 = get<QComboBox>("MyData5");
        QCOMPARE(myData1->currentText(), QString());
        QVERIFY(myData1->findText("robe 7") >= 0);
        QVERIFY(myData1->findText("  Robe") >= 0);
        QCOMPARE(myData1->accessibleName(), QStringLiteral("Limit by My Field 1"));
        for (const char *name : {"Date11", "Date12"}) {
            QComboBox *month = get<QComboBox>(name);
            QCOMPARE(month->currentText(), QString());
            QCOMPARE(month->count(), 12);
            QCOMPARE(month->itemText(0), QStringLiteral("1"));
            QCOMPARE(month->itemText(11), QStringLiteral("12"));
        }
        QCOMPARE(get<QPushButton>("btnReport")->text(), QStringLiteral("Open Report WIndow"));
        QCOMPARE(get<QPushButton>("btnProcess2")->text(),
                 QStringLiteral("Rebuild Member Display Using Current Display Parameters"));
        QCOMPARE(cutCaptionsOnEveryPage(), QStringList());
    }

    void typedTextIsNeverCompleted()
    {
        QComboBox *myData2 = get<QComboBox>("MyData6"); // holds "abc"
        type(myData2, "ab");
        QCOMPARE(myData2->currentText(), QStringLiteral("ab"));
        QCOMPARE(myData2->count(), 1);
        QComboBox *birthday = get<QComboBox>("Date11");
        type(birthday, "1");
        QTest::keyClick(birthday->lineEdit(), Qt::Key_Return);
        QCOMPARE(birthday->currentText(), QStringLiteral("1"));
        QCOMPARE(birthday->count(), 12);
    }

    void eachLimitAlone_data()
    {
        QTest::addColumn<int>("limit");
        // Grid rows to check ("name" checks the name, "name*" also ticks
        // Active, "name-" unticks it), or the text to type.
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("sections") << 0 << QStringList{"Alto"} << QStringList{"Adams, Grace Ann", "Evans, Finn "};
        QTest::newRow("one list is OR") << 0 << QStringList{"Alto", "Tenor"}
                                        << QStringList{"Adams, Grace Ann", "Carter, Dana ", "Evans, Finn "};
        QTest::newRow("instruments") << 3 << QStringList{"Piano"} << QStringList{"Carter, Dana ", "Evans, Finn "};
        QTest::newRow("every choir active") << 4 << QStringList{"Bells*", "Chancel*", "Youth*"}
                                            << QStringList{"Adams, Grace Ann", "Evans, Finn ", "O'Brien, Sean "};
        QTest::newRow("an inactive choir") << 4 << QStringList{"Chancel-"} << QStringList{"Carter, Dana "};
        QTest::newRow("inactive Youth") << 4 << QStringList{"Youth-"} << QStringList{"Adams, Grace Ann"};
        QTest::newRow("inactive and active") << 4 << QStringList{"Chancel-", "Youth*"}
                                             << QStringList{"Carter, Dana ", "Evans, Finn "};
        // Outer blanks and case do not matter; a leading blank in the field does.
        QTest::newRow("my data") << 5 << QStringList{"  rOBE "} << QStringList{"Adams, Grace Ann", "Carter, Dana "};
        QTest::newRow("my data with a quote") << 5 << QStringList{"O'B"} << QStringList{};
        QTest::newRow("empty my data is left out") << 5 << QStringList{""} << kAllNames;
        QTest::newRow("birthday December") << 10 << QStringList{"12"} << QStringList{"Adams, Grace Ann", "Carter, Dana "};
        QTest::newRow("birthday with blanks") << 10 << QStringList{" 6 "} << QStringList{"Evans, Finn "};
        QTest::newRow("birthday as a number") << 10 << QStringList{"6.0"} << QStringList{"Evans, Finn "};
        QTest::newRow("birthday not a whole month") << 10 << QStringList{"6.5"} << QStringList{};
        QTest::newRow("birthday not a month") << 10 << QStringList{"abc"} << QStringList{};
        QTest::newRow("birthday number and text") << 10 << QStringList{"6 June"} << QStringList{};
        QTest::newRow("birthday month 13") << 10 << QStringList{"13"} << QStringList{};
        QTest::newRow("empty birthday is left out") << 10 << QStringList{""} << kAllNames;
        QTest::newRow("anniversary") << 11 << QStringList{"9"} << QStringList{"Adams, Grace Ann", "Evans, Finn "};
        QTest::newRow("anniversary 03") << 11 << QStringList{"03"} << QStringList{"Carter, Dana "};
        QTest::newRow("anniversary 9.00") << 11 << QStringList{" 9.00"} << QStringList{"Adams, Grace Ann", "Evans, Finn "};
    }
    void eachLimitAlone()
    {
        QFETCH(int, limit);
        QFETCH(QStringList, settings);
        QFETCH(QStringList, expected);
        setOneLimit(limit, settings);
        QVERIFY(!allCheck()->isChecked());
        process(limit <= 4 ? 1 : 2);
        QCOMPARE(names(), expected);
        QCOMPARE(tab()->currentIndex(), 0);
        QCOMPARE(count("select count(*) from member where displayit = -1"), expected.size());
        QCOMPARE(hx().ReportMemberSet.ids.size(), expected.size());
    }

    void limitsCombineAndAnEmptyListStopsTheRest()
    {
        limitTo(0, {"Alto"});  // Adams, Evans
        limitTo(3, {"Piano"}); // Evans
        process();
        QCOMPARE(names(), QStringList{"Evans, Finn "});
        // A birthday month Evans has, then one he has not.
        click(limit(10));
        type(get<QComboBox>("Date11"), "6");
        process(2);
        QCOMPARE(names(), QStringList{"Evans, Finn "});
        type(get<QComboBox>("Date11"), "7");
        process(0);
        QCOMPARE(names(), QStringList{});

        // A ticked list with nothing checked passes nobody; the month that
        // would pass Adams is never reached.
        click(limit(3));
        limitTo(0, {});
        type(get<QComboBox>("Date11"), "12");
        process();
        QCOMPARE(names(), QStringList{});
        QCOMPARE(count("select count(*) from member where displayit <> 0"), 0);
        QVERIFY(hx().ReportMemberSet.open);
        QVERIFY(hx().ReportMemberSet.ids.isEmpty());
    }

    void limitBoxesDisplayAllAndTheGridButtons()
    {
        click(limit(4));
        QVERIFY(!allCheck()->isChecked());
        QVERIFY(grid(4)->isEnabled());
        QVERIFY(get<QPushButton>("btnClearAll4")->isEnabled());
        click(limit(4));
        QVERIFY(allCheck()->isChecked());
        QVERIFY(!grid(4)->isEnabled());

        // Display All unticks the boxes and leaves the grids as they were.
        click(limit(0));
        click(limit(11));
        click(allCheck());
        for (int i : {0, 3, 4, 5, 6, 7, 8, 9, 10, 11})
            QVERIFY(!limit(i)->isChecked());
        QVERIFY(grid(0)->isEnabled());
        QVERIFY(!grid(3)->isEnabled());
        // Process with Display All lists everyone and leaves displayit alone.
        Db::exec("update member set displayit = case when memberid = ? then -1 else 0 end", {m_lib.zimmer});
        process();
        QCOMPARE(names(), kAllNames);
        QCOMPARE(count("select count(*) from member where displayit = -1"), 1);

        // Clear, a click on a name, Select All; another grid's buttons
        // leave this one alone.
        click(get<QPushButton>("btnClearAll0"));
        QVERIFY(grid(0)->checkedIds().isEmpty());
        clickCell(0, "Tenor", 1);
        QCOMPARE(grid(0)->checkedIds(), QList<qint32>{m_lib.tenor});
        click(get<QPushButton>("btnCheckAll0"));
        QCOMPARE(grid(0)->checkedIds().size(), 2);
        click(limit(3));
        click(get<QPushButton>("btnClearAll3"));
        QCOMPARE(grid(0)->checkedIds().size(), 2);
        QVERIFY(grid(3)->checkedIds().isEmpty());

        // On the choir grid a click in the Active column toggles that box
        // only; a click on the name toggles the choir.
        click(limit(4));
        CheckListGrid *choirs = grid(4);
        clickCell(4, "Youth", 3);
        const int youth = rowOf(choirs, "Youth");
        QVERIFY(choirs->isChecked(youth, 1));
        QVERIFY(!choirs->isChecked(youth, 3));
        clickCell(4, "Youth", 1);
        QVERIFY(!choirs->isChecked(youth, 1));
        QVERIFY(!choirs->isChecked(youth, 3));
    }

    void doubleClickOpensTheMemberUnlessItIsGone_data() { addOpenWays(); }
    void doubleClickOpensTheMemberUnlessItIsGone()
    {
        QFETCH(bool, byKey);
        QList<qint32> shown;
        Forms::registerForm(MemberFormCode, [&] { return new StandInEditor(&shown, &hx().MemberFormLoaded); });
        QTableView *view = get<QTableView>("MemberGrid");
        auto dclick = [&](int row) { openCell(view, view->model()->index(row, 0), byKey); };
        dclick(3);
        QCOMPARE(shown, QList<qint32>{m_evans});
        QVERIFY(hx().MemberFormLoaded);
        // The header is no member.
        QTest::mouseDClick(view->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        // Deleted since the list was built: nothing opens, the editor is
        // left as it was, also when it was closed.
        DeleteMember(m_carter);
        dclick(2);
        QCOMPARE(shown, QList<qint32>{m_evans});
        closeWindow(Forms::instance(MemberFormCode));
        dclick(2);
        QVERIFY(!hx().MemberFormLoaded);
        dclick(0);
        QCOMPARE(shown, (QList<qint32>{m_evans, m_lib.adams}));
        QVERIFY(!Cursor::isBusy());
    }

    void entriesAddedElsewhereReachTheGrids()
    {
        click(limit(4));
        clickCell(4, "Bells", 3); // a tick of the user's survives the refresh
        const qint32 altos = insert("insert into choir (choir) values ('Altos')");
        RefreshChoirLists();
        CheckListGrid *choirs = grid(4);
        QCOMPARE(choirs->Rows(), 5);
        QCOMPARE(choirs->header(3), QStringLiteral("Active"));
        const int row = rowOf(choirs, "Altos");
        QCOMPARE(choirs->idAt(row), altos);
        QVERIFY(!choirs->isChecked(row, 1));
        QVERIFY(!choirs->isChecked(rowOf(choirs, "Bells"), 3));
        QVERIFY(choirs->isChecked(rowOf(choirs, "Chancel"), 3));

        insert("insert into vocalsm (vocals) values ('Bass')");
        ReloadSectionLists();
        QCOMPARE(grid(0)->Rows(), 4);
        QVERIFY(rowOf(grid(0), "Bass") > 0);
        insert("insert into orchestration (orchestration) values ('Cello')");
        RefreshOrchestrationLists();
        QVERIFY(rowOf(grid(3), "Cello") > 0);
    }

    void theReportPrintsTheListedMembersInListOrder()
    {
        limitTo(4, {"Chancel-", "Youth*"});
        process();
        QCOMPARE(names(), (QStringList{"Carter, Dana ", "Evans, Finn "}));
        click(get<QPushButton>("btnReport"));
        SR2PrintForm *w = SR2PrintForm::instance();
        QVERIFY(w);
        QCOMPARE(hx().ReportType, 3);
        // Built at once, each listed member once, in list order.
        QCOMPARE(nameLines(w->printer().document()), (QStringList{"Name: Carter, Dana ", "Name: Evans, Finn "}));

        // A second request while the window is open: the message, nothing else.
        m_prompter->clear();
        click(get<QPushButton>("btnReport"));
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("Please close the current report window"));
        QCOMPARE(SR2PrintForm::instance(), w);

        // Every member listed again, then the viewer closes: the report
        // still prints its list, a member deleted since left out.
        click(allCheck());
        process();
        closeWindow(m_form);
        m_form = nullptr;
        window = nullptr;
        QVERIFY(!hx().MemberQDFormLoaded);
        DeleteMember(m_lib.zimmer);
        QCOMPARE(nameLines(reporttest::createReport(w)),
                 (QStringList{"Name: Adams, Grace Ann", "Name: baker, Tom Lee", "Name: Carter, Dana ",
                              "Name: Evans, Finn ", "Name: O'Brien, Sean "}));
    }

    void aFailingFilterChangesNothing()
    {
        limitTo(3, {"Piano"});
        process();
        m_prompter->clear();
        Db::exec("drop table m_vm_l");
        click(limit(3));
        limitTo(0, {"Alto"});
        process();
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->messages.first().title, QStringLiteral("Database Error"));
        QCOMPARE(names(), (QStringList{"Carter, Dana ", "Evans, Finn "}));
        QCOMPARE(hx().ReportMemberSet.ids, (QList<qint32>{m_carter, m_evans}));
        QCOMPARE(count("select count(*) from member where displayit = -1"), 2);
        QVERIFY(!Cursor::isBusy());
    }

private:
    QStringList names() const
    {
        QStringList out;
        const MemberGridModel *m = m_form->gridModel();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, MemberGridModel::NameColumn).data().toString();
        return out;
    }

    static QStringList nameLines(const ReportDocument &doc) { return reporttest::linesStarting(doc, "Name: "); }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    Members m_lib;
    qint32 m_carter = 0;
    qint32 m_evans = 0;
    MemberQDForm *m_form = nullptr;
};

QTEST_MAIN(TestMemberViewer)
#include "tst_memberviewer.moc"
