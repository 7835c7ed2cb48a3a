// The collection viewer driven through its controls: the outline at
// opening (shape, order, closed nodes, hidden ids), every limit alone and
// combined with the My Data mends, Display All disabling the grids, the
// double-click routing, the report hand-off and what the report prints
// after the viewer has gone, the reference lists' refresh, and a failing
// filter.
#include "CollectionGridModel.h"
#include "CollectionQDForm.h"
#include "CollectionRegistration.h"
#include "CollectionTestUtil.h"
#include "Cursor.h"
#include "Forms.h"
#include "ListRefresh.h"
#include "Module.h"
#include "ReportKinds.h"
#include "ReportModel.h"
#include "ReportPrinter.h"
#include "ReportTestUtil.h"
#include "SR2PrintForm.h"
#include "ViewerTestUtil.h"

#include <QCompleter>
#include <QHeaderView>
#include <QTreeView>

using namespace coltest;
using namespace viewertest;

namespace {

QList<int> displayit()
{
    return displayMarks("collection", "collectionid");
}

const QStringList kAllNames = {"Carols Book", "Easter Book", "hymnal"};

// The viewer as the user sees it.
struct Viewer : ViewerHands<CollectionQDForm> {
    void open() { ViewerHands::open(CollectionQDFormCode); }

    QTreeView *tree() const { return get<QTreeView>("CollectionGrid"); }
    CollectionGridModel *model() const { return form->gridModel(); }

    // The collections' names, top to bottom.
    QStringList names() const
    {
        QStringList out;
        for (int r = 0; r < model()->rowCount(); ++r)
            out << model()->index(r, 0).data().toString();
        return out;
    }
    QModelIndex node(const QString &name) const
    {
        const int r = int(names().indexOf(name));
        return r < 0 ? QModelIndex() : model()->index(r, 0);
    }
    // The titles under a collection's node.
    QStringList titles(const QString &name) const
    {
        QStringList out;
        const QModelIndex n = node(name);
        for (int r = 0; r < model()->rowCount(n); ++r)
            out << model()->index(r, CollectionGridModel::AnthemColumn, n).data().toString();
        return out;
    }

    // Opens a collection's node as the user does: its row, then the right arrow.
    void expand(const QString &name) const
    {
        showPage(0);
        const QModelIndex n = node(name);
        QVERIFY(n.isValid());
        tree()->scrollTo(n);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualRect(n).center());
        QTest::keyClick(tree(), Qt::Key_Right);
        QVERIFY(tree()->isExpanded(n));
    }

    void doubleClickCell(const QModelIndex &at) const
    {
        showPage(0);
        tree()->scrollTo(at);
        doubleClick(tree()->viewport(), tree()->visualRect(at).center());
    }
};

} // namespace

class TestCollectionViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerCollectionReport(); }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_lib.create();
        // User fields for the My Data limits; a value with a trailing blank.
        Db::exec("update collection set u3 = 'Shelf A ' where collectionid = ?", {m_lib.carols});
        Db::exec("update collection set u1 = ' ab lead', u2 = ? where collectionid = ?",
                 {QString::fromUtf8("élan"), m_lib.easterBook});
        Db::exec("update collection set u1 = 'ABC', u2 = ?, u4 = 'O''Brien' where collectionid = ?",
                 {QString::fromUtf8("ÉLITE"), m_lib.hymnal});
        // An anthem of a collection that is gone.
        m_stray = insert("insert into anthem (Anthem, collectionid) values ('Stray Anthem', 99)");
        hx().ReportCollectionSet.release();
        m_viewer.open();
    }
    void cleanup()
    {
        m_viewer.close();
        closeReportWindow();
        for (int code : {AnthemFormCode, CollectionFormCode})
            closeWindow(Forms::instance(code));
        hx().ReportCollectionSet.release();
        m_prompter.reset();
        m_folder.reset();
    }

    void openingShowsEveryCollectionClosedWithEveryGridTickedAndDisabled()
    {
        QCOMPARE(m_viewer.form->windowTitle(), QStringLiteral("Collections"));
        QVERIFY(hx().CollectionQDFormLoaded);
        QCOMPARE(m_viewer.tab()->currentIndex(), 0);
        QCOMPARE(m_viewer.tab()->count(), 3);
        QCOMPARE(m_viewer.tab()->tabText(0), QStringLiteral("Collections"));
        QCOMPARE(m_viewer.tab()->tabText(1), QStringLiteral("Display Parameters"));
        QCOMPARE(m_viewer.tab()->tabText(2), QStringLiteral("Display Parameters 2"));
        QCOMPARE(m_viewer.allCheck()->text(), QStringLiteral("Display All Collections"));
        QVERIFY(m_viewer.allCheck()->isChecked());
        QCOMPARE(m_viewer.get<QPushButton>("btnReport")->text(), QStringLiteral("Open Report WIndow"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(m_viewer.get<QPushButton>(QStringLiteral("btnProcess%1").arg(i))->text(),
                     QStringLiteral("Rebuild Collection Display Using Current Display Parameters"));

        // The outline: collections by name, each with its anthems by title;
        // no anthem outside a collection that exists.
        const CollectionGridModel *m = m_viewer.model();
        QCOMPARE(m->columnCount(), 2);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Collection"));
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Anthems"));
        QCOMPARE(m_viewer.names(), kAllNames);
        QCOMPARE(m_viewer.titles("Carols Book"), (QStringList{"amazing grace", "Joy to the World", "O Holy Night"}));
        QCOMPARE(m_viewer.titles("Easter Book"), QStringList{"Christ the Lord"});
        QVERIFY(!m->hasChildren(m_viewer.node("hymnal")));
        QCOMPARE(m->rowCount(m->index(0, 1)), 0); // only the first column holds the children
        // Names and titles in their own columns only; the ids out of sight.
        const QModelIndex carols = m_viewer.node("Carols Book");
        const QModelIndex joy = m->index(1, 0, carols);
        QVERIFY(m->index(0, 1).data().toString().isEmpty());
        QVERIFY(joy.data().toString().isEmpty());
        QCOMPARE(joy.siblingAtColumn(1).data().toString(), QStringLiteral("Joy to the World"));
        QCOMPARE(carols.data(CollectionGridModel::IdRole).toInt(), m_lib.carols);
        QCOMPARE(joy.data(CollectionGridModel::IdRole).toInt(), m_lib.joy);
        QCOMPARE(m->parent(joy), carols);

        // The names fit their column; the titles' column fills the rest.
        QTreeView *tree = m_viewer.tree();
        QVERIFY(tree->columnWidth(0) > tree->fontMetrics().horizontalAdvance("Carols Book") + tree->indentation());
        QCOMPARE(tree->columnWidth(0) + tree->columnWidth(1), tree->viewport()->width());
        m_viewer.form->resize(m_viewer.form->width() + 100, m_viewer.form->height());
        QApplication::processEvents();
        QCOMPARE(tree->columnWidth(0) + tree->columnWidth(1), tree->viewport()->width());

        // Every collection starts closed.
        for (int r = 0; r < m->rowCount(); ++r)
            QVERIFY(!m_viewer.tree()->isExpanded(m->index(r, 0)));
        QVERIFY(!m_viewer.tree()->currentIndex().isValid());

        // The report gets the same collections in the same order.
        QVERIFY(hx().ReportCollectionSet.open);
        QCOMPARE(hx().ReportCollectionSet.ids, (QList<qint32>{m_lib.carols, m_lib.easterBook, m_lib.hymnal}));

        for (int i = 0; i < 5; ++i) {
            CheckListGrid *g = m_viewer.grid(i);
            QVERIFY(!g->isEnabled());
            QVERIFY(!m_viewer.checkAll(i)->isEnabled());
            QVERIFY(!m_viewer.clearAll(i)->isEnabled());
            QVERIFY(g->Rows() > 1);
            QCOMPARE(g->checkedIds().size(), g->Rows() - 1);
        }
        QCOMPARE(m_viewer.grid(1)->nameAt(1), QStringLiteral("Bach"));

        // The My Data limits: the collections' captions and values, no
        // text shown and nothing completed as the user types.
        QCOMPARE(m_viewer.limit(5)->text(), QStringLiteral("Limit by My Field 1"));
        QCOMPARE(m_viewer.limit(10)->text(), QStringLiteral("Limit by Collections loaned out"));
        for (int i = 5; i <= 9; ++i) {
            QComboBox *c = m_viewer.myData(i);
            QCOMPARE(c->currentText(), QString());
            QVERIFY(!c->completer());
            QCOMPARE(c->accessibleName(), m_viewer.limit(i)->text());
        }
        QCOMPARE(m_viewer.myData(5)->count(), 3);
        QVERIFY(m_viewer.myData(5)->findText("Abbey") >= 0);
        m_viewer.typeMyData(5, "A");
        QCOMPARE(m_viewer.myData(5)->currentText(), QStringLiteral("A"));
        QCOMPARE(m_viewer.cutCaptionsOnEveryPage(), QStringList());
    }

    void aCollectionOpensToItsAnthemsAndARebuildClosesItAgain()
    {
        m_viewer.expand("Carols Book");
        const QModelIndex carols = m_viewer.node("Carols Book");
        const QRect title = m_viewer.tree()->visualRect(m_viewer.model()->index(2, 1, carols));
        QVERIFY(title.isValid());
        QVERIFY(title.top() > m_viewer.tree()->visualRect(carols).top());
        QVERIFY(!m_viewer.tree()->isExpanded(m_viewer.node("Easter Book")));
        m_viewer.process(0);
        QVERIFY(!m_viewer.tree()->isExpanded(m_viewer.node("Carols Book")));
    }

    void eachLimitAlone_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("checked"); // grid rows, or the My Data text
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("vocals") << 0 << QStringList{"SATB"} << QStringList{"Carols Book"};
        QTest::newRow("composers") << 1 << QStringList{"Bach"} << QStringList{"Carols Book"};
        QTest::newRow("themes") << 2 << QStringList{"Easter"} << QStringList{"Easter Book"};
        QTest::newRow("one grid is OR") << 2 << QStringList{"Advent", "Easter"}
                                        << QStringList{"Carols Book", "Easter Book"};
        QTest::newRow("orchestration") << 3 << QStringList{"Organ"} << QStringList{"Carols Book"};
        QTest::newRow("choirs") << 4 << QStringList{"Youth"} << QStringList{};
        // Outer blanks and case do not matter; a leading blank in the field does.
        QTest::newRow("my data 1") << 5 << QStringList{"  aB "} << QStringList{"Carols Book", "hymnal"};
        QTest::newRow("my data, leading blank") << 5 << QStringList{" ab"} << QStringList{"Carols Book", "hymnal"};
        QTest::newRow("my data, trailing blank") << 7 << QStringList{"shelf a "} << QStringList{"Carols Book"};
        QTest::newRow("my data 2 unicode") << 6 << QStringList{QString::fromUtf8(" Él")}
                                           << QStringList{"Easter Book", "hymnal"};
        QTest::newRow("quote in the text") << 8 << QStringList{"o'b"} << QStringList{"hymnal"};
        QTest::newRow("empty text is left out") << 5 << QStringList{""} << kAllNames;
        QTest::newRow("loaned out") << 10 << QStringList{} << QStringList{"Carols Book"};
    }
    void eachLimitAlone()
    {
        QFETCH(int, limit);
        QFETCH(QStringList, checked);
        QFETCH(QStringList, expected);
        m_viewer.setOneLimit(limit, checked);
        QVERIFY(!m_viewer.allCheck()->isChecked());
        m_viewer.process(limit < 5 ? 1 : 2);
        QCOMPARE(m_viewer.names(), expected);
        QCOMPARE(m_viewer.tab()->currentIndex(), 0);
        QCOMPARE(count("select count(*) from collection where displayit = -1"), expected.size());
        QCOMPARE(count("select count(*) from collection where displayit not in (-1, 0)"), 0);
        QCOMPARE(hx().ReportCollectionSet.ids.size(), expected.size());
    }

    void aListedValueWithATrailingBlankFindsItsOwnCollection()
    {
        m_viewer.clickLimit(7);
        m_viewer.showPage(2);
        QComboBox *c = m_viewer.myData(7);
        c->setFocus();
        // The list holds the value as stored; the user picks it.
        QCOMPARE(c->count(), 1);
        QTest::keyClick(c, Qt::Key_Down);
        QCOMPARE(c->currentText(), QStringLiteral("Shelf A "));
        m_viewer.process(2);
        QCOMPARE(m_viewer.names(), QStringList{"Carols Book"});
    }

    void tickedLimitsCombineByAndAndTheSurvivorsKeepTheirAnthems()
    {
        m_viewer.limitTo(2, {"Advent", "Easter"}); // Carols, Easter
        m_viewer.limitTo(4, {"Chancel"});          // Carols
        QVERIFY(m_viewer.limit(2)->isChecked() && m_viewer.limit(4)->isChecked());
        m_viewer.process();
        QCOMPARE(m_viewer.names(), QStringList{"Carols Book"});
        QCOMPARE(m_viewer.titles("Carols Book"), (QStringList{"amazing grace", "Joy to the World", "O Holy Night"}));
        QCOMPARE(hx().ReportCollectionSet.ids, QList<qint32>{m_lib.carols});

        // Adding the loan and a My Data limit that Carols passes ...
        m_viewer.clickLimit(10);
        m_viewer.clickLimit(5);
        m_viewer.typeMyData(5, "abb");
        m_viewer.process(2);
        QCOMPARE(m_viewer.names(), QStringList{"Carols Book"});
        // ... and one it fails.
        m_viewer.typeMyData(5, "abc");
        m_viewer.process(0);
        QCOMPARE(m_viewer.names(), QStringList{});
        QCOMPARE(displayit(), (QList<int>{0, 0, 0}));
        QVERIFY(hx().ReportCollectionSet.open);
        QVERIFY(hx().ReportCollectionSet.ids.isEmpty());
    }

    void aTickedLimitWithNothingCheckedShowsNoCollection()
    {
        m_viewer.limitTo(0, {});
        m_viewer.process();
        QCOMPARE(m_viewer.model()->rowCount(), 0);
        QCOMPARE(displayit(), (QList<int>{0, 0, 0}));
    }

    void displayAllUnticksTheLimitsAndDisablesTheGrids()
    {
        m_viewer.clickLimit(2);
        QVERIFY(!m_viewer.allCheck()->isChecked());
        QVERIFY(m_viewer.grid(2)->isEnabled() && m_viewer.checkAll(2)->isEnabled() && m_viewer.clearAll(2)->isEnabled());
        m_viewer.clickLimit(2);
        QVERIFY(m_viewer.allCheck()->isChecked());
        QVERIFY(!m_viewer.grid(2)->isEnabled() && !m_viewer.checkAll(2)->isEnabled());

        m_viewer.clickLimit(2);
        m_viewer.clickLimit(1);
        m_viewer.clickLimit(7);
        m_viewer.clickLimit(1); // off again: still not Display All
        QVERIFY(!m_viewer.allCheck()->isChecked());
        QVERIFY(!m_viewer.grid(1)->isEnabled());
        m_viewer.click(m_viewer.allCheck());
        QVERIFY(m_viewer.allCheck()->isChecked());
        for (int i = 0; i <= 10; ++i)
            QVERIFY(!m_viewer.limit(i)->isChecked());
        for (int i = 0; i < 5; ++i)
            QVERIFY(!m_viewer.grid(i)->isEnabled() && !m_viewer.checkAll(i)->isEnabled()
                    && !m_viewer.clearAll(i)->isEnabled());

        // Process with Display All shows everything and leaves displayit alone.
        Db::exec("update collection set displayit = case when collectionid = ? then -1 else 0 end", {m_lib.hymnal});
        m_viewer.process();
        QCOMPARE(m_viewer.names(), kAllNames);
        QCOMPARE(count("select count(*) from collection where displayit = -1"), 1);

        // Unticked by hand with no limit: the filter runs and passes everything.
        m_viewer.click(m_viewer.allCheck());
        m_viewer.process();
        QCOMPARE(m_viewer.names(), kAllNames);
        QCOMPARE(displayit(), (QList<int>{-1, -1, -1}));
    }

    void gridClicksAndTheirButtons()
    {
        CheckListGrid *themes = m_viewer.grid(2);
        m_viewer.clickLimit(2);
        m_viewer.click(m_viewer.clearAll(2));
        QVERIFY(themes->checkedIds().isEmpty());
        m_viewer.clickRow(2, "Lent");
        QCOMPARE(themes->checkedIds(), QList<qint32>{m_lib.lent});
        m_viewer.click(m_viewer.checkAll(2));
        QCOMPARE(themes->checkedIds().size(), 3);
    }

    void doubleClickOpensTheCollectionOrTheAnthem()
    {
        QList<qint32> anthems;
        QList<qint32> collections;
        Forms::registerForm(AnthemFormCode, [&] { return new StandInEditor(&anthems); });
        Forms::registerForm(CollectionFormCode, [&] { return new StandInEditor(&collections); });
        const CollectionGridModel *m = m_viewer.model();
        const QModelIndex easter = m_viewer.node("Easter Book");

        m_viewer.doubleClickCell(easter);
        QCOMPARE(collections, QList<qint32>{m_lib.easterBook});
        // A double-click opens the record; it does not open the node.
        QVERIFY(!m_viewer.tree()->isExpanded(easter));
        // The empty cell beside a collection's name opens nothing.
        m_viewer.doubleClickCell(easter.siblingAtColumn(1));
        QCOMPARE(collections.size(), 1);

        m_viewer.expand("Carols Book");
        const QModelIndex carols = m_viewer.node("Carols Book");
        m_viewer.doubleClickCell(m->index(2, 1, carols));
        QCOMPARE(anthems, QList<qint32>{m_lib.holyNight});
        // Nor does the empty cell before an anthem's title.
        m_viewer.doubleClickCell(m->index(2, 0, carols));
        QCOMPARE(anthems.size(), 1);
        QCOMPARE(collections.size(), 1);
        // The header is no record.
        QHeaderView *header = m_viewer.tree()->header();
        doubleClick(header->viewport(), QPoint(header->sectionViewportPosition(0) + 5, 5));
        QCOMPARE(anthems.size() + collections.size(), 2);
        QVERIFY(!Cursor::isBusy());

        // Return opens the record of the row in focus, whichever of its
        // cells is current: the row is what shows in focus.
        openCell(m_viewer.tree(), m->index(1, 0, carols), true);
        QCOMPARE(anthems.last(), m->anthemId(m->index(1, 1, carols)));
        openCell(m_viewer.tree(), carols.siblingAtColumn(1), true);
        QCOMPARE(collections.last(), m_lib.carols);
    }

    void theReportButtonAsksForTheCollectionsReport()
    {
        m_viewer.click(m_viewer.get<QPushButton>("btnReport"));
        SR2PrintForm *report = SR2PrintForm::instance();
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), QStringLiteral("Reports - Collections"));
        QCOMPARE(hx().ReportType, int(ReportKinds::Collections));
        QVERIFY(m_prompter->messages.isEmpty());
        // Asked again while it is open: the message, and the window keeps its kind.
        m_viewer.click(m_viewer.get<QPushButton>("btnReport"));
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("Please close the current report window"));
        QCOMPARE(SR2PrintForm::instance(), report);
        QCOMPARE(hx().ReportType, int(ReportKinds::Collections));
    }

    void theReportPrintsTheLastOutlineAfterTheViewerHasGoneAndSkipsWhatWasDeleted()
    {
        m_viewer.limitTo(2, {"Advent", "Easter"});
        m_viewer.process();
        m_viewer.click(m_viewer.get<QPushButton>("btnReport"));
        SR2PrintForm *report = SR2PrintForm::instance();
        QVERIFY(report);
        m_viewer.close();
        QVERIFY(!hx().CollectionQDFormLoaded);
        QCOMPARE(hx().ReportCollectionSet.ids, (QList<qint32>{m_lib.carols, m_lib.easterBook}));

        QCOMPARE(collectionLines(create(report)), (QStringList{"Collection: Carols Book", "Collection: Easter Book"}));
        // A collection deleted since is left out, without a word.
        Db::exec("delete from collection where collectionid = ?", {m_lib.carols});
        QCOMPARE(collectionLines(create(report)), QStringList{"Collection: Easter Book"});
        Db::exec("delete from collection");
        const ReportDocument empty = create(report);
        QCOMPARE(empty.pageCount(), 1);
        QCOMPARE(empty.pageLines(0).size(), 2); // the page header and the heading
        QVERIFY(m_prompter->messages.isEmpty());

        // Opening the viewer again shows every collection there is.
        m_viewer.open();
        QVERIFY(m_viewer.allCheck()->isChecked());
        QCOMPARE(m_viewer.model()->rowCount(), 0);
        QVERIFY(hx().ReportCollectionSet.ids.isEmpty());
    }

    void aNewReferenceEntryReachesTheOpenViewersGrid()
    {
        m_viewer.clickLimit(2);
        m_viewer.click(m_viewer.clearAll(2));
        m_viewer.clickRow(2, "Lent");
        insert("insert into themes (theme) values ('Christmas')");
        RefreshThemeLists();
        CheckListGrid *themes = m_viewer.grid(2);
        QCOMPARE(themes->Rows(), 5);
        QVERIFY(themes->checkState(2) == CheckListGrid::Unchecked);
        QCOMPARE(themes->nameAt(2), QStringLiteral("Christmas"));
        QCOMPARE(themes->checkedIds(), QList<qint32>{m_lib.lent});
    }

    void aFailingFilterChangesNothing()
    {
        m_viewer.limitTo(3, {"Organ"});
        m_viewer.process();
        const QList<int> before = displayit();
        m_prompter->clear();
        Db::exec("drop table col_th_l");
        m_viewer.clickLimit(3); // off
        m_viewer.limitTo(2, {"Easter"});
        m_viewer.process();
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->messages.first().title, QStringLiteral("Database Error"));
        QCOMPARE(displayit(), before);
        QCOMPARE(m_viewer.names(), QStringList{"Carols Book"});
        QCOMPARE(hx().ReportCollectionSet.ids, QList<qint32>{m_lib.carols});
        QVERIFY(!Cursor::isBusy());
    }

private:
    static QStringList collectionLines(const ReportDocument &doc)
    {
        return reporttest::linesStarting(doc, "Collection: ");
    }

    static ReportDocument create(SR2PrintForm *w) { return reporttest::createReport(w); }

    void closeReportWindow()
    {
        closeWindow(SR2PrintForm::instance());
        hx().ReportType = -1;
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    Library m_lib;
    qint32 m_stray = 0;
    Viewer m_viewer;
};

QTEST_MAIN(TestCollectionViewer)
#include "tst_collectionviewer.moc"
