// The viewers' limit pages built from a design on a real database: the
// pages' layout by index and their load in design order, the two rules of
// "Display All", the grids handed to the reference lists, and the
// catalogue limits read back from the controls.
#include "CheckListGrid.h"
#include "Db.h"
#include "LimitPanel.h"
#include "TestSupport.h"
#include "ViewerTestUtil.h"

#include <QGridLayout>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest>

using namespace viewertest;

namespace {

qint32 insert(const QString &sql, const Params &p = {})
{
    Db::exec(sql, p);
    return qint32(Db::lastInsertId());
}

// A window holding the list page and the panel's two pages, as a viewer does.
struct Window : LimitPagesHands {
    std::unique_ptr<QWidget> w;
    QTabWidget *tabs = nullptr;
    LimitPanel *panel = nullptr;
    int processed = 0;

    explicit Window(const LimitPanel::Design &design)
    {
        w = std::make_unique<QWidget>();
        window = w.get();
        auto *layout = new QVBoxLayout(w.get());
        tabs = new QTabWidget(w.get());
        tabs->setObjectName(QStringLiteral("SSTab1"));
        layout->addWidget(tabs);
        tabs->addTab(new QWidget(tabs), QStringLiteral("List"));
        panel = new LimitPanel(tabs, design, w.get());
        QObject::connect(panel, &LimitPanel::processClicked, w.get(), [this] { ++processed; });
        panel->load();
        w->resize(900, 620);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
};

// Members' shape: list limits 0, 3 and 4 given out of index order, the
// choirs with their Active boxes, a month list.
LimitPanel::Design memberShape(bool displayAllDisablesGrids)
{
    LimitPanel::Design d{QStringLiteral("Display All Members"), QStringLiteral("Rebuild"), RecordKind::Member,
                         displayAllDisablesGrids, {}};
    d.limits = {LimitPanel::list(0, QStringLiteral("Limit by Vocals"), QStringLiteral("VocalsGrid"),
                                 CheckGridKind::Sections),
                LimitPanel::list(4, QStringLiteral("Limit by Choir"), QStringLiteral("ChoirGrid"),
                                 CheckGridKind::Choirs, 1, true),
                LimitPanel::list(3, QStringLiteral("Limit by Orchestration"), QStringLiteral("OrchGrid"),
                                 CheckGridKind::Orchestration)};
    d.limits << LimitPanel::myData()
             << LimitPanel::text(10, QStringLiteral("Limit by Birthday month"), QStringLiteral("Date11"),
                                 {QStringLiteral("1"), QStringLiteral("2")});
    return d;
}

} // namespace

class TestLimitPanel : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_alto = insert("insert into vocalsm (vocals) values ('Alto')");
        m_chancel = insert("insert into choir (choir) values ('Chancel')");
        m_youth = insert("insert into choir (choir) values ('Youth')");
        m_organ = insert("insert into orchestration (orchestration) values ('Organ')");
        m_lent = insert("insert into themes (theme) values ('Lent')");
        m_easter = insert("insert into themes (theme) values ('Easter')");
        insert("insert into member (LName, FName, u1) values ('Adams', 'Grace', 'Robe 12')");
    }
    void cleanup() { m_folder.reset(); }

    void pagesPlaceTheLimitsByIndexAndLoadEveryList()
    {
        Window v(memberShape(false));
        QCOMPARE(v.tabs->count(), 3);
        QCOMPARE(v.tabs->tabText(1), QStringLiteral("Display Parameters"));
        QCOMPARE(v.tabs->tabText(2), QStringLiteral("Display Parameters 2"));
        // The list limits side by side in index order, whatever the design's order.
        auto *grid = qobject_cast<QGridLayout *>(v.tabs->widget(1)->layout());
        QVERIFY(grid);
        int row, column, rowSpan, columnSpan;
        QStringList columns;
        for (int c = 0; c < 3; ++c)
            columns << grid->itemAtPosition(1, c)->widget()->objectName();
        QCOMPARE(columns, (QStringList{"optLimit0", "optLimit3", "optLimit4"}));
        grid->getItemPosition(grid->indexOf(v.get<QPushButton>("btnProcess1")), &row, &column, &rowSpan,
                              &columnSpan);
        QCOMPARE(row, 5);
        for (int i : {0, 3, 4}) {
            QCOMPARE(v.grid(i)->accessibleName(), v.limit(i)->text());
            QVERIFY(!v.grid(i)->isEnabled() && !v.checkAll(i)->isEnabled() && !v.clearAll(i)->isEnabled());
            QCOMPARE(v.grid(i)->checkedIds().size(), v.grid(i)->Rows() - 1);
        }
        QCOMPARE(v.grid(0)->checkedIds(), QList<qint32>{m_alto});
        // Every choir ticked with its Active box; the refresh gets the grid with its column.
        for (int r = 1; r < v.grid(4)->Rows(); ++r)
            QVERIFY(v.grid(4)->isChecked(r, 3));
        QCOMPARE(v.panel->checkGrid(CheckGridKind::Choirs).grid, v.grid(4));
        QVERIFY(v.panel->checkGrid(CheckGridKind::Choirs).withActive);
        QVERIFY(!v.panel->checkGrid(CheckGridKind::Themes).grid);

        // Text lists: the values or fixed items, no text, named after their box.
        QCOMPARE(v.myData(5)->itemText(0), QStringLiteral("Robe 12"));
        auto *month = v.get<QComboBox>("Date11");
        QCOMPARE(month->count(), 2);
        for (QComboBox *list : {v.myData(5), month}) {
            QCOMPARE(list->currentText(), QString());
            QVERIFY(!list->completer());
        }
        QCOMPARE(month->accessibleName(), QStringLiteral("Limit by Birthday month"));
        QVERIFY(!v.panel->textList(1));
        QCOMPARE(v.cutCaptionsOnEveryPage(), QStringList());

        // Every Process button does the same.
        for (int page : {1, 2})
            v.process(page);
        QCOMPARE(v.processed, 2);
    }

    void displayAllUnticksTheLimitsAndDisablesTheGridsOnlyWhereTheDesignSays()
    {
        for (bool disables : {false, true}) {
            Window v(memberShape(disables));
            v.clickLimit(0);
            v.clickLimit(10);
            QVERIFY(!v.allCheck()->isChecked());
            QVERIFY(v.grid(0)->isEnabled());
            v.click(v.allCheck());
            QVERIFY(v.allCheck()->isChecked());
            for (int i : {0, 3, 4, 5, 10})
                QVERIFY(!v.panel->isTicked(i));
            QCOMPARE(v.grid(0)->isEnabled(), !disables);
            QCOMPARE(v.checkAll(0)->isEnabled(), !disables);
            QVERIFY(!v.grid(3)->isEnabled());
            // A box the user unticks again ticks Display All when none is left.
            v.click(v.allCheck());
            v.clickLimit(3);
            v.clickLimit(3);
            QVERIFY(v.allCheck()->isChecked());
        }
    }

    void theCatalogueLimitsAreReadFromTheControls()
    {
        Window v(LimitPanel::catalogue(QStringLiteral("Display All Anthems"), QStringLiteral("Rebuild"),
                                       RecordKind::Anthem, false));
        QCOMPARE(v.panel->checkGrid(CheckGridKind::Themes).grid, v.grid(ViewerLimits::Themes));
        QVERIFY(!v.panel->checkGrid(CheckGridKind::Sections).grid);
        v.limitTo(ViewerLimits::Themes, {"Easter"});
        v.clickLimit(7);
        v.typeMyData(7, " ab ");
        v.clickLimit(10);
        const ViewerLimits limits = v.panel->viewerLimits();
        for (int i = 0; i < ViewerLimits::ListLimitCount; ++i)
            QCOMPARE(limits.listTicked[i], i == ViewerLimits::Themes);
        QCOMPARE(limits.listIds[ViewerLimits::Themes], QList<qint32>{m_easter});
        QVERIFY(limits.listIds[ViewerLimits::Vocals].isEmpty()); // not ticked: not read
        QVERIFY(limits.myDataTicked[2] && !limits.myDataTicked[0]);
        QCOMPARE(limits.myDataText[2], QStringLiteral(" ab "));
        QVERIFY(limits.loanedOut);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    qint32 m_alto = 0, m_chancel = 0, m_youth = 0, m_organ = 0, m_lent = 0, m_easter = 0;
};

QTEST_MAIN(TestLimitPanel)
#include "tst_limitpanel.moc"
