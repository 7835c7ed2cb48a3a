// Deleting a collection with its anthems: everything that belongs to it
// goes, the notes of a date go once nothing is scheduled there, and a
// failure anywhere leaves the database as it was.
#include "CollectionTestUtil.h"
#include "DeleteCollectionCascade.h"

using namespace coltest;

namespace {

void schedule(const QString &date, const QString &ampm, int choir, qint32 collection, qint32 anthem,
              const QString &other = QString())
{
    Db::exec("insert into schedule (ChoirID, SchedDate, AMPM, Anthem, collectionid, anthemid, other) "
             "values (?, ?, ?, -1, ?, ?, ?)",
             {choir, date, ampm, collection, anthem, other.isEmpty() ? QVariant() : QVariant(other)});
}

void note(const QString &date, const QString &ampm)
{
    Db::exec("insert into schednotes (SchedDate, AMPM, notes) values (?, ?, 'robes')", {date, ampm});
}

int notesOn(const QString &date)
{
    return count("select count(*) from schednotes where SchedDate = ?", {date});
}

// Row counts of every table, to show that a failed delete changed nothing.
QMap<QString, int> snapshot()
{
    QMap<QString, int> out;
    QStringList tables;
    {
        QSqlQuery q = Db::query("select name from sqlite_master where type = 'table' and name not like 'sqlite%'");
        while (q.next())
            tables << q.value(0).toString();
    }
    for (const QString &t : tables)
        out.insert(t, count(QStringLiteral("select count(*) from %1").arg(t)));
    return out;
}

} // namespace

