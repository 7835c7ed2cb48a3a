// A database of the previous format (text columns with the program's own
// collation) is converted when it is opened: every row, id and id counter
// kept, the schema's checks, defaults, indexes and triggers in place, the
// name keys filled, and what someone added of their own kept; a
// conversion that cannot finish, for whatever reason, leaves the file as
// it was and nothing beside it.
#include "Db.h"
#include "DbFile.h"
#include "DbFiles.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Rows of every kind, names with letters beyond ASCII among them; the
// last anthem and theme deleted again, so their counters run ahead of the
// highest id left, and the only performed date of a collection too.
bool fillPrevious(sqlite3 *h)
{
    return rawExec(h, "insert into anthem (anthemid, Anthem, Catalog, Memo1, u1, DatePurchased, CostPerCopy, "
                      "NumCopies, collectionid, displayit) values "
                      "(1, 'Zebra', 'Z-1', 'line one\nline two', 'Box 1', '2001-03-15', 12.5, 30, 2, -1),"
                      "(2, 'apple', null, null, null, null, null, null, 0, 0),"
                      "(5, 'Élan', 'É-5', '', 'élan', null, 0, 0, 0, 0),"
                      "(6, 'éclair', null, null, null, null, 1, 2, 0, 0),"
                      "(7, 'Ölberg ''im'' Tal', null, null, null, null, 0, 0, 0, 0),"
                      "(8, null, null, null, null, null, 0, 0, 0, 0),"
                      "(9, 'gone', null, null, null, null, 0, 0, 0, 0);"
                      "delete from anthem where anthemid = 9;"
                      "insert into collection (collectionid, Collection) values (2, 'Hymnal'), (3, 'advent book');"
                      "insert into member (LName, FName, MName, State, CityID) values ('Dvořák', 'antonín', '', 'NY', 1),"
                      " ('bach', 'Johann', 'Sebastian', 'DE', 0);"
                      "insert into themes (themeid, theme, Description) values (1, 'Ökumene', 'together'),"
                      " (2, 'advent', null), (4, 'gone', null);"
                      "delete from themes where themeid = 4;"
                      "insert into composer (composer) values ('Fauré'), ('bach');"
                      "insert into choir (choir, Description, info) values ('Youth', 'young', 'Rehearses Fridays');"
                      "insert into vocals (vocals) values ('SATB'); insert into vocalsm (vocals) values ('alto');"
                      "insert into orchestration (orchestration) values ('Organ');"
                      "insert into city (City) values ('Zürich'); insert into zip (Zip) values ('8001');"
                      "insert into school (School) values ('St. Mary');"
                      "insert into a_th_l values (1, 1), (5, 2); insert into a_com_l values (1, 1);"
                      "insert into chr_m_l values (1, 1, -1);"
                      "insert into schedule (ChoirID, SchedDate, AMPM, Anthem, anthemid) values (1, '2030-01-06', 'AM', -1, 1);"
                      "insert into schednotes values ('2030-01-06', 'AM', 'Epiphany');"
                      "insert into schedinfo values ('General notes', 0);"
                      "insert into a_lperform (Lperform, anthemid, ChoirID) values ('2020-12-24', 1, 1);"
                      "insert into col_lperform (Lperform, collectionid) values ('2019-04-21', 2);"
                      "delete from col_lperform;"
                      "update labels set label1 = 'Publisher' where datatype = 2;");
}

// Every table's rows in id order, as text, without the key columns.
QMap<QString, QStringList> contents(const QString &path)
{
    QMap<QString, QStringList> out;
    RawDb db(path);
    for (const Schema::Table &t : Schema::tables()) {
        QStringList columns;
        for (const QString &c : t.columns) {
            bool isKey = false;
            for (const Db::NameKeyColumn &k : Db::nameKeyColumns())
                isKey = isKey || (t.name == QLatin1String(k.table) && c == QLatin1String(k.keyColumn));
            if (!isKey)
                columns << QStringLiteral("quote(%1)").arg(c);
        }
        out[t.name] = db.column(QStringLiteral("select %1 from %2 order by rowid")
                                    .arg(columns.join(QStringLiteral(" || '|' || ")), t.name));
    }
    return out;
}

// Enough anthems that their copy outgrows SQLite's page cache and a page
// limit of half the file stops it part-way.
bool fillMany(sqlite3 *h)
{
    return fillPrevious(h)
        && rawExec(h, "with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000) "
                      "insert into anthem (Anthem, Memo1) select printf('Anthem %05d', i), printf('%0200d', i) from n");
}

