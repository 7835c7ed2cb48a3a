// The anthem editor's navigation: record toolbar, letter bar, name list,
// the calls of other windows, and delete with its cascade.
#include "AnthemEditorTestUtil.h"
#include "BaseForm.h"
#include "HXData.h"

using namespace ed;

namespace {

// Stands for the collection editor and the schedule viewer: what the
// anthem editor asks of them once they are part of the program.
class CollectionEditorStandIn : public BaseForm, public HXDataHolder {
    Q_OBJECT
public:
    CollectionEditorStandIn() : BaseForm(&hx().CollectionFormLoaded) {}
    HXData data;
    HXData &hxData() override { return data; }
    QList<qint32> builds;
    Q_INVOKABLE void BuildAnthemsGrid(qint32 id, bool loadData)
    {
        if (loadData)
            builds << id;
    }
};

class ScheduleViewStandIn : public BaseForm {
    Q_OBJECT
public:
    ScheduleViewStandIn() : BaseForm(&hx().ScheduleViewFormLoaded) {}
    int loads = 0;
    Q_INVOKABLE void LoadSGrid() { ++loads; }
};

} // namespace

class TestAnthemNav : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerAnthemEditor();
        Forms::registerForm(CollectionFormCode, [] { return new CollectionEditorStandIn; });
        Forms::registerForm(ScheduleViewFormCode, [] { return new ScheduleViewStandIn; });
    }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }
    void cleanup()
    {
        for (int code : {AnthemFormCode, CollectionFormCode, ScheduleViewFormCode})
            close(Forms::instance(code));
        m_prompter.reset();
        m_folder.reset();
    }

    void movesWrapAndTheLettersFollow()
    {
        for (const char *t : {"Cantate", "Alleluia", "Benedictus", "Amen"})
            addAnthem(t);
        AnthemForm *f = open();
        QCOMPARE(title(f), QString("Alleluia"));
        QCOMPARE(visibleButtons(f), QList<int>({Add, Save, Delete, First, Previous, Next, Last}));
        QCOMPARE(letterLook(f, 'A'), 1);
        QCOMPARE(letterLook(f, 'B'), 0);
        QCOMPARE(letterLook(f, 'D'), 2);
        QCOMPARE(listItems(f), QStringList({"Alleluia", "Amen"}));

        press(f, Previous); // wraps to the last
        QCOMPARE(title(f), QString("Cantate"));
        QCOMPARE(letterLook(f, 'C'), 1);
        QCOMPARE(letterLook(f, 'A'), 0);
        QCOMPARE(listItems(f), QStringList({"Cantate"}));
        press(f, Next); // wraps to the first
        QCOMPARE(title(f), QString("Alleluia"));
        QCOMPARE(listItems(f), QStringList({"Alleluia", "Amen"}));
        press(f, Next);
        press(f, Next);
        QCOMPARE(title(f), QString("Benedictus"));
        QCOMPARE(letterLook(f, 'B'), 1);
        press(f, Last);
        QCOMPARE(title(f), QString("Cantate"));
        press(f, First);
        QCOMPARE(title(f), QString("Alleluia"));
        QCOMPARE(f->A_Data.SLetterW(), QString("A"));
    }

    void duplicateNamesAndLetters()
    {
        const qint32 first = addAnthem("Psalm 23");
        const qint32 second = addAnthem("Psalm 23");
        addAnthem("Praise Him");
        addAnthem("1 Corinthians"); // files under A
        const qint32 lower = addAnthem("psalm 23"); // same title to the database, its own item
        AnthemForm *f = open();
        QCOMPARE(letterLook(f, 'A'), 1); // no title begins with A, yet A has one
        QCOMPARE(title(f), QString("1 Corinthians"));

        clickLetter(f, 'P');
        QCOMPARE(letterLook(f, 'P'), 1);
        QCOMPARE(letterLook(f, 'A'), 0);
        QCOMPARE(listItems(f), QStringList({"Praise Him", "Psalm 23 {2}", "psalm 23"}));
        QCOMPARE(title(f), QString("Praise Him"));
        chooseListItem(f, "psalm 23");
        QCOMPARE(f->A_Data.CurAnthem(), lower);

        chooseListItem(f, "Psalm 23 {2}");
        QCOMPARE(f->A_Data.CurAnthem(), first);
        press(f, Next);
        QCOMPARE(f->A_Data.CurAnthem(), second);
        QCOMPARE(title(f), QString("Psalm 23"));

        // The selected letter clicked again shows its first anthem.
        clickLetter(f, 'P');
        QCOMPARE(letterLook(f, 'P'), 1);
        QCOMPARE(title(f), QString("Praise Him"));
        // A letter without anthems cannot be chosen.
        clickLetter(f, 'Q');
        QCOMPARE(title(f), QString("Praise Him"));
        clickLetter(f, 'A');
        QCOMPARE(listItems(f), QStringList({"1 Corinthians"}));
        QCOMPARE(title(f), QString("1 Corinthians"));

        // A saved rename moves the anthem to its letter.
        chooseListItem(f, "1 Corinthians");
        type(edit(f, "AnthemName"), "Zion");
        press(f, Save);
        QCOMPARE(letterLook(f, 'Z'), 1);
        QCOMPARE(letterLook(f, 'A'), 2);
        QCOMPARE(listItems(f), QStringList({"Zion"}));
        press(f, Next);
        QCOMPARE(title(f), QString("Praise Him"));
    }

    void emptyTableAddAndCancel()
    {
        AnthemForm *f = open();
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        QVERIFY(!w<QTabWidget>(f, "SSTab1")->isEnabled());
        QCOMPARE(nameList(f)->count(), 0);
        QCOMPARE(letterLook(f, 'A'), 2);
        QCOMPARE(letterLook(f, 'Z'), 2);
        QCOMPARE(f->A_Data.CurAnthem(), 0);

        press(f, Add);
        QVERIFY(w<QTabWidget>(f, "SSTab1")->isEnabled());
        QVERIFY(!letters(f)->isEnabled());
        QVERIFY(!nameList(f)->isEnabled());
        type(edit(f, "AnthemName"), "Not kept");
        press(f, Cancel);
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        QVERIFY(!w<QTabWidget>(f, "SSTab1")->isEnabled());
        QCOMPARE(title(f), QString());
        QVERIFY(letters(f)->isEnabled());
        QCOMPARE(count("select count(*) from anthem"), 0);

        press(f, Add);
        type(edit(f, "AnthemName"), "Magnificat");
        press(f, Save);
        QCOMPARE(visibleButtons(f), QList<int>({Add, Save, Delete, First, Previous, Next, Last}));
        QCOMPARE(letterLook(f, 'M'), 1);
        QCOMPARE(letterLook(f, 'A'), 2);
        QCOMPARE(listItems(f), QStringList({"Magnificat"}));

        // Cancel with anthems shows the first, not the one shown before Add.
        addAnthem("Agnus Dei");
        f->CollectionDeletionReset(); // the list is read again
        press(f, Last);
        QCOMPARE(title(f), QString("Magnificat"));
        press(f, Add);
        press(f, Cancel);
        QCOMPARE(title(f), QString("Agnus Dei"));
        QCOMPARE(visibleButtons(f), QList<int>({Add, Save, Delete, First, Previous, Next, Last}));
    }

    void deleteWithItsCascadeAndNeighbours()
    {
        const qint32 coll = insertRow("insert into collection (Collection) values ('Book')");
        const qint32 gone = addAnthem("Anthem To Go", coll);
        const qint32 kept = addAnthem("Kept", coll);
        Db::exec("insert into a_th_l (anthemid, themeid) values (?, 1)", {gone});
        Db::exec("insert into a_lperform (Lperform, anthemid) values ('2001-01-01', ?)", {gone});
        Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, anthemid) values (1, '2030-01-06', 'AM', ?)", {gone});
        Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, anthemid) values (1, '2030-01-13', 'AM', ?)", {gone});
        Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, anthemid) values (2, '2030-01-13', 'PM', ?)", {kept});
        Db::exec("insert into schednotes (SchedDate, AMPM, notes) values ('2030-01-06', 'AM', 'robes'),"
                 " ('2030-01-13', 'AM', 'bells')");
        auto *collEditor = static_cast<CollectionEditorStandIn *>(Forms::load(CollectionFormCode));
        collEditor->data.setCurCollection(coll);
        auto *schedule = static_cast<ScheduleViewStandIn *>(Forms::load(ScheduleViewFormCode));
        AnthemForm *f = open();
        QCOMPARE(f->A_Data.CurAnthem(), gone);

        m_prompter->messageAnswers.enqueue(MsgResult::No);
        press(f, Delete);
        QCOMPARE(m_prompter->messages.last().text, QString("Delete the this anthem??"));
        QCOMPARE(m_prompter->messages.last().title, QString("Delete Warning"));
        QVERIFY(m_prompter->messages.last().buttons == MsgButtons::YesNo);
        QCOMPARE(count("select count(*) from anthem"), 2);

        // A failing cascade deletes nothing and says so.
        Db::exec("create trigger stuck before delete on schednotes begin select raise(abort, 'locked'); end");
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QVERIFY(m_prompter->lastMessage().contains("locked"));
        QCOMPARE(count("select count(*) from anthem"), 2);
        QCOMPARE(count("select count(*) from schedule"), 3);
        QCOMPARE(title(f), QString("Anthem To Go"));
        Db::exec("drop trigger stuck");

        const int messages = int(m_prompter->messages.size());
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QCOMPARE(m_prompter->messages.size(), messages + 1); // the question only
        QCOMPARE(count("select count(*) from anthem where anthemid = ?", {gone}), 0);
        QCOMPARE(count("select count(*) from a_th_l"), 0);
        QCOMPARE(count("select count(*) from a_lperform"), 0);
        QCOMPARE(column("select SchedDate from schedule"), QStringList({"2030-01-13"}));
        QCOMPARE(column("select notes from schednotes"), QStringList({"bells"}));
        QCOMPARE(collEditor->builds, QList<qint32>({coll}));
        QCOMPARE(schedule->loads, 1);
        QCOMPARE(title(f), QString("Kept"));
        QCOMPARE(letterLook(f, 'A'), 2);
        QCOMPARE(letterLook(f, 'K'), 1);

        // Another collection shown there: its grid is left alone.
        collEditor->data.setCurCollection(coll + 1);
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QCOMPARE(collEditor->builds.size(), 1);
        QCOMPARE(schedule->loads, 2);
        // The last anthem gone: the empty editor.
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        QCOMPARE(f->A_Data.CurAnthem(), 0);
        QCOMPARE(nameList(f)->count(), 0);
        QVERIFY(!w<QTabWidget>(f, "SSTab1")->isEnabled());
        QCOMPARE(letterLook(f, 'K'), 2);
    }

    void openedOnARecordFromElsewhere()
    {
        addAnthem("Alpha");
        const qint32 beta = addAnthem("Beta");
        addAnthem("Gamma");
        OpenAnthemRecord(beta);
        AnthemForm *f = Forms::find<AnthemForm>(AnthemFormCode);
        QVERIFY(f);
        QCOMPARE(title(f), QString("Beta"));
        QCOMPARE(letterLook(f, 'B'), 1);
        press(f, Next);
        QCOMPARE(title(f), QString("Gamma"));

        // An anthem added after the editor read its list is still found.
        const qint32 late = addAnthem("Delta");
        f->LoadFromCollectionForm(late);
        QCOMPARE(title(f), QString("Delta"));
        press(f, Next);
        QCOMPARE(title(f), QString("Gamma"));
        // An id that is nowhere returns and leaves a record shown.
        f->LoadFromCollectionForm(987654);
        QVERIFY(!title(f).isEmpty());
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestAnthemNav)
#include "tst_anthemnav.moc"
