// The past-schedule archive run at the first activation.
#include "ArchivePastSchedule.h"
#include "Db.h"
#include "Fmt.h"
#include "TestSupport.h"

#include <QtTest>

namespace {

void schedule(const QDate &d, const QString &ampm, int choir, QVariant collection, QVariant anthem,
              const QString &other = QString())
{
    Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, Anthem, other, collectionid, anthemid) "
             "values (?, ?, ?, -1, ?, ?, ?)",
             {choir, Fmt::dateToDb(d), ampm, other, collection, anthem});
}

void note(const QDate &d, const QString &ampm)
{
    Db::exec("insert into schednotes (SchedDate, AMPM, notes) values (?, ?, 'n')", {Fmt::dateToDb(d), ampm});
}

using testdb::count;

} // namespace

class TestArchive : public QObject {
    Q_OBJECT
private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); QVERIFY(m_folder->ok()); }
    void cleanup() { m_folder.reset(); }

    void pastEntriesBecomePerformedDates()
    {
        const QDate today(2026, 12, 8);
        schedule(today.addDays(-7), "AM", 2, 5, QVariant());      // collection
        schedule(today.addDays(-7), "PM", 3, QVariant(), 9);      // anthem
        schedule(today.addDays(-7), "PM", 0, 6, 10);              // both, no choir
        schedule(today.addDays(-3), "AM", 2, QVariant(), QVariant(), "Bell choir visits"); // other only
        schedule(today.addDays(-3), "AM", 4, 0, 9);               // the same anthem again
        schedule(today, "AM", 2, QVariant(), 11);                 // today stays
        schedule(today.addDays(1), "AM", 2, QVariant(), 12);      // future stays
        note(today.addDays(-7), "AM");
        note(today.addDays(-7), "PM");
        note(today.addDays(-3), "PM");
        note(today.addDays(-20), "AM"); // a past date without entries keeps its notes
        note(today, "AM");

        ArchivePastSchedule(today);

        QCOMPARE(count("select count(*) from schedule"), 2);
        QCOMPARE(count("select count(*) from schedule where SchedDate < ?", {Fmt::dateToDb(today)}), 0);
        QCOMPARE(count("select count(*) from col_lperform"), 2);
        QCOMPARE(count("select count(*) from col_lperform where collectionid = 5 and ChoirID = 2 and Lperform = ?",
                       {Fmt::dateToDb(today.addDays(-7))}), 1);
        QCOMPARE(count("select count(*) from col_lperform where collectionid = 6 and ChoirID = 0"), 1);
        // No duplicate test: anthem 9 twice, each with its entry's choir.
        QCOMPARE(count("select count(*) from a_lperform where anthemid = 9"), 2);
        QCOMPARE(count("select count(*) from a_lperform where anthemid = 9 and ChoirID = 4"), 1);
        QCOMPARE(count("select count(*) from a_lperform where anthemid = 10"), 1);
        QCOMPARE(count("select count(*) from a_lperform where other is not null"), 0);
        QCOMPARE(count("select count(*) from schednotes"), 2);
        QCOMPARE(count("select count(*) from schednotes where SchedDate = ?", {Fmt::dateToDb(today)}), 1);
        QCOMPARE(count("select count(*) from schednotes where SchedDate = ?", {Fmt::dateToDb(today.addDays(-20))}), 1);

        // A second run on the same day finds nothing to do.
        ArchivePastSchedule(today);
        QCOMPARE(count("select count(*) from a_lperform"), 3);
    }

    void aFailureLeavesEverythingAsItWas()
    {
        const QDate today(2026, 12, 8);
        schedule(today.addDays(-1), "AM", 1, 3, 4);
        note(today.addDays(-1), "AM");
        Db::exec("drop table a_lperform");
        QVERIFY_THROWS_EXCEPTION(DbError, ArchivePastSchedule(today));
        QCOMPARE(count("select count(*) from schedule"), 1);
        QCOMPARE(count("select count(*) from col_lperform"), 0);
        QCOMPARE(count("select count(*) from schednotes"), 1);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestArchive)
#include "tst_archive.moc"