QStringList objectsOf(const QString &path, const QString &type)
{
    RawDb db(path);
    return db.column(QStringLiteral("select name || ': ' || sql from sqlite_master where type = '%1' and sql is not null "
                                    "order by name")
                         .arg(type));
}

} // namespace

class TestDbConvert : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>(false);
        QVERIFY(m_folder->ok());
        m_path = m_folder->file("previous.mdb");
        QFile::remove(m_path);
        m_template = m_folder->file("hxdata97.mdb"); // a new database, for comparison
    }
    void cleanup()
    {
        DbFile::setConversionHook({});
        Db::close();
        m_folder.reset();
    }

    void everyRowIdAndCounterIsKept()
    {
        QVERIFY(writePreviousFormat(m_path, fillPrevious));
        QVERIFY(DbFile::isPreviousFormat(m_path));
        const QMap<QString, QStringList> before = contents(m_path);

        QString error;
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        QVERIFY(!DbFile::isPreviousFormat(m_path));
        Db::close();

        // The schema is the new one, word for word: tables, indexes with
        // their names, triggers; nothing of the collation is left.
        QCOMPARE(objectsOf(m_path, "table"), objectsOf(m_template, "table"));
        QCOMPARE(objectsOf(m_path, "index"), objectsOf(m_template, "index"));
        QCOMPARE(objectsOf(m_path, "trigger"), objectsOf(m_template, "trigger"));
        // Every row as it was, the keys filled, and plain SQLite is content.
        QCOMPARE(contents(m_path), before);
        {
            RawDb raw(m_path);
            QCOMPARE(raw.column("pragma integrity_check"), QStringList({"ok"}));
            QCOMPARE(raw.value("select count(*) from sqlite_master where sql like '%UNOCASE%'"), QString("0"));
            QCOMPARE(raw.value("select count(*) from sqlite_master where name like 'velmora%'"), QString("0"));
        }

        QVERIFY(Db::open(m_path, &error));
        QCOMPARE(Db::scalar("select count(*) from anthem where anthemkey is null").toInt(), 0);
        QCOMPARE(Db::scalar("select anthemkey from anthem where anthemid = 5").toString(), Db::nameKey("Élan"));
        QCOMPARE(Db::scalar("select lnamekey from member where LName = 'Dvořák'").toString(), Db::nameKey("Dvořák"));
        QSqlQuery q = Db::query("select Anthem from anthem order by anthemkey, anthemid");
        QStringList order;
        while (q.next())
            order << q.value(0).toString();
        QCOMPARE(order, QStringList({"", "apple", "éclair", "Élan", "Ölberg 'im' Tal", "Zebra"}));
        // Counters: an id once given out is not given again.
        Db::exec("insert into anthem (Anthem) values ('new')");
        QCOMPARE(Db::lastInsertId(), 10);
        Db::exec("insert into themes (theme) values ('new')");
        QCOMPARE(Db::lastInsertId(), 5);
        Db::exec("insert into col_lperform (Lperform, collectionid) values ('2020-01-01', 2)");
        QCOMPARE(Db::lastInsertId(), 2); // the table was empty, its counter was not
        QCOMPARE(Db::scalar("select count(*) from sqlite_sequence where typeof(seq) <> 'integer'").toInt(), 0);
        // Checks and defaults.
        QVERIFY_THROWS_EXCEPTION(DbError, Db::exec("update anthem set displayit = 1 where anthemid = 1"));
        QVERIFY_THROWS_EXCEPTION(DbError, Db::exec("insert into chr_m_l values (2, 1, 5)"));
        QSqlQuery d = Db::query("select NumCopies, CostPerCopy, collectionid, displayit from anthem where anthemid = 10");
        QVERIFY(d.next());
        QCOMPARE(d.value(0).toInt(), 0);
        QCOMPARE(d.value(1).toDouble(), 0.0);
        QCOMPARE(d.value(2).toInt(), 0);
        QCOMPARE(d.value(3).toInt(), 0);
        // AM and PM still match in any case.
        QCOMPARE(Db::scalar("select count(*) from schedule where AMPM = 'am'").toInt(), 1);
    }

    // What someone added to a table of their own comes along: a column
    // (with its values) and an index.
    void whatOthersAddedIsKept()
    {
        QVERIFY(writePreviousFormat(m_path, [](sqlite3 *h) {
            return fillPrevious(h) && rawExec(h, "alter table anthem add column Shelf INTEGER")
                && rawExec(h, "update anthem set Shelf = anthemid * 10")
                && rawExec(h, "create index anthem_shelf on anthem (Shelf)");
        }));
        QString error;
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        QCOMPARE(Db::scalar("select sum(Shelf) from anthem").toInt(), 10 * (1 + 2 + 5 + 6 + 7 + 8));
        QVERIFY(Db::exists("select 1 from sqlite_master where name = 'anthem_shelf'"));
        QVERIFY(!DbFile::isPreviousFormat(m_path));
    }

    // A conversion that cannot finish says why, once, and only a full disk
    // sends the user to make room; the file is as it was, byte for byte,
    // with nothing beside it, and opens once the cause is gone. Causes:
    // rows that break a rule of the new tables, the disk filling up (a
    // page limit on the building connection stands for it), a view of
    // theirs that the new anthem table's name key makes ambiguous, and a
    // file another tool put in write-ahead log mode (its log would be left
    // lying beside the new file).
    void aFailedConversionChangesNothing_data()
    {
        QTest::addColumn<int>("cause");
        QTest::addColumn<QString>("said");
        QTest::newRow("data") << 0 << "CHECK constraint failed";
        QTest::newRow("disk full") << 1 << "room on the disk";
        QTest::newRow("their view") << 2 << "view \"anthem_sorted\"";
        QTest::newRow("write-ahead log") << 3 << "journal_mode = DELETE";
    }
    void aFailedConversionChangesNothing()
    {
        QFETCH(int, cause);
        QFETCH(QString, said);
        const std::function<bool(sqlite3 *)> fills[] = {
            [](sqlite3 *h) {
                return fillPrevious(h) && rawExec(h, "pragma ignore_check_constraints = on")
                    && rawExec(h, "update anthem set displayit = 7 where anthemid = 2");
            },
            fillMany,
            [](sqlite3 *h) {
                return fillPrevious(h)
                    && rawExec(h, "create table sortnames (anthemid integer, anthemkey text);"
                                  "create view anthem_sorted as select Anthem from anthem join sortnames "
                                  "  using (anthemid) order by anthemkey;"
                                  "select * from anthem_sorted;");
            },
            fillPrevious};
        QVERIFY(writePreviousFormat(m_path, fills[cause]));
        if (cause == 3)
            QCOMPARE(RawDb(m_path).value("pragma journal_mode = wal"), QString("wal"));
        const int pages = RawDb(m_path).value("pragma page_count").toInt();
        if (cause == 1)
            DbFile::setConversionHook([pages](sqlite3 *h) {
                rawExec(h, QByteArray("pragma max_page_count = ").append(QByteArray::number(pages / 2)).constData());
            });
        const QByteArray before = fileHash(m_path);
        const QStringList beside = filesBeside();
        QString error;
        QVERIFY(!Db::open(m_path, &error));
        QVERIFY(!Db::isOpen());
        QVERIFY2(error.contains("earlier version") && error.contains("Nothing in it has been changed")
                     && error.contains(said) && error.contains("room on the disk") == (cause == 1),
                 qPrintable(error));
        QCOMPARE(fileHash(m_path), before);
        QCOMPARE(filesBeside(), beside);
        QVERIFY(DbFile::isPreviousFormat(m_path));
        if (cause != 1)
            return;
        DbFile::setConversionHook({});
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        QCOMPARE(Db::scalar("select count(*) from anthem").toInt(), 20006);
        QCOMPARE(filesBeside(), beside);
    }

    // What someone made of their own with another tool comes through and
    // works, with plain SQLite too: a view on anthem, a trigger on anthem,
    // a trigger on a table of theirs that writes anthem, an index of
    // theirs, and their table's rows.
    void theirViewsTriggersAndIndexesComeThrough()
    {
        QVERIFY(writePreviousFormat(m_path, [](sqlite3 *h) {
            return fillPrevious(h)
                && rawExec(h, "create table wishes (wishid integer primary key autoincrement, title text collate unocase);"
                              "create table added (anthemid integer, title text);"
                              "insert into wishes (title) values ('Psalm 23');"
                              "create index wishes_title on wishes (title);"
                              "create view anthem_titles as select anthemid, Anthem from anthem "
                              "  order by Anthem collate unocase;"
                              "create trigger anthem_added after insert on anthem "
                              "  begin insert into added values (new.anthemid, new.Anthem); end;"
                              "create trigger wish_granted after insert on wishes "
                              "  begin insert into anthem (Anthem) values (new.title); end;");
        }));
        QString error;
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        Db::close();

        RawDb raw(m_path);
        QCOMPARE(raw.column("pragma integrity_check"), QStringList({"ok"}));
        QCOMPARE(raw.value("select count(*) from sqlite_master where sql like '%UNOCASE%'"), QString("0"));
        QCOMPARE(raw.value("select count(*) from anthem_titles"), QString("6"));
        QCOMPARE(raw.value("select count(*) from wishes indexed by wishes_title where title = 'Psalm 23'"), QString("1"));
        // One row into their table: its trigger writes an anthem, and the
        // trigger on anthem sees that.
        QVERIFY(raw.exec("insert into wishes (title) values ('Magnificat')"));
        QCOMPARE(raw.value("select count(*) from anthem where Anthem = 'Magnificat'"), QString("1"));
        QCOMPARE(raw.column("select title from added"), QStringList({"Magnificat"}));
        QCOMPARE(raw.value("select max(wishid) from wishes"), QString("2"));
    }

    // The program killed in the middle of a conversion (a child process
    // kills itself while the anthems are copied): the file is as it was,
    // with no journal; the next start removes what the stopped one left
    // and converts it.
    void aKilledConversionChangesNothing()
    {
        QVERIFY(writePreviousFormat(m_path, fillMany));
        const QByteArray before = fileHash(m_path);
        const QStringList beside = filesBeside();
        Schema::tables(); // built here: the child has only this thread
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            alarm(60); // a child that never reaches the kill stops all the same
            DbFile::setConversionHook([](sqlite3 *h) {
                sqlite3_update_hook(
                    h,
                    [](void *, int, const char *, const char *table, sqlite3_int64 rowid) {
                        if (qstrcmp(table, "anthem") == 0 && rowid == 15000)
                            raise(SIGKILL);
                    },
                    nullptr);
            });
            DbFile::prepare(m_path, DbFile::PageCheck::Skip);
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, qPrintable(QString::number(status)));
        QCOMPARE(fileHash(m_path), before);
        QVERIFY(!QFile::exists(m_path + "-journal"));
        QVERIFY(filesBeside() != beside); // what the stopped conversion left

        QString error;
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        QVERIFY(!DbFile::isPreviousFormat(m_path));
        QCOMPARE(Db::scalar("select count(*) from anthem").toInt(), 20006);
        QCOMPARE(filesBeside(), beside);
    }

    // Only a whole and sound file is converted: one that lacks a table or
    // has a damaged page is refused before anything is written.
    void onlyACompleteAndSoundFileIsConverted()
    {
        QVERIFY(writePreviousFormat(m_path, [](sqlite3 *h) { return fillPrevious(h) && rawExec(h, "drop table schedinfo"); }));
        QByteArray before = fileHash(m_path);
        QString error;
        QVERIFY(!Db::open(m_path, &error));
        QVERIFY2(error.contains("not a complete database") && error.contains("(missing: the table schedinfo)"),
                 qPrintable(error));
        QCOMPARE(fileHash(m_path), before);

        QFile::remove(m_path);
        QVERIFY(writePreviousFormat(m_path, fillPrevious));
        QVERIFY(damageTreeOf(m_path, "anthem_displayit"));
        before = fileHash(m_path);
        QVERIFY(!Db::open(m_path, &error));
        QVERIFY2(error.contains("is damaged"), qPrintable(error));
        QCOMPARE(fileHash(m_path), before);
    }

    // Another program writing to the file: the conversion waits its turn
    // and is not started while the file is in use.
    void aFileInUseIsNotConverted()
    {
        QVERIFY(writePreviousFormat(m_path, fillPrevious));
        ForeignLock lock(m_path, false);
        QVERIFY(lock.ok());
        QString error;
        QVERIFY(!Db::open(m_path, &error));
        QVERIFY2(error.contains("in use by another program"), qPrintable(error));
        lock.release();
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        QVERIFY(!DbFile::isPreviousFormat(m_path));
    }

private:
    // The files in the database's folder.
    QStringList filesBeside() const
    {
        return QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    QString m_path;
    QString m_template;
};

QTEST_MAIN(TestDbConvert)
#include "tst_dbconvert.moc"
