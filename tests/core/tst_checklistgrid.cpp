// Check-list grids: fill, mark, reset, toggle and tick-all on a real
// database, and the grid driven by mouse and keyboard in a small window.
#include "CheckListGrid.h"
#include "Db.h"
#include "TestSupport.h"

#include <QHeaderView>
#include <QRandomGenerator>
#include <QVBoxLayout>
#include <QtTest>
#include <functional>

namespace {

using FillFn = std::function<void(CheckListGrid *, int, qint32)>;

struct Kind {
    QString name;
    FillFn fill;
    QString table, idCol, nameCol, title;
    QString links[3]; // collection, anthem, member link tables ("" = none)
    QString linkIdCol;
};

QList<Kind> kinds()
{
    return {
        {"vocals", FillVocalsCheckGrid, "vocals", "vocalsid", "vocals", "Vocalizing",
         {"col_v_l", "a_v_l", ""}, "vocalsid"},
        {"themes", FillThemesCheckGrid, "themes", "themeid", "theme", "Themes",
         {"col_th_l", "a_th_l", ""}, "themeid"},
        {"orchestration", FillOrchestrationCheckGrid, "orchestration", "orchid", "orchestration",
         "Orchestration", {"col_orch_l", "a_orch_l", "m_orch_l"}, "orchid"},
        {"choirs", [](CheckListGrid *g, int o, qint32 id) { FillChoirCheckGrid(g, o, id, false); },
         "choir", "ChoirID", "choir", "Choirs", {"col_chr_l", "a_chr_l", "chr_m_l"}, "choirid"},
        {"composers", FillComposerCheckGrid, "composer", "composerid", "composer", "Composer/Arranger",
         {"col_com_l", "a_com_l", ""}, "composerid"},
        {"sections", FillSectionCheckGrid, "vocalsm", "vocalsmid", "vocals", "Section",
         {"", "", "m_vm_l"}, "vocalsmid"},
    };
}

const QString kOwnerColumn[3] = {"collectionid", "anthemid", "memberid"};

qint32 addEntry(const Kind &k, const QVariant &name)
{
    Db::exec(QStringLiteral("insert into %1 (%2) values (?)").arg(k.table, k.nameCol), {name});
    return qint32(Db::lastInsertId());
}

void link(const Kind &k, int which, qint32 owner, qint32 entry)
{
    Db::exec(QStringLiteral("insert into %1 (%2, %3) values (?, ?)")
                 .arg(k.links[which - 1], kOwnerColumn[which - 1], k.linkIdCol),
             {owner, entry});
}

QStringList names(const CheckListGrid *g)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out << g->nameAt(r);
    return out;
}

QString checks(const CheckListGrid *g, int column = 1)
{
    QString out;
    for (int r = 1; r < g->Rows(); ++r)
        out += QString::number(g->checkState(r, column));
    return out;
}

QString keys(const CheckListGrid *g)
{
    QString out;
    for (int r = 1; r < g->Rows(); ++r)
        out += g->sortKeyAt(r);
    return out;
}

// The kind of window every editor and viewer is: grids whose clicks and
// space key go to ToggleGridCheck.
class GridWindow : public QWidget {
public:
    GridWindow()
    {
        auto *lay = new QVBoxLayout(this);
        grid = new CheckListGrid(this);
        grid->setObjectName("ThemesGrid");
        choirs = new CheckListGrid(this);
        choirs->setObjectName("ChoirGrid");
        lay->addWidget(grid);
        lay->addWidget(choirs);
        QObject::connect(grid, &CheckListGrid::cellActivatedByUser, this,
                         [this](int, int) { ToggleGridCheck(grid, 1); });
        // The member viewer's choir grid toggles the column clicked.
        QObject::connect(choirs, &CheckListGrid::cellActivatedByUser, this,
                         [this](int, int) { ToggleGridCheck(choirs, choirs->Col()); });
        resize(400, 600);
    }
    CheckListGrid *grid;
    CheckListGrid *choirs;
};

} // namespace

