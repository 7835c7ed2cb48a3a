// Deleting a collection from its editor: the question, what goes (checked
// with SQL), the windows told, and a failure that leaves everything as it
// was with the collection still shown.
#include "CollectionEditorTestUtil.h"
#include "ChangeNotifier.h"

#include <QSignalSpy>

using namespace colform;

namespace {

void schedule(const QString &date, const QString &ampm, int choir, qint32 collection, qint32 anthem)
{
    Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, Anthem, collectionid, anthemid) "
             "values (?, ?, ?, -1, ?, ?)",
             {choir, date, ampm, collection, anthem});
    Db::exec("insert into schednotes (SchedDate, AMPM, notes) values (?, ?, 'robes')", {date, ampm});
}

int rows(const char *table)
{
    return coltest::count(QStringLiteral("select count(*) from %1").arg(QLatin1String(table)));
}

} // namespace

class TestCollectionFormDelete : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerAnthemEditor();
        registerCollectionReport();
    }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_lib.create();
        // The collection's own entry and its anthem's; another choir on the
        // evening of a date of its anthems; another collection's date.
        schedule("2027-01-03", "AM", 1, m_lib.carols, 0);
        schedule("2027-01-10", "AM", 1, 0, m_lib.joy);
        schedule("2027-01-17", "AM", 1, 0, m_lib.holyNight);
        schedule("2027-01-17", "PM", 2, 0, m_lib.christ);
        schedule("2027-02-07", "AM", 1, m_lib.easterBook, 0);
    }
    void cleanup()
    {
        close(Forms::instance(CollectionFormCode));
        close(Forms::instance(AnthemFormCode));
        m_prompter.reset();
        m_folder.reset();
    }

    void theQuestionAndNo()
    {
        CollectionForm *f = openCollections();
        m_prompter->messageAnswers.enqueue(MsgResult::No);
        press(f, Delete);
        const AskedMessage &asked = m_prompter->messages.last();
        QCOMPARE(asked.text, QString("This will delete this collection and all anthems\nassigned to this "
                                     "collection\nContinue with Deletion?????"));
        QCOMPARE(asked.title, QString("Delete Warning"));
        QVERIFY(asked.buttons == MsgButtons::YesNo);
        QVERIFY(asked.icon == MsgIcon::None);
        QCOMPARE(rows("collection"), 3);
        QCOMPARE(rows("anthem"), 5);
        QCOMPARE(nameOf(f), QString("Carols Book"));
    }

    void yesDeletesTheCollectionWithItsAnthems()
    {
        OpenAnthemRecord(m_lib.holyNight);
        AnthemForm *a = Forms::find<AnthemForm>(AnthemFormCode);
        CollectionForm *f = openCollections();
        QSignalSpy deleted(&ChangeNotifier::instance(), &ChangeNotifier::collectionDeleted);
        QSignalSpy scheduled(&ChangeNotifier::instance(), &ChangeNotifier::scheduleChanged);
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        const int asked = int(m_prompter->messages.size());
        press(f, Delete);
        QCOMPARE(m_prompter->messages.size(), asked + 1); // the question only

        // (Every row the cascade removes: tst_collectiondelete.)
        QCOMPARE(coltest::count("select count(*) from collection where collectionid = ?", {m_lib.carols}), 0);
        QCOMPARE(coltest::count("select count(*) from col_th_l where collectionid = ?", {m_lib.carols}), 0);
        QCOMPARE(ed::column("select Anthem from anthem order by anthemid"),
                 QStringList({"Christ the Lord", "Loose Anthem"}));
        QCOMPARE(coltest::count("select count(*) from a_orch_l where anthemid = ?", {m_lib.joy}), 0);
        // Its entries and its anthems' went; a date keeps its notes while
        // any entry of any choir is left on it.
        QCOMPARE(ed::column("select SchedDate || ' ' || AMPM from schedule order by SchedDate"),
                 QStringList({"2027-01-17 PM", "2027-02-07 AM"}));
        QCOMPARE(ed::column("select distinct SchedDate from schednotes order by SchedDate"),
                 QStringList({"2027-01-17", "2027-02-07"}));
        QCOMPARE(coltest::count("select count(*) from schednotes where SchedDate = '2027-01-17'"), 2);

        // The windows that show it are told; the editor shows the first
        // collection left, the anthem editor its first anthem.
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(deleted.first().at(0).toInt(), m_lib.carols);
        QCOMPARE(scheduled.size(), 1);
        QCOMPARE(scheduled.first().at(0).toInt(), 0);
        QCOMPARE(nameOf(f), QString("Easter Book"));
        QCOMPARE(f->Col_Data.CurCollection(), m_lib.easterBook);
        QCOMPARE(listItems(f), QStringList({"Easter Book"}));
        QCOMPARE(letterLook(f, 'C'), 2);
        QCOMPARE(letterLook(f, 'E'), 1);
        QCOMPARE(a->A_Data.CurAnthem(), m_lib.christ);
        QCOMPARE(w<QComboBox>(a, "CollectionCombo")->findText("Carols Book"), -1);

        // An anthem being typed there stays while the last ones go.
        press(a, Add);
        type(edit(a, "AnthemName"), "Typed Anthem");
        for (int i = 0; i < 2; ++i) {
            m_prompter->messageAnswers.enqueue(MsgResult::Yes);
            press(f, Delete);
        }
        QCOMPARE(rows("collection"), 0);
        QCOMPARE(ed::column("select Anthem from anthem"), QStringList({"Loose Anthem"}));
        QVERIFY(a->isAdding());
        QCOMPARE(edit(a, "AnthemName")->text(), QString("Typed Anthem"));
        // The empty editor: only Add, nothing shown, every letter disabled.
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        QCOMPARE(f->Col_Data.CurCollection(), 0);
        QVERIFY(nameOf(f).isEmpty());
        QCOMPARE(nameList(f)->count(), 0);
        QVERIFY(!w<QTabWidget>(f, "SSTab1")->isEnabled());
        QCOMPARE(letterLook(f, 'E'), 2);
        QCOMPARE(letterLook(f, 'H'), 2);
    }

    void aFailureAnywhereDeletesNothing()
    {
        CollectionForm *f = openCollections();
        QSignalSpy deleted(&ChangeNotifier::instance(), &ChangeNotifier::collectionDeleted);
        QMap<QString, int> before;
        for (const char *t : {"collection", "col_th_l", "col_lperform", "anthem", "a_orch_l", "schedule", "schednotes"})
            before.insert(t, rows(t));
        // The last anthem's cascade fails, after the collection's own rows
        // and the first anthems went.
        Db::exec(QStringLiteral("create temp trigger keep before delete on main.anthem when old.anthemid = %1 "
                                "begin select raise(abort, 'anthem is locked'); end")
                     .arg(m_lib.holyNight));
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QVERIFY(m_prompter->lastMessage().contains("anthem is locked"));
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QVERIFY2(rows(qPrintable(it.key())) == it.value(), qPrintable(it.key()));
        QVERIFY(deleted.isEmpty());
        QCOMPARE(nameOf(f), QString("Carols Book"));
        QCOMPARE(f->Col_Data.CurCollection(), m_lib.carols);
        QCOMPARE(anthemTitles(f).size(), 3);
        QCOMPARE(visibleButtons(f), QList<int>({Add, Save, Delete, First, Previous, Next, Last}));

        Db::exec("drop trigger temp.keep");
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QCOMPARE(rows("collection"), 2);
        QCOMPARE(deleted.size(), 1);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    coltest::Library m_lib;
};

QTEST_MAIN(TestCollectionFormDelete)
#include "tst_collectionformdelete.moc"
