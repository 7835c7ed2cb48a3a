// Adding a reference value from an editor, and the refresh that reaches
// every open window listing that kind. The record editors and viewers are
// small stand-ins here: windows with the right flags and form codes that
// show their grids and marks through CheckGridHost.
#include "BaseForm.h"
#include "CheckListGrid.h"
#include "Forms.h"
#include "HXData.h"
#include "ListRefresh.h"
#include "RefListTestUtil.h"

namespace {

class StandIn : public BaseForm, public HXDataHolder, public CheckGridHost {
public:
    // owner: the owner code of an editor (1, 2, 3), 0 for a viewer.
    StandIn(bool *flag, bool memberWindow, int owner) : BaseForm(flag), m_member(memberWindow), m_owner(owner)
    {
        const struct {
            const char *name;
            CheckGridKind kind;
            bool member;
            bool catalogue;
        } grids[] = {{"VocalsGrid", CheckGridKind::Vocals, false, true},
                     {"ComposersGrid", CheckGridKind::Composers, false, true},
                     {"ThemesGrid", CheckGridKind::Themes, false, true},
                     {"OrchGrid", CheckGridKind::Orchestration, true, true},
                     {"ChoirGrid", CheckGridKind::Choirs, true, true},
                     {"VocalsGrid", CheckGridKind::Sections, true, false}};
        for (const auto &g : grids) {
            if (memberWindow ? !g.member : !g.catalogue)
                continue;
            auto *grid = new CheckListGrid(this);
            grid->setObjectName(g.name);
            FillCheckGrid(g.kind, grid, 0, 0, memberWindow && g.kind == CheckGridKind::Choirs);
            m_grids.insert(g.kind, grid);
        }
    }
    HXData &hxData() override { return data; }
    Grid checkGrid(CheckGridKind kind) override
    {
        return {m_grids.value(kind), m_member && kind == CheckGridKind::Choirs};
    }
    Mark checkGridMark() const override
    {
        const qint32 id = m_owner == 1 ? data.CurCollection() : m_owner == 2 ? data.CurAnthem() : data.CurMember();
        return m_owner != 0 && id >= 1 ? Mark{m_owner, id} : Mark{};
    }
    CheckListGrid *grid(const char *name) { return findChild<CheckListGrid *>(name); }
    HXData data;

private:
    bool m_member;
    int m_owner;
    QHash<CheckGridKind, CheckListGrid *> m_grids;
};

int g_created[17];

void registerStandIn(int code, bool HXMainModule::*flag, bool member, int owner)
{
    Forms::registerForm(code, [code, flag, member, owner] {
        ++g_created[code];
        return new StandIn(&(hx().*flag), member, owner);
    });
}

StandIn *open(int code)
{
    return static_cast<StandIn *>(Forms::load(code));
}

QStringList names(const CheckListGrid *g)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out << g->nameAt(r);
    out.sort();
    return out;
}

QStringList ticked(const CheckListGrid *g, int column = 1)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        if (g->isChecked(r, column))
            out << g->nameAt(r);
    out.sort();
    return out;
}

// The user's click on a box.
void tick(CheckListGrid *g, const QString &name, int column = 1)
{
    for (int r = 1; r < g->Rows(); ++r)
        if (g->nameAt(r) == name) {
            g->setRow(r);
            ToggleGridCheck(g, column);
        }
}

} // namespace

