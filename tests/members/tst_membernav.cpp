// What is the member editor's own in the shared navigation: the name list
// of "Last, First Middle" keys (equal but for letter case: one item) with
// picks by id, letters from the last name, the delete with its links, the
// empty state, opening a member from the viewer (never over an add), and
// the reference lists' refreshes reaching its three grids.
#include "MemberEditorTestUtil.h"

#include "ChangeNotifier.h"
#include "ListRefresh.h"
#include "MemberSelection.h"

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
        const qint32 digit = addMember("4th", "Ann");
        const qint32 adams = addMember("adams", "Zoe");
        const qint32 baker = addMember(" Baker", "Ann"); // begins with a blank: files under A
        MemberForm *f = open();
        QComboBox *names = list(f, "List_Combo");
        QCOMPARE(f->M_Data.CurMember(), baker); // its blank sorts before every letter and digit
        QCOMPARE(items(names), QStringList({"Baker, Ann ", "4th, Ann ", "adams, Zoe "}));
        QCOMPARE(letterLook(f, 'A'), 1);
        QCOMPARE(letterLook(f, 'B'), 2);
        QCOMPARE(letterLook(f, 'C'), 2);
        QCOMPARE(letters(f)->buttonToolTip(58), QString("Members beginning with T"));
        QCOMPARE(letters(f)->buttonToolTip(9), QString("No Data for C"));

        clickLetter(f, 'S');
        QCOMPARE(f->M_Data.CurMember(), smith1);
        // Keys equal but for letter case form one item, spelled as the first.
        QCOMPARE(items(names), QStringList({"Smith, John  {2}", "Smith, John Paul", "Smith, John {2} "}));
        // A pick finds its member by id: a first name holding " {" cannot
        // send it to the run it looks like.
        choose(names, "Smith, John {2} ");
        QCOMPARE(f->M_Data.CurMember(), brace);
        choose(names, "Smith, John  {2}");
        QCOMPARE(f->M_Data.CurMember(), smith1);
        press(f, Next);
        QCOMPARE(f->M_Data.CurMember(), smith2);

        // A click on A shows the first last name that begins with A, not
        // those filed under A before it.
        clickLetter(f, 'B'); // no member: nothing happens
        QCOMPARE(f->M_Data.CurMember(), smith2);
        clickLetter(f, 'A');
        QCOMPARE(f->M_Data.CurMember(), adams);
        QCOMPARE(items(names), QStringList({"Baker, Ann ", "4th, Ann ", "adams, Zoe "}));

        // A saved rename moves the member to its new letter.
        choose(names, "Baker, Ann ");
        QCOMPARE(f->M_Data.CurMember(), baker);
        QCOMPARE(lastName(f), QString(" Baker"));
        type(list(f, "LName"), "Carter");
        press(f, Save);
        QCOMPARE(letterLook(f, 'C'), 1);
        QCOMPARE(letterLook(f, 'A'), 0);
        QCOMPARE(letterLook(f, 'B'), 2);
        QCOMPARE(items(names), QStringList({"Carter, Ann "}));
        press(f, Previous);
        QCOMPARE(f->M_Data.CurMember(), adams);
        press(f, Previous);
        QCOMPARE(f->M_Data.CurMember(), digit);

        // Saved back with its blank: under A again, first of all.
        press(f, Next);
        press(f, Next);
        QCOMPARE(f->M_Data.CurMember(), baker);
        type(list(f, "LName"), " Baker");
        press(f, Save);
        QCOMPARE(letterLook(f, 'A'), 1);
        QCOMPARE(letterLook(f, 'C'), 2);
        QCOMPARE(items(names), QStringList({"Baker, Ann ", "4th, Ann ", "adams, Zoe "}));
        press(f, Previous); // wraps from the first to the last
        QCOMPARE(f->M_Data.CurMember(), brace);
    }

    // The editor lists members by last, first and middle name, as the
    // viewer does: "Smith, Adam" before "Smith Jr, Bob"; a saved member
    // takes its place in that order at once.
    void membersInLastFirstMiddleOrder()
    {
        const qint32 junior = addMember("Smith Jr", "Bob");
        const qint32 adam = addMember("Smith", "Adam");
        const qint32 zach = addMember("smith", "Zach");
        const qint32 plain = addMember("Emile", "Yves");
        const qint32 accented = addMember(QString::fromUtf8("Émile"), "Zoe");
        const qint32 middle = addMember("Smith", "Adam", "B");
        MemberForm *f = open();
        auto editorOrder = [f] {
            QList<qint32> out;
            for (int r = 0; r < f->records().count(); ++r)
                out << f->records().idAt(r);
            return out;
        };
        auto viewerOrder = [] {
            QList<qint32> out;
            for (const MemberListRow &m : MemberSelection::list(false))
                out << m.memberId;
            return out;
        };
        QCOMPARE(editorOrder(), (QList<qint32>{plain, accented, adam, middle, zach, junior}));
        QCOMPARE(editorOrder(), viewerOrder());
        QCOMPARE(f->M_Data.CurMember(), plain);
        press(f, Next); // "Émile" files under A, beginning with no letter
        QCOMPARE(f->M_Data.CurMember(), accented);
        QCOMPARE(letterLook(f, 'A'), 1);
        QCOMPARE(items(list(f, "List_Combo")), QStringList({QString::fromUtf8("Émile, Zoe ")}));

        clickLetter(f, 'S');
        QCOMPARE(f->M_Data.CurMember(), adam);
        QCOMPARE(items(list(f, "List_Combo")),
                 QStringList({"Smith, Adam ", "Smith, Adam B", "smith, Zach ", "Smith Jr, Bob "}));
        press(f, Next);
        press(f, Next);
        press(f, Next);
        QCOMPARE(f->M_Data.CurMember(), junior);

        // Added and renamed members go where a fresh read would put them.
        press(f, Add);
        type(list(f, "LName"), "Smith");
        type(edit(f, "FName"), QString::fromUtf8("Ádam"));
        press(f, Save);
        const qint32 added = f->M_Data.CurMember();
        QCOMPARE(editorOrder(), viewerOrder());
        QCOMPARE(items(list(f, "List_Combo")), QStringList({"Smith, Adam ", "Smith, Adam B", QString::fromUtf8("Smith, Ádam "),
                                                            "smith, Zach ", "Smith Jr, Bob "}));
        press(f, Next);
        QCOMPARE(f->M_Data.CurMember(), zach);
        type(list(f, "LName"), "Smith Jr");
        type(edit(f, "FName"), "Al");
        press(f, Save);
        QCOMPARE(editorOrder(), viewerOrder());
        QCOMPARE(editorOrder(), (QList<qint32>{plain, accented, adam, middle, added, zach, junior}));
        QCOMPARE(items(list(f, "List_Combo")),
                 QStringList({"Smith, Adam ", "Smith, Adam B", QString::fromUtf8("Smith, Ádam "), "Smith Jr, Al ",
                              "Smith Jr, Bob "}));
        press(f, Next);
        QCOMPARE(f->M_Data.CurMember(), junior);
    }

    void deletingAMemberTakesItsLinksAlong()
    {
        m_lib.create();
        MemberForm *f = open();
        QSignalSpy deleted(&ChangeNotifier::instance(), &ChangeNotifier::memberDeleted);
        press(f, Delete); // answered No
        QCOMPARE(m_prompter->messages.last().text, QString("Delete the this member??"));
        QCOMPARE(m_prompter->messages.last().title, QString("Delete Warning"));
        QCOMPARE(count("select count(*) from member"), 4);

        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QCOMPARE(count("select count(*) from member where memberid = ?", {m_lib.adams}), 0);
        QCOMPARE(count("select (select count(*) from chr_m_l) + (select count(*) from m_vm_l) +"
                       " (select count(*) from m_orch_l)"),
                 1); // O'Brien's choir is left
        QCOMPARE(count("select count(*) from city"), 2);
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(deleted.at(0).at(0).toInt(), m_lib.adams);
        QCOMPARE(f->M_Data.CurMember(), m_lib.baker);
        QVERIFY(!items(list(f, "LName")).contains("Adams"));

        // A delete that fails deletes nothing and says why.
        Db::exec("create trigger keep before delete on chr_m_l begin select raise(abort, 'locked'); end");
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Next);
        press(f, Delete);
        QVERIFY(m_prompter->lastMessage().contains("locked"));
        QCOMPARE(count("select count(*) from member where memberid = ?", {m_lib.obrien}), 1);
        QCOMPARE(f->M_Data.CurMember(), m_lib.obrien);
        Db::exec("drop trigger keep");

        // The last member gone: the empty editor.
        for (int i = 0; i < 3; ++i) {
            m_prompter->messageAnswers.enqueue(MsgResult::Yes);
            press(f, Delete);
        }
        QCOMPARE(count("select (select count(*) from member) + (select count(*) from chr_m_l)"), 0);
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        QVERIFY(!tabs(f)->isEnabled());
        QCOMPARE(f->M_Data.CurMember(), 0);
        for (char c = 'A'; c <= 'Z'; ++c)
            QCOMPARE(letterLook(f, QChar(c)), 2);
        QVERIFY(lastName(f).isEmpty());

        // Added from empty: browsing again.
        press(f, Add);
        QVERIFY(tabs(f)->isEnabled());
        type(list(f, "LName"), "Young");
        press(f, Save);
        QCOMPARE(visibleButtons(f), QList<int>({Add, Save, Delete, First, Previous, Next, Last}));
        QCOMPARE(letterLook(f, 'Y'), 1);
    }

    void theViewerOpensAMemberButNeverOverAnAdd()
    {
        m_lib.create();
        MemberForm *f = open();
        f->LoadFromMemberQDForm(m_lib.zimmer);
        QCOMPARE(f->M_Data.CurMember(), m_lib.zimmer);
        QCOMPARE(letterLook(f, 'Z'), 1);
        QVERIFY(list(f, "City")->currentText().isEmpty()); // its city id names no row
        // As the viewer reaches it: through the form code.
        dynamic_cast<RecordLoader *>(Forms::load(MemberFormCode))->loadRecordById(m_lib.obrien);
        QCOMPARE(list(f, "City")->currentText(), QString("Coeur d'Alene"));

        press(f, Add);
        type(list(f, "LName"), "Quinn");
        clickGridRow(f, grid(f, "ChoirGrid"), "Youth");
        m_prompter->messageAnswers.enqueue(MsgResult::Cancel);
        f->LoadFromMemberQDForm(m_lib.adams);
        QCOMPARE(m_prompter->lastMessage(), QString("Save the changes to this record?"));
        QVERIFY(f->isAdding() && f->M_Data.CurMember() < 1);
        QCOMPARE(lastName(f), QString("Quinn"));
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList({"Youth"}));
        press(f, Save);
        QCOMPARE(count("select count(*) from member"), 5); // a new member, no copy of Adams
        QCOMPARE(choirLinks(m_lib.adams), QStringList({"Chancel:-1", "Youth:0"}));
    }

    // Looking through the members asks nothing; an Active box ticked is a
    // change, asked about before the next member shows and saved on Yes.
    void anActiveTickIsAskedAbout()
    {
        m_lib.create();
        MemberForm *f = open();
        for (int i = 0; i < 4; ++i)
            press(f, Next);
        QCOMPARE(f->M_Data.CurMember(), m_lib.adams);
        QVERIFY(m_prompter->messages.isEmpty());
        clickGridRow(f, grid(f, "ChoirGrid"), "Youth", 3);
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Next);
        QCOMPARE(choirLinks(m_lib.adams), QStringList({"Chancel:-1", "Youth:-1"}));
    }

    void referenceListsReachTheGrids()
    {
        m_lib.create();
        MemberForm *f = open();
        CheckListGrid *choirs = grid(f, "ChoirGrid");
        // Not saved yet: Bells ticked and active, Youth made active.
        clickGridRow(f, choirs, "Bells");
        clickGridRow(f, choirs, "Bells", 3);
        clickGridRow(f, choirs, "Youth", 3);
        insert("insert into choir (choir) values ('Men')");
        Db::exec("update choir set choir = 'Chancel Choir' where ChoirID = ?", {m_lib.chancel});
        RefreshChoirLists();
        QCOMPARE(rows(choirs), QStringList({"Bells", "Chancel Choir", "Men", "Youth"}));
        QCOMPARE(ticked(choirs), QStringList({"Bells", "Chancel Choir", "Youth"}));
        QCOMPARE(ticked(choirs, 3), QStringList({"Bells", "Chancel Choir", "Youth"}));
        insert("insert into vocalsm (vocals) values ('Baritone')");
        ReloadSectionLists();
        QCOMPARE(rows(grid(f, "VocalsGrid")), QStringList({"Alto", "Baritone", "Tenor"}));
        QCOMPARE(ticked(grid(f, "VocalsGrid")), QStringList({"Alto"}));
        Db::exec("update orchestration set orchestration = 'Alto Flute' where orchid = ?", {m_lib.flute});
        RefreshOrchestrationLists();
        QCOMPARE(ticked(grid(f, "OrchGrid")), QStringList({"Alto Flute"}));
        press(f, Save);
        QCOMPARE(choirLinks(m_lib.adams), QStringList({"Bells:-1", "Chancel Choir:-1", "Youth:-1"}));

        // No member shown (adding, then none at all): refilled unmarked,
        // keeping the user's ticks.
        press(f, Add);
        clickGridRow(f, choirs, "Youth");
        insert("insert into choir (choir) values ('Women')");
        insert("insert into vocalsm (vocals) values ('Soprano')");
        RefreshChoirLists();
        ReloadSectionLists();
        QVERIFY(rows(choirs).contains("Women"));
        QCOMPARE(ticked(choirs), QStringList({"Youth"}));
        QCOMPARE(ticked(choirs, 3), QStringList());
        QCOMPARE(ticked(grid(f, "VocalsGrid")), QStringList());
        close(f);
        Db::exec("delete from member");
        f = open();
        insert("insert into orchestration (orchestration) values ('Harp')");
        RefreshOrchestrationLists();
        QVERIFY(rows(grid(f, "OrchGrid")).contains("Harp"));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    membertest::Members m_lib;
};

QTEST_MAIN(TestMemberNav)
#include "tst_membernav.moc"
