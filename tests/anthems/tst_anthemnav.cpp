// What the anthem editor adds to the shared record-editor shape (whose
// navigation rules are tested in tests/core/tst_recordeditor): its texts,
// its schedule and performed-dates buttons, delete with its cascade, what
// it announces to other windows and how it follows changes made in them.
#include "AnthemEditorTestUtil.h"
#include "ChangeNotifier.h"
#include "RecordDialogs.h"

#include <QSignalSpy>

using namespace ed;

class TestAnthemNav : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerAnthemEditor(); }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }
    void cleanup()
    {
        close(Forms::instance(AnthemFormCode));
        RecordDialogs::setScheduleEntryDialog({});
        RecordDialogs::setPerformedDatesDialog({});
        m_prompter.reset();
        m_folder.reset();
    }

    void movesLettersAndTexts()
    {
        for (const char *t : {"Cantate", "Alleluia", "1 Corinthians", "Amen"})
            addAnthem(t);
        AnthemForm *f = open();
        QCOMPARE(title(f), QString("1 Corinthians")); // files under A, first in title order
        QCOMPARE(listItems(f), QStringList({"1 Corinthians", "Alleluia", "Amen"}));
        press(f, Previous);
        QCOMPARE(title(f), QString("Cantate"));
        QCOMPARE(letterLook(f, 'C'), 1);
        QCOMPARE(f->A_Data.SLetterW(), QString("C"));
        // A click on A shows the first title that begins with A, not the one
        // filed under A before it.
        clickLetter(f, 'A');
        QCOMPARE(title(f), QString("Alleluia"));
        QCOMPARE(listItems(f), QStringList({"1 Corinthians", "Alleluia", "Amen"}));
        press(f, Previous);
        QCOMPARE(title(f), QString("1 Corinthians"));
        QCOMPARE(letters(f)->buttonToolTip(7), QString("Anthems beginning with C"));
        QCOMPARE(toolbar(f)->button(Add)->toolTip(), QString("Add new anthem (Ctrl+N)"));
        QCOMPARE(toolbar(f)->button(Last)->toolTip(), QString("Move to last anthem (Alt+End)"));
        // Without the schedule dialogs in the program: no Schedule button,
        // and "View All" stays disabled.
        QVERIFY(!toolbar(f)->button(10));
        QVERIFY(!w<QPushButton>(f, "btnAllPerform")->isEnabled());
    }

    void scheduleAndPerformedDatesOfTheAnthemShown()
    {
        QList<QPair<qint32, QString>> scheduled;
        QList<qint32> performed;
        RecordDialogs::setScheduleEntryDialog([&](ScheduleCaller c, qint32 id, const QString &t) {
            QVERIFY(c == ScheduleCaller::Anthem);
            QCOMPARE(hx().ScheduleCaller, 2);
            scheduled.append({id, t});
        });
        RecordDialogs::setPerformedDatesDialog([&](ScheduleCaller c, qint32 id) {
            QVERIFY(c == ScheduleCaller::Anthem);
            performed << id;
        });
        const qint32 id = addAnthem("Gloria");
        AnthemForm *f = open();
        QCOMPARE(toolbar(f)->button(10)->toolTip(), QString("Schedule Anthem (Ctrl+Shift+S)"));
        press(f, 10);
        QCOMPARE(scheduled, (QList<QPair<qint32, QString>>{{id, "Gloria"}}));
        QCOMPARE(hx().ScheduleCaller, 0);
        w<QPushButton>(f, "btnAllPerform")->click();
        QCOMPARE(performed, QList<qint32>({id}));
    }

    void deleteWithItsCascadeAndNotices()
    {
        const qint32 coll = insertRow("insert into collection (Collection) values ('Book')");
        const qint32 gone = addAnthem("Anthem To Go", coll);
        addAnthem("Kept");
        Db::exec("insert into a_th_l (anthemid, themeid) values (?, 1)", {gone});
        Db::exec("insert into a_lperform (Lperform, anthemid) values ('2001-01-01', ?)", {gone});
        Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, anthemid) values (1, '2030-01-06', 'AM', ?)", {gone});
        Db::exec("insert into schednotes (SchedDate, AMPM, notes) values ('2030-01-06', 'AM', 'robes')");
        AnthemForm *f = open();
        QCOMPARE(f->A_Data.CurAnthem(), gone);
        QSignalSpy deleted(&ChangeNotifier::instance(), &ChangeNotifier::anthemDeleted);
        QSignalSpy schedule(&ChangeNotifier::instance(), &ChangeNotifier::scheduleChanged);

        // A failing cascade deletes nothing, says so and announces nothing.
        Db::exec("create trigger stuck before delete on schednotes begin select raise(abort, 'locked'); end");
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QVERIFY(m_prompter->lastMessage().contains("locked"));
        QCOMPARE(count("select count(*) from anthem"), 2);
        QCOMPARE(deleted.size(), 0);
        Db::exec("drop trigger stuck");

        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(f, Delete);
        QCOMPARE(m_prompter->messages.at(m_prompter->messages.size() - 1).text, QString("Delete the this anthem??"));
        QCOMPARE(count("select count(*) from anthem where anthemid = ?", {gone}), 0);
        QCOMPARE(count("select count(*) from a_th_l") + count("select count(*) from a_lperform")
                     + count("select count(*) from schedule") + count("select count(*) from schednotes"),
                 0);
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(deleted.at(0).at(0).toInt(), gone);
        QCOMPARE(deleted.at(0).at(1).toInt(), coll);
        QCOMPARE(schedule.size(), 1);
        QCOMPARE(schedule.at(0).at(0).toInt(), 0);
        QCOMPARE(title(f), QString("Kept"));
    }

    void savesAreAnnouncedWithTheirCollections()
    {
        const qint32 hymnal = insertRow("insert into collection (Collection) values ('Hymnal')");
        const qint32 cantata = insertRow("insert into collection (Collection) values ('Cantata')");
        const qint32 id = addAnthem("Moved", hymnal);
        AnthemForm *f = open();
        QSignalSpy stored(&ChangeNotifier::instance(), &ChangeNotifier::anthemStored);
        chooseCollection(f, "Cantata");
        press(f, Save);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.at(0).at(0).toInt(), id);
        QCOMPARE(stored.at(0).at(1).toInt(), cantata);
        QCOMPARE(stored.at(0).at(2).toInt(), hymnal);

        press(f, Add);
        type(edit(f, "AnthemName"), "New");
        press(f, Save);
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.at(1).at(0).toInt(), f->A_Data.CurAnthem());
        QCOMPARE(stored.at(1).at(1).toInt(), 0);
        QCOMPARE(stored.at(1).at(2).toInt(), 0);
    }

    void followsCollectionsChangedElsewhere()
    {
        const qint32 book = insertRow("insert into collection (Collection) values ('Book')");
        addAnthem("Alpha", book);
        addAnthem("Beta", book);
        AnthemForm *f = open();
        auto *combo = w<QComboBox>(f, "CollectionCombo");
        QCOMPARE(combo->currentText(), QString("Book"));

        // A collection saved: renamed, and its loaned-to text copied into
        // its anthems; the list and the anthem shown follow.
        Db::exec("update collection set Collection = 'Big Book' where collectionid = ?", {book});
        Db::exec("update anthem set LoanedTo = 'Youth' where collectionid = ?", {book});
        Notify::collectionStored(book, true);
        QCOMPARE(combo->currentText(), QString("Big Book"));
        QCOMPARE(edit(f, "LoanedTo")->text(), QString("Youth"));

        // A collection deleted with its anthems: the editor starts afresh.
        press(f, Next);
        QCOMPARE(title(f), QString("Beta"));
        Db::exec("delete from anthem where anthemid in (select anthemid from anthem where Anthem = 'Alpha')");
        Db::exec("delete from collection");
        Notify::collectionDeleted(book);
        QCOMPARE(title(f), QString("Beta"));
        QCOMPARE(combo->count(), 1);
        QCOMPARE(listItems(f), QStringList({"Beta"}));
    }

    void openedOnARecordFromElsewhere()
    {
        addAnthem("Alpha");
        const qint32 beta = addAnthem("Beta");
        OpenAnthemRecord(beta);
        AnthemForm *f = Forms::find<AnthemForm>(AnthemFormCode);
        QVERIFY(f);
        QCOMPARE(title(f), QString("Beta"));
        QCOMPARE(letterLook(f, 'B'), 1);
        const qint32 late = addAnthem("Delta");
        f->LoadFromCollectionForm(late);
        QCOMPARE(title(f), QString("Delta"));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestAnthemNav)
#include "tst_anthemnav.moc"