class TestCheckListGrid : public QObject {
    Q_OBJECT
private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); QVERIFY(m_folder->ok()); }
    void cleanup() { m_folder.reset(); }

    // Every kind with every owner code it has a link table for.
    void fillMarkResetEveryKindAndOwner()
    {
        for (const Kind &k : kinds()) {
            Db::exec("delete from " + k.table);
            const qint32 cedar = addEntry(k, "Cedar");
            const qint32 alpha = addEntry(k, "alpha");
            addEntry(k, "Birch");
            const qint32 dogwood = addEntry(k, "Dogwood");
            for (int which = 1; which <= 3; ++which) {
                if (k.links[which - 1].isEmpty())
                    continue;
                const QString what = k.name + " owner " + QString::number(which);
                link(k, which, 7, cedar);
                link(k, which, 7, alpha);
                link(k, which, 8, dogwood);
                link(k, which, 7, 9999); // an entry no longer listed

                CheckListGrid g;
                k.fill(&g, 0, 0);
                QCOMPARE(g.header(1), k.title);
                QVERIFY(g.horizontalHeaderItem(1)->font().bold());
                QCOMPARE(int(g.horizontalHeaderItem(1)->textAlignment()), int(Qt::AlignCenter));
                QVERIFY(g.isColumnHidden(0));
                QVERIFY(g.isColumnHidden(2));
                QCOMPARE(names(&g), QStringList({"alpha", "Birch", "Cedar", "Dogwood"}));
                QCOMPARE(checks(&g), QString("2222"));
                QCOMPARE(keys(&g), QString("1111"));
                QCOMPARE(g.Row(), 0);
                QVERIFY(g.updatesEnabled());

                // Showing a record: linked first, each group by name.
                k.fill(&g, -which, 7);
                QVERIFY2(names(&g) == QStringList({"alpha", "Cedar", "Birch", "Dogwood"}), qPrintable(what));
                QCOMPARE(checks(&g), QString("1122"));
                QCOMPARE(keys(&g), QString("0011"));
                QCOMPARE(g.idAt(1), alpha);
                QCOMPARE(g.checkedIdSet(), QSet<qint32>({alpha, cedar}));

                // The next record first loses the previous one's ticks.
                k.fill(&g, -which, 8);
                QVERIFY2(names(&g) == QStringList({"Dogwood", "alpha", "Birch", "Cedar"}), qPrintable(what));
                QCOMPARE(checks(&g), QString("1222"));

                // A record without links: nothing ticked, name order.
                k.fill(&g, -which, 42);
                QCOMPARE(names(&g), QStringList({"alpha", "Birch", "Cedar", "Dogwood"}));
                QCOMPARE(checks(&g), QString("2222"));

                // A positive code refills and marks.
                Db::exec("insert into " + k.table + " (" + k.nameCol + ") values ('Aspen')");
                k.fill(&g, which, 7);
                QCOMPARE(names(&g), QStringList({"alpha", "Cedar", "Aspen", "Birch", "Dogwood"}));
                QCOMPARE(checks(&g), QString("11222"));
                Db::exec("delete from " + k.table + " where " + k.nameCol + " = 'Aspen'");

                ResetCheckGrid(&g, 2);
                QCOMPARE(checks(&g), QString("22222"));
                QCOMPARE(keys(&g), QString("11111"));
                QCOMPARE(names(&g), QStringList({"alpha", "Aspen", "Birch", "Cedar", "Dogwood"}));
                QCOMPARE(g.header(1), k.title);
            }
        }
    }

    void codesWithoutLinkTableMarkNothing()
    {
        const Kind k = kinds().at(1); // themes: no member links
        const qint32 b = addEntry(k, "b");
        addEntry(k, "a");
        link(k, 2, 3, b);
        CheckListGrid g;
        k.fill(&g, 3, 3);
        QCOMPARE(names(&g), QStringList({"a", "b"}));
        QCOMPARE(checks(&g), QString("22"));
        k.fill(&g, 9, 3);
        QCOMPARE(checks(&g), QString("22"));
    }

    void emptyTableShowsHeaderOnly()
    {
        const Kind k = kinds().at(0);
        Db::exec("insert into a_v_l (anthemid, vocalsid) values (1, 1)");
        CheckListGrid g;
        k.fill(&g, 2, 1);
        QCOMPARE(g.Rows(), 1);
        QCOMPARE(g.header(1), QString("Vocalizing"));
        QVERIFY(g.horizontalHeaderItem(1)->font().bold());
        QVERIFY(g.isColumnHidden(0) && g.isColumnHidden(2));
        QVERIFY(g.updatesEnabled());
        SetAllGridChecks(&g, true);
        ResetCheckGrid(&g, 2);
        ToggleGridCheck(&g, 1);
        QCOMPARE(g.Rows(), 1);

        // Empty or filled, the title shows whole.
        for (const Kind &each : kinds()) {
            Db::exec(QStringLiteral("delete from %1").arg(each.table));
            for (bool filled : {false, true}) {
                if (filled)
                    Db::exec(QStringLiteral("insert into %1 (%2) values ('A')").arg(each.table, each.nameCol));
                CheckListGrid grid;
                grid.show();
                each.fill(&grid, 0, 0);
                QVERIFY2(grid.columnWidth(1) >= grid.horizontalHeader()->sectionSizeHint(1), qPrintable(grid.header(1)));
                QCOMPARE(cutCaptions(&grid), QStringList());
            }
        }
    }

    // The name column fits every name, measured as the view measures a
    // cell, whatever the number of rows; a mark keeps the width.
    void nameColumnFitsEveryText()
    {
        const Kind k = kinds().at(4);
        QRandomGenerator rng(11);
        const QString pieces[] = {"Bach", "Office", "fiddle", "Æther", "Ørsted", "Dvořák", "WWW", "iii", " ",
                                  "–", "…", "Ïgor", "Tallis", "Te Deum"};
        auto addNames = [&](int n) {
            Db::Transaction tx;
            for (int i = 0; i < n; ++i) {
                QString name;
                const int words = 1 + int(rng.bounded(4));
                for (int w = 0; w < words; ++w)
                    name += pieces[rng.bounded(int(std::size(pieces)))];
                if (rng.bounded(10) == 0)
                    name += "   "; // trailing blanks, which a cell does not count
                addEntry(k, name);
            }
            tx.commit();
        };
        // Fewer rows than the view measures itself: exactly its width.
        addNames(400);
        CheckListGrid g;
        FillComposerCheckGrid(&g, 0, 0);
        const int fitted = g.columnWidth(1);
        g.resizeColumnToContents(1);
        QCOMPARE(fitted, g.columnWidth(1));

        // More than the view would measure, the widest name far down.
        addNames(1400);
        const QString longest = "Zzzzzz Wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww";
        const qint32 widest = addEntry(k, longest);
        FillComposerCheckGrid(&g, 0, 0);
        QVERIFY(names(&g).indexOf(longest) > 1000);
        const int width = g.columnWidth(1);
        // Marked, it comes first and the width stays; the view measuring
        // its first rows, the widest among them, agrees.
        link(k, 2, 3, widest);
        FillComposerCheckGrid(&g, -2, 3);
        QCOMPARE(g.nameAt(1), longest);
        QCOMPARE(g.columnWidth(1), width);
        g.resizeColumnToContents(1);
        QCOMPARE(g.columnWidth(1), width);
    }

    void nullNameAndEqualNames()
    {
        const Kind k = kinds().at(4);
        addEntry(k, QVariant(QMetaType::fromType<QString>()));
        const qint32 s1 = addEntry(k, "Same");
        const qint32 s2 = addEntry(k, "same");
        addEntry(k, "Émile");
        addEntry(k, "Zeno");
        link(k, 1, 5, s2);
        CheckListGrid g;
        FillComposerCheckGrid(&g, 1, 5);
        QCOMPARE(names(&g), QStringList({"same", "", "Émile", "Same", "Zeno"}));
        QCOMPARE(g.checkState(2, 1), int(CheckListGrid::Unchecked)); // the empty name has its box
        ResetCheckGrid(&g, 1);
        QCOMPARE(names(&g), QStringList({"", "Émile", "Same", "same", "Zeno"}));
        QCOMPARE(g.idAt(3), s1);
        QCOMPARE(g.idAt(4), s2);
    }

    // A long name leaves every other name readable, the long one cut,
    // whole in its tooltip; the Active boxes stay in view beside it.
    void aLongNameIsCutWithinTheGrid()
    {
        const QString longName = QString("Johann Sebastian Bach, arranged for handbells and organ ").repeated(2).left(100);
        for (const QString &name : {QString("Bach, J. S."), QString("Handel"), QString("O"), QString("W"), longName}) {
            addEntry(kinds().at(4), name);
            addEntry(kinds().at(3), name);
        }
        GridWindow w;
        FillComposerCheckGrid(w.grid, 0, 0);
        FillChoirCheckGrid(w.choirs, 0, 0, true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(unreadableTexts(&w, w.grid, 1, longName) + unreadableTexts(&w, w.choirs, 1, longName), QStringList());
    }

    void activeColumnOfMemberChoirGrid()
    {
        const Kind k = kinds().at(3);
        const qint32 alto = addEntry(k, "Alto Choir");
        const qint32 bell = addEntry(k, "Bell Choir");
        const qint32 chancel = addEntry(k, "Chancel Choir");
        Db::exec("insert into chr_m_l (memberid, choirid, isactive) values (4, ?, -1), (4, ?, 0)",
                 {bell, chancel});
        Db::exec("insert into chr_m_l (memberid, choirid) values (5, ?)", {alto});

        CheckListGrid g;
        FillChoirCheckGrid(&g, 0, 0, true);
        QCOMPARE(g.columnCount(), 4);
        QVERIFY(g.hasActiveColumn());
        QCOMPARE(g.header(3), QString("Active"));
        QVERIFY(g.horizontalHeaderItem(3)->font().bold());
        QVERIFY(!g.isColumnHidden(3));
        QVERIFY(g.columnWidth(3) < g.columnWidth(1));
        QCOMPARE(checks(&g, 3), QString("222"));

        FillChoirCheckGrid(&g, -3, 4, true);
        QCOMPARE(names(&g), QStringList({"Bell Choir", "Chancel Choir", "Alto Choir"}));
        QCOMPARE(checks(&g), QString("112"));
        QCOMPARE(checks(&g, 3), QString("122"));

        // Another member: the earlier Active tick goes; a link stored
        // without a flag leaves the box unticked.
        FillChoirCheckGrid(&g, -3, 5, true);
        QCOMPARE(names(&g), QStringList({"Alto Choir", "Bell Choir", "Chancel Choir"}));
        QCOMPARE(checks(&g), QString("122"));
        QCOMPARE(checks(&g, 3), QString("222"));

        // Reset and tick-all leave the Active boxes alone.
        FillChoirCheckGrid(&g, -3, 4, true);
        ResetCheckGrid(&g, 2);
        QCOMPARE(checks(&g), QString("222"));
        QCOMPARE(checks(&g, 3), QString("212")); // Bell, by name order now
        SetAllGridChecks(&g, true);
        QCOMPARE(checks(&g), QString("111"));
        QCOMPARE(checks(&g, 3), QString("212"));
        QCOMPARE(keys(&g), QString("111"));

        // Without the Active layout the refill leaves column 3 bare.
        FillChoirCheckGrid(&g, 3, 4, false);
        QVERIFY(!g.hasActiveColumn());
        QCOMPARE(checks(&g, 3), QString("000"));
        QCOMPARE(checks(&g), QString("112"));
    }

    // A fill that fails reaches the caller and never leaves the grid frozen.
    void failingFillKeepsRedrawOn()
    {
        const Kind k = kinds().at(0);
        addEntry(k, "Solo");
        CheckListGrid g;
        FillVocalsCheckGrid(&g, 0, 0);
        Db::exec("drop table a_v_l");
        QVERIFY_THROWS_EXCEPTION(DbError, FillVocalsCheckGrid(&g, -2, 1));
        QVERIFY(g.updatesEnabled());
        Db::exec("drop table vocals");
        QVERIFY_THROWS_EXCEPTION(DbError, FillVocalsCheckGrid(&g, 0, 0));
        QVERIFY(g.updatesEnabled());
        QCOMPARE(names(&g), QStringList({"Solo"})); // the rows it had
    }

    void toggleAndTickAll()
    {
        const Kind k = kinds().at(1);
        addEntry(k, "Advent");
        addEntry(k, "Easter");
        CheckListGrid g;
        FillThemesCheckGrid(&g, 0, 0);
        ToggleGridCheck(&g, 1); // header row current
        QCOMPARE(checks(&g), QString("22"));
        g.setRow(2);
        ToggleGridCheck(&g, 1);
        QCOMPARE(checks(&g), QString("21"));
        QCOMPARE(keys(&g), QString("11")); // a tick does not touch the sort key
        ToggleGridCheck(&g, 1);
        QCOMPARE(checks(&g), QString("22"));
        SetAllGridChecks(&g, true);
        QCOMPARE(checks(&g), QString("11"));
        SetAllGridChecks(&g, false);
        QCOMPARE(checks(&g), QString("22"));
        g.setCheckedIds({g.idAt(1)});
        QCOMPARE(checks(&g), QString("12"));
        QCOMPARE(g.checkedIds(), QList<qint32>({g.idAt(1)}));
    }

    // The user's click toggles once, through the window's handler only.
    void clickAndSpaceToggleOnce()
    {
        const Kind themes = kinds().at(1);
        addEntry(themes, "Advent");
        addEntry(themes, "Easter");
        const Kind choirs = kinds().at(3);
        addEntry(choirs, "Chancel");
        GridWindow w;
        FillThemesCheckGrid(w.grid, 0, 0);
        FillChoirCheckGrid(w.choirs, 0, 0, true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        CheckListGrid *g = child<CheckListGrid>(&w, "ThemesGrid");
        QVERIFY(g);
        auto clickCell = [](CheckListGrid *grid, int row, int col) {
            const QRect r = grid->visualRect(grid->model()->index(row - 1, col));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        };
        clickCell(g, 2, 1);
        QCOMPARE(g->Row(), 2);
        QCOMPARE(checks(g), QString("21"));
        clickCell(g, 2, 1);
        QCOMPARE(checks(g), QString("22"));
        // A click right on the box itself counts once too.
        const QRect cell = g->visualRect(g->model()->index(0, 1));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 10, cell.center().y()));
        QCOMPARE(checks(g), QString("12"));

        g->setFocus();
        QTest::keyClick(g, Qt::Key_Down);
        QCOMPARE(g->Row(), 2);
        QTest::keyClick(g, Qt::Key_Space);
        QCOMPARE(checks(g), QString("11"));
        QTest::keyClick(g, Qt::Key_Space);
        QCOMPARE(checks(g), QString("12"));

        // The member viewer's choir grid toggles its Active boxes too.
        CheckListGrid *c = child<CheckListGrid>(&w, "ChoirGrid");
        clickCell(c, 1, 3);
        QCOMPARE(checks(c, 3), QString("1"));
        QCOMPARE(checks(c, 1), QString("2"));
        clickCell(c, 1, 1);
        QCOMPARE(checks(c, 1), QString("1"));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestCheckListGrid)
#include "tst_checklistgrid.moc"
