// Deleting an anthem with everything that refers to it.
#include "DeleteAnthemCascade.h"
#include "Db.h"
#include "TestSupport.h"

#include <QtTest>

namespace {

using testdb::count;

qint32 addAnthem(const QString &title)
{
    Db::exec("insert into anthem (Anthem) values (?)", {title});
    return qint32(Db::lastInsertId());
}

void link(qint32 anthem)
{
    for (const char *t : {"a_chr_l (anthemid, choirid)", "a_th_l (anthemid, themeid)", "a_orch_l (anthemid, orchid)",
                          "a_com_l (anthemid, composerid)", "a_v_l (anthemid, vocalsid)"})
        Db::exec(QStringLiteral("insert into %1 values (?, 1)").arg(QLatin1String(t)), {anthem});
    Db::exec("insert into a_lperform (Lperform, anthemid, ChoirID) values ('2001-03-15', ?, 1)", {anthem});
}

void schedule(qint32 anthem, const QString &date, const QString &ampm, int choir = 1)
{
    Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, Anthem, anthemid) values (?, ?, ?, -1, ?)",
             {choir, date, ampm, anthem});
}

void note(const QString &date, const QString &ampm)
{
    Db::exec("insert into schednotes (SchedDate, AMPM, notes) values (?, ?, 'robes')", {date, ampm});
}

} // namespace

class TestCascade : public QObject {
    Q_OBJECT
private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); QVERIFY(m_folder->ok()); }
    void cleanup() { m_folder.reset(); }

    void removesEverythingThatRefersToTheAnthem()
    {
        const qint32 gone = addAnthem("Gone");
        const qint32 kept = addAnthem("Kept");
        link(gone);
        link(kept);
        schedule(gone, "2027-01-03", "AM");
        schedule(gone, "2027-01-03", "PM"); // twice on one date
        schedule(gone, "2027-01-10", "AM");
        schedule(kept, "2027-01-10", "PM", 2); // another choir still sings that date
        // Rows another tool left without a date (Null) or with an empty one.
        Db::exec("insert into schedule (ChoirID, AMPM, Anthem, anthemid) values (1, 'AM', -1, ?)", {gone});
        schedule(gone, "", "PM");
        Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, call, other) values (3, '2027-01-17', 'AM', -1, 'Bells')");
        note("2027-01-03", "AM");
        note("2027-01-03", "PM");
        note("2027-01-10", "AM");
        note("2027-01-17", "AM");

        DeleteAnthemCascade(gone);

        QCOMPARE(count("select count(*) from anthem where anthemid = ?", {gone}), 0);
        for (const char *t : {"a_chr_l", "a_th_l", "a_orch_l", "a_com_l", "a_v_l", "a_lperform"}) {
            QCOMPARE(count(QStringLiteral("select count(*) from %1 where anthemid = ?").arg(t), {gone}), 0);
            QCOMPARE(count(QStringLiteral("select count(*) from %1 where anthemid = ?").arg(t), {kept}), 1);
        }
        QCOMPARE(count("select count(*) from schedule where anthemid = ?", {gone}), 0);
        QCOMPARE(count("select count(*) from schedule"), 2);
        // The date left empty loses both services' notes; the others keep theirs.
        QCOMPARE(count("select count(*) from schednotes where SchedDate = '2027-01-03'"), 0);
        QCOMPARE(count("select count(*) from schednotes where SchedDate = '2027-01-10'"), 1);
        QCOMPARE(count("select count(*) from schednotes where SchedDate = '2027-01-17'"), 1);
    }

    void anAnthemWithNothingElseOrNoAnthemAtAll()
    {
        const qint32 lone = addAnthem("Lone");
        DeleteAnthemCascade(lone);
        QCOMPARE(count("select count(*) from anthem"), 0);
        DeleteAnthemCascade(12345); // deletes nothing, fails nothing
    }

    void aFailureDeletesNothing()
    {
        const qint32 a = addAnthem("Safe");
        link(a);
        schedule(a, "2027-02-07", "AM");
        note("2027-02-07", "AM");
        Db::exec("drop table schednotes");
        QVERIFY_THROWS_EXCEPTION(DbError, DeleteAnthemCascade(a));
        QCOMPARE(count("select count(*) from anthem"), 1);
        QCOMPARE(count("select count(*) from a_th_l"), 1);
        QCOMPARE(count("select count(*) from schedule"), 1);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestCascade)
#include "tst_cascade.moc"
