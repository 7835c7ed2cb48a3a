// What is member-specific in the member editor's navigation: the name list
// of "Last, First Middle" keys (equal but for letter case: one item) with
// picks by id, the letter of the last name, the delete with its links, the
// empty state, opening a member from the viewer (also while adding), and
// the reference lists' refreshes reaching its three grids.
#include "MemberEditorTestUtil.h"

#include "ChangeNotifier.h"
#include "ListRefresh.h"
#include "MemberRegistration.h"

#include <QSignalSpy>

using namespace memberui;
using membertest::count;
using membertest::insert;

class TestMemberNav : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerMemberReport(); }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }
    void cleanup()
    {
        close(Forms::instance(MemberFormCode));
        m_prompter.reset();
        m_folder.reset();
    }

    void theNameListAndTheLetters()
    {
        const qint32 smith1 = addMember("Smith", "John");
        const qint32 smith2 = addMember("smith", "JOHN", " ");
        addMember("Smith", "John", "Paul");
        const qint32 brace = addMember("Smith", "John {2}"); // stored before braces were refused
        const qint32 fourth = addMember("4th", "Ann");
        const qint32 adams = addMember("adams", "Zoe");
        const qint32 baker = addMember(" Baker", "Ann"); // files under its name, not its blank
        MemberForm *f = open();

        // The first member by key, its letter selected.
        QCOMPARE(f->M_Data.CurMember(), fourth); // "4th, Ann " sorts first, under A
        press(f, Next);
        QCOMPARE(f->M_Data.CurMember(), adams);
        QCOMPARE(items(nameList(f)), QStringList({"4th, Ann ", "adams, Zoe "}));
        QCOMPARE(letterLook(f, 'A'), 1);
        QCOMPARE(letterLook(f, 'B'), 0);
        QCOMPARE(letterLook(f, 'C'), 2);
        QCOMPARE(letters(f)->buttonToolTip(19 * 3 + 1), QString("Members beginning with T"));

        clickLetter(f, 'S');
        QCOMPARE(f->M_Data.CurMember(), smith1);
        QCOMPARE(letterLook(f, 'S'), 1);
        QCOMPARE(letterLook(f, 'A'), 0);
        // Keys equal but for letter case form one item, spelled as the first.
        QCOMPARE(items(nameList(f)), QStringList({"Smith, John  {2}", "Smith, John Paul", "Smith, John {2} "}));
        QCOMPARE(nameList(f)->currentText(), QString("Smith, John  {2}"));

        // A pick finds its member by id: a first name holding " {" cannot
        // send it to the run it looks like.
        chooseListItem(f, "Smith, John {2} ");
        QCOMPARE(f->M_Data.CurMember(), brace);
        chooseListItem(f, "Smith, John  {2}");
        QCOMPARE(f->M_Data.CurMember(), smith1);
        press(f, Next);
        QCOMPARE(f->M_Data.CurMember(), smith2);
        QCOMPARE(lastName(f), QString("smith"));

        clickLetter(f, 'B');
        QCOMPARE(f->M_Data.CurMember(), baker);
        QCOMPARE(items(nameList(f)), QStringList({"Baker, Ann "}));

        // A saved rename moves the member to its new letter and list.
        type(list(f, "LName"), "Carter");
        press(f, Save);
        QCOMPARE(letterLook(f, 'C'), 1);
        QCOMPARE(letterLook(f, 'B'), 2);
        QCOMPARE(items(nameList(f)), QStringList({"Carter, Ann "}));
        press(f, Previous);
        QCOMPARE(lastName(f), QString("adams"));
        QCOMPARE(letterLook(f, 'A'), 1);
    }

    void deletingAMemberTakesItsLinksAlong()
    {
        m_lib.create();
        MemberForm *f = open();
        QSignalSpy deleted(&ChangeNotifier::instance(), &ChangeNotifier::memberDeleted);
        QCOMPARE(f->M_Data.CurMember(), m_lib.adams);

        press(f, Delete); // answered No
        QCOMPARE(m_prompter->messages.last().text, QString("Delete the this member??"));
        QCOMPARE(m_prompter->messages.last().title, QString("Delete Warning"));
        QVERIFY(m_prompter->messages.last().buttons == MsgButtons::YesNo);
        QCOMPARE(count("select count(*) from member"), 4);

        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QCOMPARE(count("select count(*) from member where memberid = ?", {m_lib.adams}), 0);
        QCOMPARE(count("select (select count(*) from chr_m_l where memberid = ?) + (select count(*) from m_vm_l"
                       " where memberid = ?) + (select count(*) from m_orch_l where memberid = ?)",
                       {m_lib.adams, m_lib.adams, m_lib.adams}),
                 0);
        QCOMPARE(choirLinks(m_lib.obrien), QStringList({"Bells:-1"}));
        QCOMPARE(count("select count(*) from city"), 2); // look-up rows stay
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(deleted.at(0).at(0).toInt(), m_lib.adams);
        QCOMPARE(f->M_Data.CurMember(), m_lib.baker); // the first member now
        QVERIFY(!items(list(f, "LName")).contains("Adams"));

        // A delete that fails deletes nothing and says why.
        Db::exec("create trigger keep before delete on m_vm_l begin select raise(abort, 'locked'); end");
        Db::exec("insert into m_vm_l (memberid, vocalsmid) values (?, ?)", {m_lib.baker, m_lib.alto});
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QVERIFY(m_prompter->lastMessage().contains("locked"));
        QCOMPARE(count("select count(*) from member where memberid = ?", {m_lib.baker}), 1);
        QCOMPARE(f->M_Data.CurMember(), m_lib.baker);
        Db::exec("drop trigger keep");

        // The last member gone: the empty editor.
        for (int i = 0; i < 3; ++i) {
            m_prompter->messageAnswers.enqueue(MsgResult::Yes);
            press(f, Delete);
        }
        QCOMPARE(count("select count(*) from member"), 0);
        QCOMPARE(count("select count(*) from m_vm_l"), 0);
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        QVERIFY(!tabs(f)->isEnabled());
        QCOMPARE(f->M_Data.CurMember(), 0);
        QCOMPARE(nameList(f)->count(), 0);
        for (QChar c = 'A'; c <= 'Z'; c = QChar(c.unicode() + 1))
            QCOMPARE(letterLook(f, c), 2);
        QVERIFY(lastName(f).isEmpty());
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList());
    }

    void theViewerOpensAMemberButNeverOverAnAdd()
    {
        m_lib.create();
        MemberForm *f = open();
        f->LoadFromMemberQDForm(m_lib.zimmer);
        QCOMPARE(f->M_Data.CurMember(), m_lib.zimmer);
        QCOMPARE(letterLook(f, 'Z'), 1);
        QCOMPARE(items(nameList(f)), QStringList({"Zimmer, Eva "}));
        QVERIFY(list(f, "City")->currentText().isEmpty()); // its city id names no row

        // The viewer reaches it through the form code, as any window may.
        auto *loader = dynamic_cast<RecordLoader *>(Forms::load(MemberFormCode));
        QVERIFY(loader);
        loader->loadRecordById(m_lib.obrien);
        QCOMPARE(lastName(f), QString("O'Brien"));
        QCOMPARE(list(f, "City")->currentText(), QString("Coeur d'Alene"));

        // While adding: the input and the add stay, and the user is told.
        press(f, Add);
        type(list(f, "LName"), "Quinn");
        clickGridRow(f, grid(f, "ChoirGrid"), "Youth");
        f->LoadFromMemberQDForm(m_lib.adams);
        QCOMPARE(m_prompter->lastMessage(), QString("Please save or cancel the new member first."));
        QVERIFY(f->isAdding());
        QVERIFY(f->M_Data.CurMember() < 1);
        QCOMPARE(lastName(f), QString("Quinn"));
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList({"Youth"}));
        press(f, Save);
        const qint32 quinn = f->M_Data.CurMember();
        QVERIFY(quinn > m_lib.baker);
        QCOMPARE(count("select count(*) from member"), 5); // a new member, no copy of Adams
        QCOMPARE(choirLinks(m_lib.adams), QStringList({"Chancel:-1", "Youth:0"}));

        // Cancel goes back to the first member.
        press(f, Add);
        press(f, Cancel);
        QCOMPARE(f->M_Data.CurMember(), m_lib.adams);
        QCOMPARE(visibleButtons(f), QList<int>({Add, Save, Delete, First, Previous, Next, Last}));
    }

    void anEmptyEditorAddsItsFirstMember()
    {
        MemberForm *f = open();
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        press(f, Add);
        QVERIFY(tabs(f)->isEnabled());
        QCOMPARE(visibleButtons(f), QList<int>({Cancel, Save}));
        QVERIFY(!letters(f)->isEnabled() && !nameList(f)->isEnabled());
        press(f, Cancel);
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        QVERIFY(!tabs(f)->isEnabled());
        press(f, Add);
        type(list(f, "LName"), "Young");
        type(edit(f, "FName"), "Amy");
        press(f, Save);
        QCOMPARE(visibleButtons(f), QList<int>({Add, Save, Delete, First, Previous, Next, Last}));
        QCOMPARE(letterLook(f, 'Y'), 1);
        QCOMPARE(items(nameList(f)), QStringList({"Young, Amy "}));
        QCOMPARE(items(list(f, "LName")), QStringList({"Young"}));
        press(f, Next); // one member: it stays
        QCOMPARE(lastName(f), QString("Young"));
    }

    void referenceListsReachTheGrids()
    {
        m_lib.create();
        MemberForm *f = open();
        CheckListGrid *choirs = grid(f, "ChoirGrid");
        QCOMPARE(f->M_Data.CurMember(), m_lib.adams);
        // Unsaved: Bells ticked and active, Youth made active.
        clickGridRow(f, choirs, "Bells");
        clickGridRow(f, choirs, "Bells", 3);
        clickGridRow(f, choirs, "Youth", 3);

        // A choir added and one renamed in the choir list.
        insert("insert into choir (choir) values ('Alleluia Ringers')");
        Db::exec("update choir set choir = 'Chancel Choir' where ChoirID = ?", {m_lib.chancel});
        RefreshChoirLists();
        QVERIFY(names(choirs).contains("Alleluia Ringers"));
        QVERIFY(names(choirs).contains("Chancel Choir"));
        QCOMPARE(ticked(choirs), QStringList({"Bells", "Chancel Choir", "Youth"}));
        QCOMPARE(ticked(choirs, 3), QStringList({"Bells", "Chancel Choir", "Youth"}));
        QVERIFY(choirs->hasActiveColumn());

        insert("insert into vocalsm (vocals) values ('Baritone')");
        ReloadSectionLists();
        QCOMPARE(names(grid(f, "VocalsGrid")), QStringList({"Alto", "Baritone", "Tenor"}));
        QCOMPARE(ticked(grid(f, "VocalsGrid")), QStringList({"Alto"}));
        Db::exec("update orchestration set orchestration = 'Alto Flute' where orchid = ?", {m_lib.flute});
        RefreshOrchestrationLists();
        QCOMPARE(ticked(grid(f, "OrchGrid")), QStringList({"Alto Flute"}));

        press(f, Save);
        QCOMPARE(choirLinks(m_lib.adams), QStringList({"Bells:-1", "Chancel Choir:-1", "Youth:-1"}));

        // While adding (no member shown) the grids are refilled unmarked,
        // keeping what the user ticked.
        press(f, Add);
        clickGridRow(f, choirs, "Youth");
        insert("insert into choir (choir) values ('Men')");
        insert("insert into vocalsm (vocals) values ('Soprano')");
        RefreshChoirLists();
        ReloadSectionLists();
        QVERIFY(names(choirs).contains("Men"));
        QCOMPARE(ticked(choirs), QStringList({"Youth"}));
        QCOMPARE(ticked(choirs, 3), QStringList());
        QVERIFY(names(grid(f, "VocalsGrid")).contains("Soprano"));
        QCOMPARE(ticked(grid(f, "VocalsGrid")), QStringList());
        press(f, Cancel);

        // With no member at all.
        close(f);
        Db::exec("delete from member");
        f = open();
        insert("insert into choir (choir) values ('Women')");
        insert("insert into orchestration (orchestration) values ('Harp')");
        RefreshChoirLists();
        RefreshOrchestrationLists();
        QVERIFY(names(grid(f, "ChoirGrid")).contains("Women"));
        QVERIFY(names(grid(f, "OrchGrid")).contains("Harp"));
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList());
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    membertest::Members m_lib;
};

QTEST_MAIN(TestMemberNav)
#include "tst_membernav.moc"
