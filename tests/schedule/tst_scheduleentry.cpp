// The schedule entry dialog: validation, the slot conflict rules, what an
// entry stores, the choir lists, and its opening from an editor.
#include "ChoirList.h"
#include "DateField.h"
#include "Forms.h"
#include "RecordDialogs.h"
#include "ScheduleForm.h"
#include "ScheduleGridModel.h"
#include "ScheduleRegistration.h"
#include "ScheduleTestUtil.h"
#include "ScheduleViewForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace schedtest;

namespace {

const QDate kToday(2027, 3, 10);
const QDate kSunday(2027, 3, 14);

struct SlotTexts {
    QString taken, addQuestion, replaceQuestion;
};
// Verbatim, the benediction's spelling included.
const SlotTexts kSlotTexts[4] = {
    {"A call has already been assigned for this date and time", "Do you wish to add this as a second call?",
     "Do you wish to replace the current call with this selection?"},
    {"An anthem has already been assigned for this date and time", "Do you wish to add this as a second anthem?",
     "Do you wish to replace the current anthem with this selection?"},
    {"An offertory has already been assigned for this date and time",
     "Do you wish to add this as a second offertory?",
     "Do you wish to replace the current offertory with this selection?"},
    {"A benediciton has already been assigned for this date and time",
     "Do you wish to add this as a second benediction?",
     "Do you wish to replace the current benediction with this selection?"},
};
const char *const kSlotColumns[4] = {"call", "Anthem", "Offertory", "Benediction"};

} // namespace