class TestListRefresh : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerRefListForms();
        registerStandIn(CollectionFormCode, &HXMainModule::CollectionFormLoaded, false, 1);
        registerStandIn(AnthemFormCode, &HXMainModule::AnthemFormLoaded, false, 2);
        registerStandIn(CollectionQDFormCode, &HXMainModule::CollectionQDFormLoaded, false, 0);
        registerStandIn(AnthemQDFormCode, &HXMainModule::AnthemQDFormLoaded, false, 0);
        registerStandIn(MemberFormCode, &HXMainModule::MemberFormLoaded, true, 3);
        registerStandIn(MemberQDFormCode, &HXMainModule::MemberQDFormLoaded, true, 0);
    }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        std::fill(std::begin(g_created), std::end(g_created), 0);
    }

    void cleanup()
    {
        closeAllForms();
        m_prompter.reset();
        m_folder.reset();
    }

    void adders_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("duplicate");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("width");
        QTest::newRow("vocalization") << 0 << "Enter the new vocaliztion (up to 20 characters)" << "New Vocalization"
                                      << "The new vocaliztion already exists" << "vocals" << "vocals" << 20;
        QTest::newRow("composer") << 1 << "Enter the new composer/arranger (up to 100 characters)"
                                  << "New Composer/Arranger" << "The new composer/arranger already exists"
                                  << "composer" << "composer" << 100;
        QTest::newRow("theme") << 2 << "Enter the new theme (up to 30 characters)" << "New Theme"
                               << "The new theme already exists" << "themes" << "theme" << 30;
        QTest::newRow("orchestration") << 3 << "Enter the new orchestration (up to 100 characters)"
                                       << "New Orchestration" << "The new orchestration already exists"
                                       << "orchestration" << "orchestration" << 100;
    }

    // Each adder: its prompt; cut to the list's width and stored as typed;
    // a name already there (case ignored, Unicode, blanks around) refused;
    // cancel and an empty answer do nothing; blanks only are refused.
    void adders()
    {
        QFETCH(int, which);
        QFETCH(QString, prompt);
        QFETCH(QString, title);
        QFETCH(QString, duplicate);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(int, width);
        bool (*const adders[])() = {AddNewVocalization, AddNewComposer, AddNewTheme, AddNewOrchestration};
        auto add = adders[which];
        addRow(table, column, "ÉLAN");

        const QString answer = "  O'Brien " + QString(200, 'x');
        m_prompter->inputAnswers << answer;
        QVERIFY(add());
        QCOMPARE(m_prompter->inputPrompts, QStringList({prompt}));
        QCOMPARE(Db::scalar(QString("select %1 from %2 where %1 like '%O''Brien%'").arg(column, table)).toString(),
                 answer.left(width));

        m_prompter->inputAnswers << " élan " << answer.left(width).trimmed().toUpper() << std::nullopt << "" << "    ";
        QVERIFY(!add());
        QCOMPARE(m_prompter->messages.last().text, duplicate);
        QCOMPARE(m_prompter->messages.last().title, QString());
        QCOMPARE(m_prompter->messages.last().icon, MsgIcon::Exclamation);
        QVERIFY(!add()); // the same name, upper-cased and without its blanks
        QCOMPARE(m_prompter->messages.size(), 2);
        QVERIFY(!add()); // cancelled
        QVERIFY(!add()); // empty
        QCOMPARE(m_prompter->messages.size(), 2);
        QVERIFY(!add()); // blanks only
        QCOMPARE(m_prompter->lastMessage(), QString("The system requires that a name be entered."));
        QCOMPARE(countRows(table), 2);
    }

    // A theme added from an editor: every open window listing themes shows
    // it, unticked; the ticks the user set in the anthem editor and the
    // anthem viewer stay as they were; closed windows are not created and
    // no link is written.
    void addingKeepsUnsavedTicks()
    {
        const qint32 advent = addRow("themes", "theme", "Advent");
        addRow("themes", "theme", "Lent");
        const qint32 easter = addRow("themes", "theme", "Easter");
        Db::exec("insert into a_th_l (anthemid, themeid) values (1, ?), (1, ?)", {advent, easter});

        auto *list = openList<ThemeForm>(ThemeFormCode);
        StandIn *editor = open(AnthemFormCode);
        editor->data.setCurAnthem(1);
        CheckListGrid *eg = editor->grid("ThemesGrid");
        FillThemesCheckGrid(eg, -2, 1);
        QCOMPARE(ticked(eg), QStringList({"Advent", "Easter"}));
        tick(eg, "Easter"); // unticked, not saved
        tick(eg, "Lent");   // ticked, not saved
        StandIn *viewer = open(AnthemQDFormCode);
        CheckListGrid *vg = viewer->grid("ThemesGrid");
        SetAllGridChecks(vg, true);
        tick(vg, "Advent");

        m_prompter->inputAnswers << "Christmas";
        QVERIFY(AddNewTheme());

        QCOMPARE(gridNames(list->grid()), QStringList({"Advent", "Christmas", "Easter", "Lent"}));
        QCOMPARE(names(eg), QStringList({"Advent", "Christmas", "Easter", "Lent"}));
        QCOMPARE(ticked(eg), QStringList({"Advent", "Lent"}));
        // Marked again from the stored links: those come first.
        QCOMPARE(eg->sortKeyAt(1) + eg->sortKeyAt(2) + eg->sortKeyAt(3), QString("001"));
        QCOMPARE(names(vg), QStringList({"Advent", "Christmas", "Easter", "Lent"}));
        QCOMPARE(ticked(vg), QStringList({"Easter", "Lent"}));
        QCOMPARE(g_created[CollectionFormCode] + g_created[CollectionQDFormCode] + g_created[MemberFormCode], 0);
        QVERIFY(!hx().CollectionFormLoaded && !hx().CollectionQDFormLoaded);
        QCOMPARE(Db::scalar("select count(*) from a_th_l").toInt(), 2);

        // A deleted entry drops out, the other ticks stay.
        Db::exec("delete from themes where theme = 'Lent'");
        RefreshThemeLists();
        QCOMPARE(names(eg), QStringList({"Advent", "Christmas", "Easter"}));
        QCOMPARE(ticked(eg), QStringList({"Advent"}));
    }

    // Choirs changed in their list reach the member windows' choir grids
    // (with the "Active" boxes the user set) and an editor showing no
    // record; a deleted choir leaves every grid.
    void choirsReachEveryChoirGrid()
    {
        const qint32 senior = addRow("choir", "choir", "Senior");
        addRow("choir", "choir", "Youth");
        Db::exec("insert into chr_m_l (memberid, choirid, isactive) values (5, ?, -1)", {senior});
        StandIn *member = open(MemberFormCode);
        member->data.setCurMember(5);
        CheckListGrid *mg = member->grid("ChoirGrid");
        FillChoirCheckGrid(mg, -3, 5, true);
        tick(mg, "Senior", 3); // no longer active, not saved
        tick(mg, "Youth");
        tick(mg, "Youth", 3);
        StandIn *anthem = open(AnthemFormCode); // shows no anthem
        StandIn *memberViewer = open(MemberQDFormCode);
        tick(memberViewer->grid("ChoirGrid"), "Youth");

        auto *choirs = openList<ChoirForm>(ChoirFormCode);
        m_prompter->dialogHandlers.enqueue(typeAndSave({"Bells"}));
        clickButton(choirs, "btnAddChoir");

        const QStringList all{"Bells", "Senior", "Youth"};
        QCOMPARE(names(mg), all);
        QCOMPARE(ticked(mg), QStringList({"Senior", "Youth"}));
        QCOMPARE(ticked(mg, 3), QStringList({"Youth"}));
        QCOMPARE(names(anthem->grid("ChoirGrid")), all);
        QCOMPARE(names(memberViewer->grid("ChoirGrid")), all);
        QCOMPARE(ticked(memberViewer->grid("ChoirGrid")), QStringList({"Youth"}));

        selectName(choirs->grid(), "Bells");
        m_prompter->messageAnswers << MsgResult::Yes;
        clickButton(choirs, "btnDeleteChoir");
        QCOMPARE(names(mg), QStringList({"Senior", "Youth"}));
        QCOMPARE(names(anthem->grid("ChoirGrid")), QStringList({"Senior", "Youth"}));
    }

    // Sections reach the member windows' section grids only, never the
    // catalogue windows' vocalization grids of the same name.
    void sectionsReachOnlyMemberWindows()
    {
        addRow("vocals", "vocals", "SATB");
        StandIn *anthem = open(AnthemFormCode);
        StandIn *member = open(MemberFormCode);
        auto *sections = openList<VocalsMForm>(VocalsMFormCode);
        m_prompter->dialogHandlers.enqueue(typeAndSave({"Tenor"}));
        clickButton(sections, "btnAddVocals");
        QCOMPARE(names(member->grid("VocalsGrid")), QStringList({"Tenor"}));
        QCOMPARE(names(anthem->grid("VocalsGrid")), QStringList({"SATB"}));
    }

    // Orchestration reaches the members' instrument grids as well.
    void orchestrationReachesInstruments()
    {
        StandIn *memberViewer = open(MemberQDFormCode);
        StandIn *collection = open(CollectionFormCode);
        m_prompter->inputAnswers << "Handbells";
        QVERIFY(AddNewOrchestration());
        QCOMPARE(names(memberViewer->grid("OrchGrid")), QStringList({"Handbells"}));
        QCOMPARE(names(collection->grid("OrchGrid")), QStringList({"Handbells"}));
    }

    // A cancelled dialog refreshes nothing: a row written meanwhile shows
    // nowhere until the next real change.
    void cancelRefreshesNothing()
    {
        StandIn *viewer = open(CollectionQDFormCode);
        auto *list = openList<ComposerForm>(ComposerFormCode);
        addRow("composer", "composer", "Rutter");
        m_prompter->dialogHandlers.enqueue(typeAndCancel("Bach"));
        clickButton(list, "btnAddComposer");
        QCOMPARE(list->grid()->rowCount(), 0);
        QCOMPARE(viewer->grid("ComposersGrid")->Rows(), 1);
        m_prompter->dialogHandlers.enqueue(typeAndSave({"Bach"}));
        clickButton(list, "btnAddComposer");
        QCOMPARE(gridNames(list->grid()), QStringList({"Bach", "Rutter"}));
        QCOMPARE(names(viewer->grid("ComposersGrid")), QStringList({"Bach", "Rutter"}));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestListRefresh)
#include "tst_listrefresh.moc"