class TestCollectionDelete : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_lib.create();
        // The collection's own entries: both services of one date.
        schedule("2027-01-03", "AM", 1, m_lib.carols, 0);
        schedule("2027-01-03", "PM", 2, m_lib.carols, 0);
        // Its anthems: one date alone, one shared with another collection's
        // anthem, one shared with free text of another choir.
        schedule("2027-01-10", "AM", 1, 0, m_lib.joy);
        schedule("2027-01-17", "AM", 1, 0, m_lib.amazing);
        schedule("2027-01-17", "PM", 2, 0, m_lib.christ);
        schedule("2027-01-24", "AM", 1, m_lib.carols, 0);
        schedule("2027-01-24", "AM", 1, 0, m_lib.holyNight);
        schedule("2027-01-31", "AM", 1, 0, m_lib.holyNight);
        schedule("2027-01-31", "PM", 3, 0, 0, "Bells");
        // Another collection's entry on a date of its own; a loose anthem's.
        schedule("2027-02-07", "AM", 1, m_lib.easterBook, 0);
        schedule("2027-02-14", "AM", 1, 0, m_lib.loose);
        // Rows another tool left without a date: one of the collection, one
        // of an anthem of it.
        Db::exec("insert into schedule (ChoirID, AMPM, Anthem, collectionid, anthemid) values (1, 'AM', -1, ?, 0), "
                 "(1, 'PM', -1, 0, ?)",
                 {m_lib.carols, m_lib.joy});
        for (const char *d : {"2027-01-03", "2027-01-10", "2027-01-17", "2027-01-24", "2027-01-31", "2027-02-07",
                              "2027-02-14", "2027-02-21"}) {
            note(d, "AM");
            note(d, "PM");
        }
        Db::exec("insert into a_lperform (Lperform, anthemid) values ('2001-01-01', ?)", {m_lib.christ});
    }
    void cleanup() { m_folder.reset(); }

    void everythingOfTheCollectionGoes()
    {
        QList<qint32> gone = DeleteCollectionCascade(m_lib.carols);
        std::sort(gone.begin(), gone.end());
        QCOMPARE(gone, (QList<qint32>{m_lib.joy, m_lib.amazing, m_lib.holyNight}));

        QCOMPARE(count("select count(*) from collection where collectionid = ?", {m_lib.carols}), 0);
        for (const char *t : {"col_chr_l", "col_th_l", "col_orch_l", "col_com_l", "col_v_l", "col_lperform"})
            QCOMPARE(count(QStringLiteral("select count(*) from %1 where collectionid = ?").arg(t), {m_lib.carols}), 0);
        QCOMPARE(count("select count(*) from anthem where collectionid = ?", {m_lib.carols}), 0);
        for (const char *t : {"a_chr_l", "a_th_l", "a_orch_l", "a_com_l", "a_v_l", "a_lperform"})
            QCOMPARE(count(QStringLiteral("select count(*) from %1 where anthemid in (?, ?, ?)").arg(t),
                           {m_lib.joy, m_lib.amazing, m_lib.holyNight}),
                     0);
        QCOMPARE(count("select count(*) from schedule where collectionid = ? or anthemid in (?, ?, ?)",
                       {m_lib.carols, m_lib.joy, m_lib.amazing, m_lib.holyNight}),
                 0);

        // Everything else stays: the other collections, their anthems and
        // links, the loose anthem, the other entries.
        QCOMPARE(count("select count(*) from collection"), 2);
        QCOMPARE(count("select count(*) from anthem"), 2);
        QCOMPARE(count("select count(*) from col_th_l where collectionid = ?", {m_lib.easterBook}), 1);
        QCOMPARE(count("select count(*) from a_th_l where anthemid = ?", {m_lib.christ}), 1);
        QCOMPARE(count("select count(*) from a_lperform where anthemid = ?", {m_lib.christ}), 1);
        QCOMPARE(count("select count(*) from schedule"), 4);

        // Dates left without any entry lose the notes of both services;
        // a date with an entry of any choir keeps them.
        for (const char *d : {"2027-01-03", "2027-01-10", "2027-01-24"})
            QVERIFY2(notesOn(d) == 0, d);
        for (const char *d : {"2027-01-17", "2027-01-31", "2027-02-07", "2027-02-14", "2027-02-21"})
            QVERIFY2(notesOn(d) == 2, d);
    }

    void aCollectionWithoutAnythingOrNoCollectionAtAll()
    {
        QVERIFY(DeleteCollectionCascade(m_lib.hymnal).isEmpty());
        QCOMPARE(count("select count(*) from collection"), 2);
        const auto before = snapshot();
        QVERIFY(DeleteCollectionCascade(12345).isEmpty());
        // Id 0 is what anthems and entries outside every collection carry:
        // it must never reach them.
        QVERIFY(DeleteCollectionCascade(0).isEmpty());
        QVERIFY(DeleteCollectionCascade(-1).isEmpty());
        QCOMPARE(snapshot(), before);
    }

    void aFailureInsideAnAnthemsCascadeUndoesEverything()
    {
        const auto before = snapshot();
        // The second anthem cannot be deleted, after the collection's own
        // rows and the first anthem already went.
        Db::exec(QStringLiteral("create temp trigger keep_anthem before delete on main.anthem "
                                "when old.anthemid = %1 begin select raise(abort, 'anthem is locked'); end")
                     .arg(m_lib.holyNight));
        try {
            DeleteCollectionCascade(m_lib.carols);
            QFAIL("the delete went through");
        } catch (const DbError &e) {
            QVERIFY(e.message().contains("anthem is locked"));
        }
        QCOMPARE(snapshot(), before);
        Db::exec("drop trigger temp.keep_anthem");

        // The last step fails: the anthems' cascades are undone too.
        Db::exec("create temp trigger keep_entries before delete on main.schedule "
                 "when old.collectionid > 0 begin select raise(abort, 'schedule is locked'); end");
        QVERIFY_THROWS_EXCEPTION(DbError, DeleteCollectionCascade(m_lib.carols));
        QCOMPARE(snapshot(), before);
        Db::exec("drop trigger temp.keep_entries");

        // And once nothing is in the way, it goes.
        DeleteCollectionCascade(m_lib.carols);
        QCOMPARE(count("select count(*) from anthem"), 2);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    Library m_lib;
};

QTEST_MAIN(TestCollectionDelete)
#include "tst_collectiondelete.moc"
