// The rules of the service notes: when they are read, stored and dropped;
// and the schedule information text for all choirs.
#include "Db.h"
#include "Fmt.h"
#include "ScheduleInfo.h"
#include "ScheduleNotes.h"
#include "TestSupport.h"

#include <QtTest>

namespace {

const QDate kDay(2027, 3, 7);

void entry(const QDate &d, const QString &ampm, int choir)
{
    Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, Anthem) values (?, ?, ?, -1)",
             {choir, Fmt::dateToDb(d), ampm});
}

void note(const QDate &d, const QString &ampm, const QVariant &text)
{
    Db::exec("insert into schednotes (SchedDate, AMPM, notes) values (?, ?, ?)", {Fmt::dateToDb(d), ampm, text});
}

int notesOf(const QDate &d, const QString &ampm = QString())
{
    if (ampm.isEmpty())
        return Db::scalar("select count(*) from schednotes where SchedDate = ?", {Fmt::dateToDb(d)}).toInt();
    return Db::scalar("select count(*) from schednotes where SchedDate = ? and AMPM = ?", {Fmt::dateToDb(d), ampm})
        .toInt();
}

} // namespace

class TestScheduleNotes : public QObject {
    Q_OBJECT
private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); QVERIFY(m_folder->ok()); }
    void cleanup() { m_folder.reset(); }

    void readAndStore()
    {
        QCOMPARE(ScheduleNotes::text(kDay, "AM"), QString());
        QVERIFY(!ScheduleNotes::exists(kDay, "AM"));
        // An empty answer is stored as an empty text, and the row stays.
        ScheduleNotes::store(kDay, "AM", QString());
        QVERIFY(ScheduleNotes::exists(kDay, "AM"));
        QCOMPARE(Db::scalar("select notes from schednotes").toString(), QString(""));
        QVERIFY(!Db::scalar("select notes from schednotes").isNull());
        ScheduleNotes::store(kDay, "AM", "Robes: red; stoles | white");
        QCOMPARE(notesOf(kDay), 1);
        QCOMPARE(ScheduleNotes::text(kDay, "AM"), QString("Robes: red; stoles | white"));
        // Notes belong to their service only; AM/PM compares without case.
        QCOMPARE(ScheduleNotes::text(kDay, "PM"), QString());
        QCOMPARE(ScheduleNotes::text(kDay, "am"), QString("Robes: red; stoles | white"));
        // Of several rows of a service the first one counts and is edited.
        note(kDay, "PM", QVariant());
        note(kDay, "PM", "second");
        QCOMPARE(ScheduleNotes::text(kDay, "PM"), QString());
        ScheduleNotes::store(kDay, "PM", "first");
        QCOMPARE(ScheduleNotes::text(kDay, "PM"), QString("first"));
        QCOMPARE(notesOf(kDay, "PM"), 2);
    }

    // The viewer's delete: a service keeps its notes while any choir has
    // an entry in it; the other service of the date is not concerned.
    void perService()
    {
        entry(kDay, "AM", 1);
        note(kDay, "AM", "a");
        note(kDay, "PM", "p");
        QVERIFY(!ScheduleNotes::dropIfServiceEmpty(kDay, "AM"));
        QCOMPARE(notesOf(kDay, "AM"), 1);
        Db::exec("delete from schedule");
        entry(kDay, "PM", 2);
        QVERIFY(ScheduleNotes::dropIfServiceEmpty(kDay, "AM"));
        QCOMPARE(notesOf(kDay, "AM"), 0);
        QCOMPARE(notesOf(kDay, "PM"), 1);
    }

    // The anthem and collection deletions: a date keeps its notes, AM and
    // PM, while it has any entry; then both go.
    void perDate()
    {
        entry(kDay, "PM", 3);
        note(kDay, "AM", "a");
        note(kDay, "PM", "p");
        note(kDay.addDays(7), "AM", "next week");
        QVERIFY(!ScheduleNotes::dropIfDateEmpty(kDay));
        QCOMPARE(notesOf(kDay), 2);
        Db::exec("delete from schedule");
        QVERIFY(ScheduleNotes::dropIfDateEmpty(kDay));
        QCOMPARE(notesOf(kDay), 0);
        QCOMPARE(notesOf(kDay.addDays(7)), 1);
    }

    // The archive: every date with entries before today loses its notes,
    // AM and PM; today, later dates and past dates without entries keep
    // theirs.
    void archivedDates()
    {
        const QDate today(2027, 3, 14);
        entry(today.addDays(-7), "AM", 1);
        entry(today.addDays(-1), "PM", 2);
        entry(today, "AM", 1);
        note(today.addDays(-7), "AM", "x");
        note(today.addDays(-7), "PM", "x");
        note(today.addDays(-1), "AM", "x");
        note(today.addDays(-30), "AM", "no entries");
        note(today, "AM", "today");
        note(today.addDays(7), "AM", "later");
        ScheduleNotes::dropForArchivedDates(today);
        QCOMPARE(notesOf(today.addDays(-7)), 0);
        QCOMPARE(notesOf(today.addDays(-1)), 0);
        QCOMPARE(notesOf(today.addDays(-30)), 1);
        QCOMPARE(notesOf(today), 1);
        QCOMPARE(notesOf(today.addDays(7)), 1);
    }

    // The information text for all choirs: read from the first row, stored
    // in the row of choir 0, which is added once.
    void scheduleInformation()
    {
        QCOMPARE(ScheduleInfo::text(), QString());
        ScheduleInfo::store(QString());
        QCOMPARE(Db::scalar("select count(*) from schedinfo where ChoirID = 0 and info = ''").toInt(), 1);
        ScheduleInfo::store("Robes by 9:30\nCoffee after");
        QCOMPARE(Db::scalar("select count(*) from schedinfo").toInt(), 1);
        QCOMPARE(ScheduleInfo::text(), QString("Robes by 9:30\nCoffee after"));
        Db::exec("update schedinfo set info = null");
        QCOMPARE(ScheduleInfo::text(), QString());
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestScheduleNotes)
#include "tst_schedulenotes.moc"
