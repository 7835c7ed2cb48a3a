// The anthem viewer driven through its controls: opening state, every
// limit alone and combined, the My Data and loan limits, Display All,
// the grid buttons, double-clicks and a failing filter.
#include "AnthemSelection.h"
#include "AnthemViewerTestUtil.h"
#include "Cursor.h"

using namespace viewertest;

namespace {

QList<int> displayit()
{
    return displayMarks("anthem", "anthemid");
}

} // namespace

class TestAnthemViewer : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_lib.create();
        hx().ReportAnthemSet.release();
        m_viewer.open();
    }
    void cleanup()
    {
        m_viewer.close();
        for (int code : {AnthemFormCode, CollectionFormCode})
            closeWindow(Forms::instance(code));
        m_prompter.reset();
        m_folder.reset();
    }

    void openingListsEveryAnthemWithEveryGridTickedAndDisabled()
    {
        QCOMPARE(m_viewer.form->windowTitle(), QStringLiteral("Anthems"));
        QVERIFY(hx().AnthemQDFormLoaded);
        QCOMPARE(m_viewer.tab()->currentIndex(), 0);
        QCOMPARE(m_viewer.tab()->tabText(1), QStringLiteral("Display Parameters"));
        QVERIFY(m_viewer.allCheck()->isChecked());
        QCOMPARE(m_viewer.titles(), kAllTitles);

        // Collections by name; a missing one and none at all show nothing.
        const AnthemGridModel *m = m_viewer.form->gridModel();
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Anthem"));
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Member of Collection"));
        QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("Carols Book"));
        QCOMPARE(m->index(0, 3).data().toInt(), m_lib.carols);
        QCOMPARE(m->index(2, 1).data().toString(), QString()); // collection 99 is gone
        QVERIFY(m->index(2, 3).data().isNull());
        QCOMPARE(m->index(4, 1).data().toString(), QStringLiteral("Easter Book"));
        QVERIFY(m_viewer.list()->isColumnHidden(2));
        QVERIFY(m_viewer.list()->isColumnHidden(3));
        // Ctrl+PgUp and Ctrl+PgDown turn the pages, round.
        QVERIFY(QTest::qWaitForWindowActive(m_viewer.form));
        m_viewer.list()->setFocus();
        for (const auto &[k, page] : {std::pair(Qt::Key_PageUp, 2), std::pair(Qt::Key_PageDown, 0)}) {
            QTest::keyClick(QApplication::focusWidget(), k, Qt::ControlModifier);
            QCOMPARE(m_viewer.tab()->currentIndex(), page);
        }

        // The report gets the same anthems in the same order.
        QVERIFY(hx().ReportAnthemSet.open);
        QCOMPARE(hx().ReportAnthemSet.ids,
                 (QList<qint32>{m_lib.amazing, m_lib.vision, m_lib.fount, m_lib.day, m_lib.earth}));

        for (int i = 0; i < 5; ++i) {
            CheckListGrid *g = m_viewer.grid(i);
            QVERIFY(!g->isEnabled());
            QVERIFY(!m_viewer.get<QPushButton>(QStringLiteral("btnCheckAll%1").arg(i))->isEnabled());
            QVERIFY(!m_viewer.get<QPushButton>(QStringLiteral("btnClearAll%1").arg(i))->isEnabled());
            QVERIFY(g->Rows() > 1);
            QCOMPARE(g->checkedIds().size(), g->Rows() - 1);
            // Named for a screen reader after its box.
            QCOMPARE(g->accessibleName(), m_viewer.limit(i)->text());
        }
        QCOMPARE(m_viewer.grid(2)->nameAt(1), QStringLiteral("Advent"));
        QCOMPARE(m_viewer.limit(4)->text(), QStringLiteral("Limit by Choir"));
        QCOMPARE(m_viewer.limit(10)->text(), QStringLiteral("Limit by Collections loaned out"));
        // The user's captions and values of the My Data fields.
        QCOMPARE(m_viewer.limit(5)->text(), QStringLiteral("Limit by My Field 1"));
        QComboBox *myData1 = m_viewer.get<QComboBox>("MyData5");
        QVERIFY(myData1->findText("Abbey") >= 0);
        QVERIFY(myData1->findText("ABC") >= 0);
        QCOMPARE(m_viewer.get<QPushButton>("btnReport")->text(), QStringLiteral("Open Report WIndow"));
        QCOMPARE(m_viewer.cutCaptionsOnEveryPage(), QStringList());
    }

    void eachLimitAlone_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("checked"); // grid rows, or the My Data text
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("vocals") << 0 << QStringList{"SATB"} << QStringList{"Amazing Grace", "Come Thou Fount"};
        QTest::newRow("composers") << 1 << QStringList{"Bach"} << QStringList{"Amazing Grace", "Come Thou Fount"};
        QTest::newRow("themes") << 2 << QStringList{"Easter"} << QStringList{"Be Thou My Vision", "earth and all stars"};
        QTest::newRow("orchestration") << 3 << QStringList{"Brass"} << QStringList{"Be Thou My Vision"};
        QTest::newRow("choirs") << 4 << QStringList{"Youth"} << QStringList{"Be Thou My Vision", "earth and all stars"};
        QTest::newRow("one grid is OR") << 2 << QStringList{"Advent", "Lent"}
                                        << QStringList{"Amazing Grace", "Be Thou My Vision", "Come Thou Fount"};
        // Outer blanks and case do not matter; a leading blank in the field does.
        QTest::newRow("my data 1") << 5 << QStringList{"  aB "} << QStringList{"Amazing Grace", "Be Thou My Vision"};
        QTest::newRow("my data 2 unicode") << 6 << QStringList{QString::fromUtf8(" Él")}
                                           << QStringList{"Day by Day", "earth and all stars"};
        QTest::newRow("quote in the text") << 5 << QStringList{"O'B"} << QStringList{};
        QTest::newRow("empty text is left out") << 5 << QStringList{""} << kAllTitles;
        QTest::newRow("loaned out") << 10 << QStringList{} << QStringList{"Amazing Grace", "earth and all stars"};
    }
    void eachLimitAlone()
    {
        QFETCH(int, limit);
        QFETCH(QStringList, checked);
        QFETCH(QStringList, expected);
        m_viewer.setOneLimit(limit, checked);
        QVERIFY(!m_viewer.allCheck()->isChecked());
        m_viewer.process(limit < 5 ? 1 : 2);
        QCOMPARE(m_viewer.titles(), expected);
        QCOMPARE(m_viewer.tab()->currentIndex(), 0);
        QCOMPARE(count("select count(*) from anthem where displayit = -1"), expected.size());
        QCOMPARE(count("select count(*) from anthem where displayit not in (-1, 0)"), 0);
        QCOMPARE(hx().ReportAnthemSet.ids.size(), expected.size());
    }

    void aMyDataLimitTickedButNotFilledInLeavesItOut()
    {
        // The lists hold values, but none is chosen until the user does.
        for (int i = 5; i <= 9; ++i)
            QCOMPARE(m_viewer.get<QComboBox>(QStringLiteral("MyData%1").arg(i))->currentText(), QString());
        QVERIFY(m_viewer.get<QComboBox>("MyData5")->count() > 0);
        m_viewer.clickLimit(5);
        m_viewer.process(2);
        QCOMPARE(m_viewer.titles(), kAllTitles);
        // Picked from the list, the value filters.
        QComboBox *myData1 = m_viewer.get<QComboBox>("MyData5");
        myData1->setCurrentIndex(myData1->findText("Abbey"));
        m_viewer.process(2);
        QVERIFY(!m_viewer.titles().isEmpty());
        QVERIFY(m_viewer.titles().size() < kAllTitles.size());
    }

    void tickedLimitsCombineByAnd()
    {
        m_viewer.limitTo(2, {"Easter", "Lent"}); // Amazing, Vision, earth
        m_viewer.limitTo(4, {"Chancel", "Youth"}); // all of those
        m_viewer.limitTo(3, {"Organ"});          // Amazing only
        QVERIFY(m_viewer.limit(2)->isChecked() && m_viewer.limit(3)->isChecked());
        m_viewer.process();
        QCOMPARE(m_viewer.titles(), QStringList{"Amazing Grace"});

        // Adding the loan and a My Data limit that Amazing Grace passes.
        m_viewer.clickLimit(10);
        m_viewer.clickLimit(5);
        m_viewer.typeMyData(5, "abb");
        m_viewer.process(2);
        QCOMPARE(m_viewer.titles(), QStringList{"Amazing Grace"});
        // ... and one it fails.
        m_viewer.typeMyData(5, "abc");
        m_viewer.process(0);
        QCOMPARE(m_viewer.titles(), QStringList{});
        QCOMPARE(displayit(), (QList<int>{0, 0, 0, 0, 0}));
    }

    void aTickedLimitWithNothingCheckedListsNoAnthem()
    {
        m_viewer.limitTo(0, {});
        m_viewer.clickLimit(10); // would have passed two, but is never reached
        m_viewer.process();
        QCOMPARE(m_viewer.titles(), QStringList{});
        QCOMPARE(displayit(), (QList<int>{0, 0, 0, 0, 0}));
        QVERIFY(hx().ReportAnthemSet.open);
        QVERIFY(hx().ReportAnthemSet.ids.isEmpty());
    }

    void limitBoxesAndDisplayAll()
    {
        QPushButton *checkAll = m_viewer.get<QPushButton>("btnCheckAll2");
        m_viewer.clickLimit(2);
        QVERIFY(!m_viewer.allCheck()->isChecked());
        QVERIFY(m_viewer.grid(2)->isEnabled());
        QVERIFY(checkAll->isEnabled());
        m_viewer.clickLimit(2);
        QVERIFY(m_viewer.allCheck()->isChecked());
        QVERIFY(!m_viewer.grid(2)->isEnabled());
        QVERIFY(!checkAll->isEnabled());

        // Display All unticks the boxes but leaves the grids as they were.
        m_viewer.clickLimit(2);
        m_viewer.clickLimit(1);
        m_viewer.clickLimit(7);
        QVERIFY(!m_viewer.allCheck()->isChecked());
        m_viewer.click(m_viewer.allCheck());
        for (int i = 0; i <= 10; ++i)
            QVERIFY(!m_viewer.limit(i)->isChecked());
        QVERIFY(m_viewer.allCheck()->isChecked());
        QVERIFY(m_viewer.grid(2)->isEnabled());
        QVERIFY(m_viewer.grid(1)->isEnabled());
        QVERIFY(!m_viewer.grid(0)->isEnabled());

        // Process with Display All lists everything and leaves displayit alone.
        Db::exec("update anthem set displayit = case when anthemid = ? then -1 else 0 end", {m_lib.day});
        m_viewer.process();
        QCOMPARE(m_viewer.titles(), kAllTitles);
        QCOMPARE(count("select count(*) from anthem where displayit = -1"), 1);

        // Unticked by hand with no limit: the filter runs and passes everything.
        m_viewer.click(m_viewer.allCheck());
        QVERIFY(!m_viewer.allCheck()->isChecked());
        m_viewer.process();
        QCOMPARE(m_viewer.titles(), kAllTitles);
        QCOMPARE(displayit(), (QList<int>{-1, -1, -1, -1, -1}));
    }

    void gridClicksAndTheirButtons()
    {
        CheckListGrid *themes = m_viewer.grid(2);
        // A disabled grid ignores clicks.
        m_viewer.clickRow(2, "Easter");
        QCOMPARE(themes->checkedIds().size(), 3);

        m_viewer.clickLimit(2);
        m_viewer.click(m_viewer.get<QPushButton>("btnClearAll2"));
        QVERIFY(themes->checkedIds().isEmpty());
        m_viewer.clickRow(2, "Easter");
        QCOMPARE(themes->checkedIds(), QList<qint32>{m_lib.easter});
        m_viewer.clickRow(2, "Easter");
        QVERIFY(themes->checkedIds().isEmpty());
        m_viewer.click(m_viewer.get<QPushButton>("btnCheckAll2"));
        QCOMPARE(themes->checkedIds().size(), 3);
        // Another grid's buttons leave this one alone.
        m_viewer.clickLimit(0);
        m_viewer.click(m_viewer.get<QPushButton>("btnClearAll0"));
        QCOMPARE(themes->checkedIds().size(), 3);
        QVERIFY(m_viewer.grid(0)->checkedIds().isEmpty());
    }

    void doubleClickOpensTheAnthemOrItsCollection_data() { addOpenWays(); }
    void doubleClickOpensTheAnthemOrItsCollection()
    {
        QFETCH(bool, byKey);
        QList<qint32> anthems;
        QList<qint32> collections;
        Forms::registerForm(AnthemFormCode, [&] { return new StandInEditor(&anthems); });
        Forms::registerForm(CollectionFormCode, [&] { return new StandInEditor(&collections); });
        QTableView *view = m_viewer.list();
        m_viewer.showPage(0);
        auto dclick = [&](int row, int column) { openCell(view, view->model()->index(row, column), byKey); };
        dclick(1, 0);
        QCOMPARE(anthems, QList<qint32>{m_lib.vision});
        dclick(4, 1);
        QCOMPARE(collections, QList<qint32>{m_lib.easterBook});
        // No collection, or one that is gone: nothing opens.
        dclick(1, 1);
        dclick(2, 1);
        QCOMPARE(collections.size(), 1);
        // The header is not an anthem.
        doubleClick(view->horizontalHeader()->viewport(), QPoint(view->columnViewportPosition(0) + 5, 5));
        QCOMPARE(anthems.size(), 1);
        QVERIFY(!Cursor::isBusy());
    }

    // Control characters in a stored title or collection name are left
    // out of the list, as the reports leave them out; the stored text
    // stays as it is.
    void controlCharactersAreLeftOutOfTheList()
    {
        const QString stored = QStringLiteral("Day\x01 by\x1f Day");
        Db::exec("update anthem set Anthem = ? where anthemid = ?", {stored, m_lib.day});
        Db::exec("update collection set Collection = ? where collectionid = ?",
                 {QStringLiteral("Carols\x02 Book"), m_lib.carols});
        m_viewer.close();
        m_viewer.open();
        QCOMPARE(m_viewer.titles(), kAllTitles);
        QCOMPARE(m_viewer.form->gridModel()->index(0, AnthemGridModel::CollectionColumn).data().toString(),
                 QStringLiteral("Carols Book"));
        QCOMPARE(Db::scalar("select Anthem from anthem where anthemid = ?", {m_lib.day}).toString(), stored);
    }

    void closingKeepsTheReportsAnthems()
    {
        m_viewer.limitTo(3, {"Brass"});
        m_viewer.process();
        m_viewer.close();
        QVERIFY(!hx().AnthemQDFormLoaded);
        QVERIFY(hx().ReportAnthemSet.open);
        QCOMPARE(hx().ReportAnthemSet.ids, QList<qint32>{m_lib.vision});
        // Opening again starts from the design state and lists everything.
        m_viewer.open();
        QVERIFY(m_viewer.allCheck()->isChecked());
        QVERIFY(!m_viewer.limit(3)->isChecked());
        QCOMPARE(m_viewer.titles(), kAllTitles);
        QCOMPARE(hx().ReportAnthemSet.ids.size(), 5);
    }

    void aFailingFilterChangesNothing()
    {
        m_viewer.limitTo(3, {"Brass"});
        m_viewer.process();
        const QList<int> before = displayit();
        m_prompter->clear();
        Db::exec("drop table a_th_l");
        m_viewer.clickLimit(3); // off
        m_viewer.limitTo(2, {"Easter"});
        m_viewer.process();
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->messages.first().title, QStringLiteral("Database Error"));
        QCOMPARE(displayit(), before);
        QCOMPARE(m_viewer.titles(), QStringList{"Be Thou My Vision"});
        QCOMPARE(hx().ReportAnthemSet.ids, QList<qint32>{m_lib.vision});
        QVERIFY(!Cursor::isBusy());
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    Library m_lib;
    Viewer m_viewer;
};

QTEST_MAIN(TestAnthemViewer)
#include "tst_anthemviewer.moc"