class TestScheduleEntry : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_youth = choir("Youth");
        m_chancel = choir("Chancel");
        m_grace = anthem("Amazing Grace");
        m_vision = anthem("Be Thou My Vision");
        m_carols = collection("Carols Book");
    }
    void cleanup()
    {
        m_prompter.reset();
        m_folder.reset();
        hx().ScheduleCaller = 0;
    }

    void choirLists()
    {
        QComboBox combo;
        const qint32 lower = choir("chancel"); // same name, other case, higher id
        FillChoirCombo(&combo);
        QCOMPARE(combo.count(), 3);
        QCOMPARE(combo.itemText(0), QString("Chancel"));
        QCOMPARE(combo.itemText(1), QString("chancel"));
        QCOMPARE(combo.itemText(2), QString("Youth"));
        QCOMPARE(combo.currentIndex(), 0);
        QCOMPARE(ChosenChoirId(&combo), m_chancel);
        QVERIFY(ChooseChoir(&combo, lower));
        QCOMPARE(ChosenChoirId(&combo), lower);
        QCOMPARE(GetChoirID("YOUTH"), m_youth);
        QCOMPARE(GetChoirID("CHANCEL"), m_chancel); // the first of two
        QCOMPARE(GetChoirID(" Youth"), -1);        // not trimmed
        QCOMPARE(GetChoirID("Bell choir"), -1);
        QCOMPARE(GetChoirID("O'Brien's"), -1);
        Db::exec("delete from choir");
        FillChoirCombo(&combo);
        QCOMPARE(combo.count(), 0);
        QCOMPARE(combo.currentText(), QString());
        QCOMPARE(ChosenChoirId(&combo), -1);
    }

    // The defaults a user starts from: today, AM, the first choir, Anthem.
    void opensWithItsDefaults()
    {
        ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
        QCOMPARE(child<QLabel>(&f, "Label1")->text(), QString("Scheduling: Amazing Grace"));
        QCOMPARE(child<DateField>(&f, "SchedDate")->date(), kToday);
        QCOMPARE(child<QComboBox>(&f, "AMPM")->currentText(), QString("AM"));
        QVERIFY(!child<QComboBox>(&f, "ChoirCombo")->isEditable());
        QCOMPARE(f.CurChoir(), m_chancel);
        QCOMPARE(f.selectedSlot(), ScheduleSlot::Anthem);
        QVERIFY(!child<QCheckBox>(&f, "OtherCheck")->isChecked());
        for (int i = 0; i < 4; ++i)
            QVERIFY(child<QLabel>(&f, QString("label2_%1").arg(i))->buddy());
    }

    // The refusals, in their order; each writes nothing and keeps the
    // dialog open.
    void refusals()
    {
        ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
        auto *date = child<DateField>(&f, "SchedDate");
        click(&f, "btnClearDate");
        QCOMPARE(date->text(), QString());
        click(&f, "btnAdd");
        QCOMPARE(m_prompter->lastMessage(), QString("A valid date is required"));
        QCOMPARE(m_prompter->messages.last().title, QString("Date error"));
        QCOMPARE(m_prompter->messages.last().icon, MsgIcon::Information);

        date->setDate(kToday);
        child<QCheckBox>(&f, "OtherCheck")->click();
        click(&f, "btnAdd");
        QCOMPARE(m_prompter->lastMessage(), QString("'Other' text is required"));
        QCOMPARE(m_prompter->messages.last().title, QString("Date error"));
        child<QCheckBox>(&f, "OtherCheck")->click();

        date->setDate(kToday.addDays(-1));
        click(&f, "btnAdd");
        QCOMPARE(m_prompter->lastMessage(), QString("The schedule date must be equal or greater than today's date"));
        QCOMPARE(count("select count(*) from schedule"), 0);
        QCOMPARE(f.result(), int(QDialog::Rejected));

        // Today itself is accepted.
        date->setDate(kToday);
        click(&f, "btnAdd");
        QCOMPARE(m_prompter->lastMessage(), QString("Selection was scheduled."));
        QCOMPARE(m_prompter->messages.last().title, QString("Schedule"));
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(count("select count(*) from schedule where SchedDate = ?", {Fmt::dateToDb(kToday)}), 1);
    }

    // A mistyped date gets the dialog's own message and nothing else,
    // whether the user clicks Add or presses Enter in the date.
    void mistypedDateOneMessage()
    {
        ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        auto *date = child<DateField>(&f, "SchedDate");
        click(&f, "btnClearDate");
        date->lineEdit()->setFocus();
        QTest::keyClicks(date->lineEdit(), "13/45/2027");
        m_prompter->clear();
        QTest::mouseClick(child<QPushButton>(&f, "btnAdd"), Qt::LeftButton);
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->lastMessage(), QString("A valid date is required"));
        QCOMPARE(m_prompter->messages.last().title, QString("Date error"));
        QCOMPARE(date->text(), QString("13/45/2027"));

        date->lineEdit()->setFocus();
        m_prompter->clear();
        QTest::keyClick(date->lineEdit(), Qt::Key_Return);
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->lastMessage(), QString("A valid date is required"));
        QVERIFY(f.isVisible());
        QCOMPARE(count("select count(*) from schedule"), 0);

        // Corrected, Enter schedules it.
        date->lineEdit()->selectAll();
        QTest::keyClicks(date->lineEdit(), "03/14/2027");
        QTest::keyClick(date->lineEdit(), Qt::Key_Return);
        QCOMPARE(m_prompter->lastMessage(), QString("Selection was scheduled."));
        QCOMPARE(count("select count(*) from schedule where SchedDate = ?", {Fmt::dateToDb(kSunday)}), 1);
    }

    // With no choir at all the dialog refuses, after the date checks,
    // instead of writing an entry of no choir.
    void noChoirRefused()
    {
        Db::exec("delete from choir");
        ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
        QCOMPARE(f.CurChoir(), -1);
        child<DateField>(&f, "SchedDate")->setDate(kToday.addDays(-3));
        click(&f, "btnAdd");
        QCOMPARE(m_prompter->lastMessage(), QString("The schedule date must be equal or greater than today's date"));
        child<DateField>(&f, "SchedDate")->setDate(kSunday);
        click(&f, "btnAdd");
        QCOMPARE(m_prompter->lastMessage(), QString("A choir is required"));
        QCOMPARE(m_prompter->messages.last().title, QString("Choir error"));
        QCOMPARE(m_prompter->messages.last().icon, MsgIcon::Information);
        QCOMPARE(count("select count(*) from schedule"), 0);
        QCOMPARE(f.result(), int(QDialog::Rejected));
    }

    // What an entry stores: the caller's record unless "other text only",
    // the other text as typed (also empty), exactly one slot, the service.
    void whatAnEntryStores()
    {
        {
            ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
            child<DateField>(&f, "SchedDate")->setDate(kSunday);
            choose(child<QComboBox>(&f, "AMPM"), 1);
            child<QRadioButton>(&f, "optSched2")->click();
            click(&f, "btnAdd");
        }
        {
            ScheduleForm f(ScheduleCaller::Collection, m_carols, "Carols Book", kToday);
            child<DateField>(&f, "SchedDate")->setDate(kSunday);
            choose(child<QComboBox>(&f, "ChoirCombo"), 1);
            child<QLineEdit>(&f, "OtherText")->setText("with handbells; verses 1 | 3");
            click(&f, "btnAdd");
        }
        {
            ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
            child<DateField>(&f, "SchedDate")->setDate(kSunday);
            child<QRadioButton>(&f, "optSched0")->click();
            child<QCheckBox>(&f, "OtherCheck")->click();
            child<QLineEdit>(&f, "OtherText")->setText("Bell choir visits");
            click(&f, "btnAdd");
        }
        QSqlQuery q = Db::query("select ChoirID, SchedDate, AMPM, call, Anthem, Offertory, Benediction, other, "
                                "collectionid, anthemid from schedule order by schedid");
        const QVariantList expected[3] = {
            {m_chancel, "2027-03-14", "PM", 0, 0, -1, 0, "", 0, m_grace},
            {m_youth, "2027-03-14", "AM", 0, -1, 0, 0, "with handbells; verses 1 | 3", m_carols, 0},
            {m_chancel, "2027-03-14", "AM", -1, 0, 0, 0, "Bell choir visits", 0, 0},
        };
        for (const QVariantList &row : expected) {
            QVERIFY(q.next());
            for (int c = 0; c < row.size(); ++c)
                QCOMPARE(q.value(c).toString(), row.at(c).toString());
            QVERIFY(!q.value(7).isNull());
        }
        QVERIFY(!q.next());
    }

    // The conflict table, slot by slot: Yes adds a second entry; No and No
    // writes nothing and keeps the dialog open; No and Yes makes the first
    // existing entry hold only the new selection.
    void conflictRules_data()
    {
        QTest::addColumn<int>("slot");
        for (int i = 0; i < 4; ++i)
            QTest::newRow(kSlotColumns[i]) << i;
    }
    void conflictRules()
    {
        QFETCH(int, slot);
        const SlotTexts &t = kSlotTexts[slot];
        const qint32 first = entry(m_chancel, kSunday, "AM", slot, 0, m_carols, "old text");
        const qint32 second = entry(m_chancel, kSunday, "AM", slot, m_vision);
        auto dialog = [&](std::unique_ptr<ScheduleForm> &f) {
            f = std::make_unique<ScheduleForm>(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
            child<DateField>(f.get(), "SchedDate")->setDate(kSunday);
            child<QRadioButton>(f.get(), QString("optSched%1").arg(slot))->click();
        };
        std::unique_ptr<ScheduleForm> f;

        dialog(f);
        answer({MsgResult::No, MsgResult::No});
        click(f.get(), "btnAdd");
        QCOMPARE(m_prompter->messages.size(), 3);
        QCOMPARE(m_prompter->messages.at(0).text, t.taken + "\n" + t.addQuestion);
        QCOMPARE(m_prompter->messages.at(0).title, QString("Schedule??"));
        QCOMPARE(m_prompter->messages.at(0).buttons, MsgButtons::YesNo);
        QCOMPARE(m_prompter->messages.at(1).text, t.replaceQuestion);
        QCOMPARE(m_prompter->messages.at(1).title, QString("Schedule??"));
        QCOMPARE(m_prompter->messages.at(2).text, QString("Selection was not scheduled."));
        QCOMPARE(m_prompter->messages.at(2).title, QString("Schedule"));
        QCOMPARE(f->result(), int(QDialog::Rejected));
        QCOMPARE(count("select count(*) from schedule"), 2);

        // Still open: the same press again, now replacing.
        m_prompter->clear();
        answer({MsgResult::No, MsgResult::Yes});
        child<QLineEdit>(f.get(), "OtherText")->setText("new text");
        click(f.get(), "btnAdd");
        QCOMPARE(m_prompter->lastMessage(), QString("Selection was scheduled."));
        QCOMPARE(f->result(), int(QDialog::Accepted));
        QCOMPARE(count("select count(*) from schedule"), 2);
        QSqlQuery q = Db::query("select call, Anthem, Offertory, Benediction, other, collectionid, anthemid "
                                "from schedule where schedid = ?",
                                {first});
        QVERIFY(q.next());
        for (int k = 0; k < 4; ++k)
            QCOMPARE(q.value(k).toInt(), k == slot ? -1 : 0);
        QCOMPARE(q.value(4).toString(), QString("new text"));
        QCOMPARE(q.value(5).toInt(), 0); // the collection of the old entry is gone
        QCOMPARE(q.value(6).toInt(), m_grace);
        QCOMPARE(count("select anthemid from schedule where schedid = ?", {second}), m_vision);

        dialog(f);
        m_prompter->clear();
        answer({MsgResult::Yes});
        click(f.get(), "btnAdd");
        QCOMPARE(m_prompter->messages.size(), 2);
        QCOMPARE(m_prompter->lastMessage(), QString("Selection was scheduled."));
        QCOMPARE(count("select count(*) from schedule where anthemid = ?", {m_grace}), 2);

        // Only the same choir, service time and slot conflict.
        m_prompter->clear();
        dialog(f);
        choose(child<QComboBox>(f.get(), "ChoirCombo"), 1);
        click(f.get(), "btnAdd");
        dialog(f);
        choose(child<QComboBox>(f.get(), "AMPM"), 1);
        click(f.get(), "btnAdd");
        dialog(f);
        child<QRadioButton>(f.get(), QString("optSched%1").arg((slot + 1) % 4))->click();
        click(f.get(), "btnAdd");
        QCOMPARE(m_prompter->messages.size(), 3);
        for (const AskedMessage &m : m_prompter->messages)
            QCOMPARE(m.text, QString("Selection was scheduled."));
        QCOMPARE(count("select count(*) from schedule"), 6);
    }

    // Two choirs of one name: the entry goes to the choir chosen, by its
    // list item, not to the first of that name.
    void choirTakenFromItsItem()
    {
        const qint32 twin = choir("Youth");
        ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
        auto *combo = child<QComboBox>(&f, "ChoirCombo");
        QCOMPARE(combo->itemText(2), QString("Youth"));
        choose(combo, 2);
        QCOMPARE(f.CurChoir(), twin);
        child<DateField>(&f, "SchedDate")->setDate(kSunday);
        click(&f, "btnAdd");
        QCOMPARE(count("select ChoirID from schedule"), twin);
    }

    // An open viewer reloads only for the choir it shows; the change is
    // announced with the choir's id.
    void viewerReloadsForItsChoir()
    {
        ScheduleViewForm viewer;
        QCOMPARE(viewer.CurChoir(), m_chancel);
        QSignalSpy resets(viewer.gridModel(), &QAbstractItemModel::modelReset);
        QSignalSpy announced(&ChangeNotifier::instance(), &ChangeNotifier::scheduleChanged);
        {
            ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
            child<DateField>(&f, "SchedDate")->setDate(kSunday);
            choose(child<QComboBox>(&f, "ChoirCombo"), 1); // Youth
            click(&f, "btnAdd");
        }
        QCOMPARE(resets.size(), 0);
        QCOMPARE(announced.size(), 1);
        QCOMPARE(announced.at(0).at(0).toInt(), m_youth);
        {
            ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
            child<DateField>(&f, "SchedDate")->setDate(kSunday);
            click(&f, "btnAdd");
        }
        QCOMPARE(resets.size(), 1);
        QCOMPARE(viewer.gridModel()->rowCount(), 2);
        QCOMPARE(viewer.gridModel()->text(1, ScheduleGridModel::TitleColumn), QString("Amazing Grace"));
        viewer.close();
    }

    void cancelWritesNothing()
    {
        hx().ScheduleCaller = 2;
        ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
        child<DateField>(&f, "SchedDate")->setDate(kSunday);
        click(&f, "btnCancel");
        QCOMPARE(f.result(), int(QDialog::Rejected));
        QCOMPARE(hx().ScheduleCaller, 0);
        QCOMPARE(count("select count(*) from schedule"), 0);
    }

    // The editors open the registered dialogs with their record; the
    // caller is known while the dialog shows and cleared afterwards.
    void openedFromAnEditor()
    {
        registerScheduleWindows();
        QVERIFY(Forms::isRegistered(ScheduleViewFormCode));
        QString caption;
        int callerWhileShown = -1;
        m_prompter->dialogHandlers.enqueue([&](QDialog &d) {
            callerWhileShown = hx().ScheduleCaller;
            caption = child<QLabel>(&d, "Label1")->text();
            child<DateField>(&d, "SchedDate")->setDate(QDate::currentDate());
            click(&d, "btnAdd");
            return d.result();
        });
        RecordDialogs::openScheduleEntry(ScheduleCaller::Collection, m_carols, "Carols Book");
        QCOMPARE(m_prompter->dialogs, QStringList({"ScheduleForm"}));
        QCOMPARE(callerWhileShown, 1);
        QCOMPARE(caption, QString("Scheduling: Carols Book"));
        QCOMPARE(hx().ScheduleCaller, 0);
        QCOMPARE(count("select collectionid from schedule"), m_carols);

        // No record shown: no dialog.
        RecordDialogs::openScheduleEntry(ScheduleCaller::Anthem, 0, QString());
        RecordDialogs::openPerformedDates(ScheduleCaller::Anthem, 0);
        QCOMPARE(m_prompter->dialogs.size(), 1);
        RecordDialogs::openPerformedDates(ScheduleCaller::Anthem, m_grace);
        QCOMPARE(m_prompter->dialogs.last(), QString("PerformDatesForm"));
    }

    // A write that fails leaves nothing behind and the dialog open.
    void failedWriteKeepsTheDialog()
    {
        Db::exec("create trigger refuse before insert on schedule begin select raise(abort, 'disk full'); end");
        ScheduleForm f(ScheduleCaller::Anthem, m_grace, "Amazing Grace", kToday);
        child<DateField>(&f, "SchedDate")->setDate(kSunday);
        click(&f, "btnAdd");
        QCOMPARE(m_prompter->messages.last().title, QString("Database Error"));
        QCOMPARE(f.result(), int(QDialog::Rejected));
        QCOMPARE(count("select count(*) from schedule"), 0);
    }

private:
    void answer(std::initializer_list<MsgResult> answers)
    {
        for (MsgResult a : answers)
            m_prompter->messageAnswers.enqueue(a);
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    qint32 m_youth = 0, m_chancel = 0, m_grace = 0, m_vision = 0, m_carols = 0;
};

QTEST_MAIN(TestScheduleEntry)
#include "tst_scheduleentry.moc"
