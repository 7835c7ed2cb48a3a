// A database of the previous format (text columns with the program's own
// collation) is converted when it is opened: every row, id and id counter
// kept, the schema's checks, defaults, indexes and triggers in place, the
// name keys filled, and what someone added of their own kept; a
// conversion that cannot finish, for whatever reason (a kill among them),
// leaves the file as it was and nothing beside it.
#include "Db.h"
#include "DbFile.h"
#include "DbFiles.h"
#include "Schema.h"
#include "SqlText.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
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

// Every column of the program's tables as SQLite declares it: name,
// type, not null, default, key, collation.
QStringList columnsOf(const QString &path)
{
    RawDb db(path);
    QStringList out;
    for (const Schema::Table &t : Schema::tables()) {
        for (const QString &c : db.column(QStringLiteral("select name || ' ' || type || ' ' || \"notnull\" || ' ' || "
                                                         "ifnull(dflt_value, '-') || ' ' || pk from pragma_table_xinfo('%1')")
                                              .arg(t.name))) {
            const char *collation = nullptr;
            sqlite3_table_column_metadata(db.handle(), "main", t.name.toUtf8().constData(),
                                          c.section(' ', 0, 0).toUtf8().constData(), nullptr, &collation, nullptr,
                                          nullptr, nullptr);
            out << t.name + '.' + c + ' ' + QString::fromUtf8(collation ? collation : "?");
        }
    }
    return out;
}

QStringList objectsOf(const QString &path, const QString &type)
{
    RawDb db(path);
    return db.column(QStringLiteral("select name || ': ' || sql from sqlite_master where type = '%1' and sql is not null "
                                    "order by name")
                         .arg(type));
}


// What someone made of their own with other tools, one kind of object or
// value to a row. "[[...]]" marks what the file of the previous format
// holds and the converted file must not: the old collation, however it
// is written ("[[old|new]]" where something stands in its place). The
// rest must come through byte for byte.
const char *const kTheirs[] = {
    // A trigger may share its name with a table or a view.
    "create table anthem_log (anthemid integer, title text[[ COLLATE UNOCASE]])",
    "create trigger anthem_log after insert on anthem begin insert into anthem_log values (new.anthemid, new.Anthem); end",
    "create view anthem_edit as select anthemid, Anthem as title from anthem",
    "create trigger anthem_edit instead of update on anthem_edit begin "
    "update anthem set Anthem = new.title where anthemid = old.anthemid; end",
    // SQLite's own upper(), in an index, a generated column and a check.
    "create table people (id integer primary key, name text)",
    "create index people_upper on people (upper(name))",
    "insert into people (name) values ('élise'), ('Ölberg'), ('bob')",
    "create table streets (b text, u text generated always as (upper(b)) stored)",
    "insert into streets (b) values ('straße')",
    "create table shout (c text check (c = upper(c)))",
    "insert into shout values ('éTé')",
    // Columns added to the program's tables, with their constraints.
    "alter table anthem add column Shelf integer not null default 0 check (Shelf >= 0)",
    "alter table anthem add column Odd \"x DEFAULT 7\"",
    "alter table member add column Nick text[[ COLLATE UNOCASE]]",
    // The words in a string, and the collation written other ways.
    "create view sort_hint as select 'sort with COLLATE UNOCASE please' as hint",
    "create table hints (h text default 'keep COLLATE UNOCASE here'[[ collate /* old */ unocase| /* old */]], "
    "g text[[ collate\"unocase\"]], k text check (k <> ''[[collate [UNOCASE]]]))",
    "insert into hints (g, k) values ('x', 'y')",
    "create view members_sorted as select LName from member order by LName[[ collate unocase]]",
    // Tables of every kind, their indexes and counters.
    "create table shelfmarks (mark text primary key[[ COLLATE UNOCASE]], place text) without rowid",
    "insert into shelfmarks values ('b', '1'), ('A', '2'), ('c', '3'), ('Z', '4'), ('é', '5')",
    "create table loans (loanid integer primary key autoincrement, who text[[ COLLATE UNOCASE]])",
    "insert into loans (who) values ('Ann'), ('bob'), ('Cy')",
    "delete from loans where loanid = 3",
    "create index loans_who on loans (who[[ collate unocase]])",
    "create index loans_late on loans (who) where who[[ collate unocase]] > 'b'",
    "create virtual table notes_fts using fts5(body)",
    "insert into notes_fts values ('Magnificat in D'), ('Nunc dimittis')",
    "create view titles as select Anthem from anthem",
    "create view titles_z as select * from titles where Anthem like 'Z%'",
    "create table \"Ünïcödé \"\"tåble\"\"\" (\"wêird col\" text[[ COLLATE UNOCASE]], [b c] text)",
    "create index \"idx Ünï\" on \"Ünïcödé \"\"tåble\"\"\" (\"wêird col\")",
    "insert into \"Ünïcödé \"\"tåble\"\"\" values ('Ölberg', 'x'), ('apple', 'y')",
    // Words that must not run together where the clause goes, and text
    // that is not UTF-8.
    "create table tight (a text[[ COLLATE \"UNOCASE\"| ]]NOT NULL, b[[ collate [unocase]| ]]UNIQUE)",
    "create table latin (x text[[ COLLATE UNOCASE]] default 'caf\xe9', y check (y <> 'caf\xe9'))",
    "insert into latin (y) values ('tea')",
};

// A statement of kTheirs as the previous format holds it, or without
// what it must lose.
QByteArray theirs(const char *sql, bool previous)
{
    QByteArray out;
    const QByteArray text(sql);
    qsizetype at = 0;
    for (qsizetype open; (open = text.indexOf("[[", at)) >= 0;) {
        // "]]]" closes after a name in brackets.
        qsizetype close = text.indexOf("]]", open + 2);
        if (text.mid(close, 3) == "]]]")
            ++close;
        const QByteArray marked = text.mid(open + 2, close - open - 2);
        const qsizetype bar = marked.indexOf('|');
        out += text.mid(at, open - at);
        out += previous ? marked.left(bar < 0 ? marked.size() : bar) : bar < 0 ? QByteArray() : marked.mid(bar + 1);
        at = close + 2;
    }
    return out + text.mid(at);
}

// The objects not of the program's schema, as SQLite keeps them.
QStringList objectsNotOurs(RawDb &db)
{
    QStringList ours;
    for (const Schema::Table &t : Schema::tables())
        ours << t.name << t.indexNames << t.triggerNames;
    QStringList out;
    for (const QString &o : db.column("select type || ' ' || name || ' ' || tbl_name || ': ' || ifnull(sql, '') || ' ' "
                                      "|| hex(sql) from sqlite_master order by type, name"))
        if (!ours.contains(o.section(' ', 1, 1)))
            out << o;
    return out;
}

// Every row of a table, each value with its type, in a fixed order.
QStringList rowsOf(sqlite3 *h, const QString &table)
{
    QStringList rows;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(h, QStringLiteral("select * from \"%1\"").arg(QString(table).replace('"', "\"\"")).toUtf8(), -1,
                           &st, nullptr)
        != SQLITE_OK)
        return {QStringLiteral("<%1>").arg(QString::fromUtf8(sqlite3_errmsg(h)))};
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            row << QString::number(sqlite3_column_type(st, i)) + ':'
                    + QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
        rows << row.join('|');
    }
    sqlite3_finalize(st);
    rows.sort();
    return rows;
}

QStringList settingsOf(RawDb &db)
{
    QStringList out;
    for (const char *pragma : {"page_size", "auto_vacuum", "user_version", "application_id", "encoding"})
        out << db.value(QStringLiteral("pragma %1").arg(pragma));
    return out;
}

bool isProgramTable(const QString &name)
{
    for (const Schema::Table &t : Schema::tables())
        if (t.name == name)
            return true;
    return false;
}

// A file of the user's own, and what it holds.
bool writeNotes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("my notes") == 8;
}

QByteArray notesHash()
{
    return QCryptographicHash::hash("my notes", QCryptographicHash::Sha256);
}

// An access ACL (as the system keeps it) that lets `user` read and write:
// user::rw-, user:<user>:rw-, group::<group>, mask::rw-, other::---;
// with `more`, that many users after it may read.
QByteArray aclLetting(uid_t user, quint32 group, quint32 more = 0)
{
    QList<quint32> e = {2, 0x00060001, 0xffffffff, 0x00060002, user};
    for (quint32 i = 1; i <= more; ++i)
        e << 0x00040002 << user + i;
    e << (0x00000004 | group << 16) << 0xffffffff << 0x00060010 << 0xffffffff << 0x00000020 << 0xffffffff;
    return QByteArray(reinterpret_cast<const char *>(e.constData()), e.size() * 4);
}

QByteArray aclOf(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    QByteArray acl(std::max<ssize_t>(::getxattr(name.constData(), "system.posix_acl_access", nullptr, 0), 0), '\0');
    return acl.left(std::max<ssize_t>(::getxattr(name.constData(), "system.posix_acl_access", acl.data(), acl.size()), 0));
}

bool setAcl(const QString &path, const QByteArray &acl)
{
    return ::setxattr(QFile::encodeName(path).constData(), "system.posix_acl_access", acl.constData(), acl.size(), 0) == 0;
}

// A file's identity and permissions: inode, links, mode, owner, group, ACL.
QString identityOf(const QString &path)
{
    struct stat s {};
    QString out = ::stat(QFile::encodeName(path).constData(), &s) == 0 ? aclOf(path).toHex() : "?";
    for (const qulonglong id : {qulonglong(s.st_ino), qulonglong(s.st_nlink), qulonglong(s.st_mode), qulonglong(s.st_uid), qulonglong(s.st_gid)})
        out += ' ' + QString::number(id, 8);
    return out;
}

// Runs the checks of a start in a child process as another user, with
// `group` as a group of theirs when given, killed at its first change of
// an anthem when asked; the child's wait status. The child exits with 0
// when the start succeeds, and with 3 when it fails naming `named` as
// the user who can open the journal.
int startAs(const QString &path, uid_t user, gid_t group, bool kill, uid_t named = 0)
{
    Schema::tables(); // built here: the child has only this thread
    const pid_t child = fork();
    if (child == 0) {
        alarm(60);
        const gid_t groups[] = {group};
        if (setgroups(group ? 1 : 0, groups) != 0 || setresgid(user, user, user) != 0 || setresuid(user, user, user) != 0)
            _exit(2);
        if (kill)
            DbFile::setConversionHook([](sqlite3 *h) {
                sqlite3_update_hook(
                    h,
                    [](void *, int, const char *, const char *table, sqlite3_int64) {
                        if (qstrcmp(table, "anthem") == 0)
                            raise(SIGKILL);
                    },
                    nullptr);
            });
        const DbFile::Check check = DbFile::prepare(path, DbFile::PageCheck::Skip);
        _exit(check.ok() ? 0 : check.message(path).contains(QStringLiteral("only the user %1").arg(named)) ? 3 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child ? status : -1;
}

// A file system for new connections that refuses writes to a database
// file (not to its journal) as a full disk does, once armed: after `skip`
// more writes, `failing` of them (-1: all, until disarmed again).
namespace FullDisk {
sqlite3_vfs vfs;
sqlite3_io_methods methods;
int (*realWrite)(sqlite3_file *, const void *, int, sqlite3_int64) = nullptr;
int skip = -1, failing = 0; // skip -1: disarmed

void install()
{
    vfs = *sqlite3_vfs_find(nullptr);
    vfs.zName = "fulldisk";
    vfs.pAppData = sqlite3_vfs_find(nullptr);
    vfs.xOpen = [](sqlite3_vfs *self, const char *name, sqlite3_file *f, int flags, int *out) {
        auto *base = static_cast<sqlite3_vfs *>(self->pAppData);
        const int rc = base->xOpen(base, name, f, flags, out);
        if (rc == SQLITE_OK && (flags & SQLITE_OPEN_MAIN_DB) && f->pMethods) {
            methods = *f->pMethods;
            realWrite = methods.xWrite;
            methods.xWrite = [](sqlite3_file *f, const void *data, int n, sqlite3_int64 at) {
                const bool refused = skip == 0 && failing != 0;
                failing -= refused && failing > 0;
                skip -= skip > 0;
                return refused ? SQLITE_FULL : realWrite(f, data, n, at);
            };
            f->pMethods = &methods;
        }
        return rc;
    };
    sqlite3_vfs_register(&vfs, 1);
}
} // namespace FullDisk

// A small disk of its own, filled up to `free` bytes: a tmpfs mounted in a
// mount namespace of this process. Root only: ok() says whether it is.
class SmallDisk {
public:
    SmallDisk()
    {
        m_ok = m_dir.isValid() && geteuid() == 0 && unshare(CLONE_NEWNS) == 0
            && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=32m") == 0;
    }
    ~SmallDisk()
    {
        if (m_ok)
            umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool ok() const { return m_ok; }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Fills the disk, then frees `free` bytes again.
    bool fill(qint64 free)
    {
        QFile filler(file(".filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray block(1 << 16, 'x');
        qint64 size = 0;
        for (qint64 n; (n = ::write(filler.handle(), block.constData(), block.size())) > 0;)
            size += n;
        return ftruncate(filler.handle(), std::max<qint64>(0, size - free)) == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};
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
        sqlite3_vfs_unregister(&FullDisk::vfs);
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

        // The schema is the new one: the tables' columns as the new ones
        // declare them, indexes and triggers word for word; nothing of
        // the collation is left.
        QCOMPARE(columnsOf(m_path), columnsOf(m_template));
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
    // (with its values) and an index; and a table and a trigger named as
    // a trigger and an index of the program, which SQLite keeps apart.
    void whatOthersAddedIsKept()
    {
        QVERIFY(writePreviousFormat(m_path, [](sqlite3 *h) {
            return fillPrevious(h) && rawExec(h, "alter table anthem add column Shelf INTEGER")
                && rawExec(h, "update anthem set Shelf = anthemid * 10")
                && rawExec(h, "create index anthem_shelf on anthem (Shelf)")
                && rawExec(h, "create table anthem_anthemkey_stale (x); create trigger anthem_name after insert on "
                              "anthem_anthemkey_stale begin select 1; end");
        }));
        QString error;
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        QCOMPARE(Db::scalar("select sum(Shelf) from anthem").toInt(), 10 * (1 + 2 + 5 + 6 + 7 + 8));
        QVERIFY(Db::exists("select 1 from sqlite_master where name = 'anthem_shelf'"));
        QCOMPARE(Db::scalar("select group_concat(type, ' ') from (select type from sqlite_master where name in "
                            "('anthem_anthemkey_stale', 'anthem_name') order by type, tbl_name)").toString(),
                 QString("index table trigger trigger"));
        QVERIFY(!DbFile::isPreviousFormat(m_path));
    }

    // A conversion that cannot finish says why, once, and only a full disk
    // sends the user to make room; the file is as it was, byte for byte,
    // with nothing beside it, and opens once the cause is gone. Causes:
    // rows that break a rule of their table (the rule and the rows are
    // named, in a table whose name has a space too), the disk filling up
    // (a page limit on the converting connection stands for it), a view
    // of theirs that the new anthem table's name key makes ambiguous, a
    // file another tool put in write-ahead log mode (with a log not yet
    // merged, which must stay so), a trigger of theirs that has a name the
    // program needs, triggers of theirs that the name key breaks, a view
    // of theirs whose column names the clause is part of, a rule of
    // theirs that needed the old collation, a foreign key of theirs whose
    // rows found their parent only with it (a row that found none before
    // does not count), a rule ending in a comment, and stored generated
    // values computed anew that break their column's rules.
    void aFailedConversionChangesNothing_data()
    {
        // What is made in the earlier database beside the rows of
        // fillPrevious; "disk full" has many more rows.
        QTest::addColumn<QByteArray>("made");
        QTest::addColumn<QString>("said");
        QTest::newRow("check") << QByteArray("pragma ignore_check_constraints = on;"
                                             "update anthem set displayit = 7 where anthemid = 2")
                               << "CHECK (displayit IN (-1, 0)) of the table \"anthem\" (1 row)";
        QTest::newRow("disk full") << QByteArray() << "room on the disk";
        QTest::newRow("their view") << QByteArray("create table sortnames (anthemid integer, anthemkey text);"
                                                  "create view anthem_sorted as select Anthem from anthem join sortnames "
                                                  "  using (anthemid) order by anthemkey")
                                    << "view \"anthem_sorted\"";
        QTest::newRow("write-ahead log") << QByteArray() << "journal_mode = DELETE";
        QTest::newRow("a name the program needs") << QByteArray("create table log (t text);"
                                                                "create trigger anthem_anthemkey_stale after update on anthem"
                                                                "  begin insert into log values (new.Anthem); end")
                                                  << "the trigger \"anthem_anthemkey_stale\"";
        QTest::newRow("an index under the program's name") << QByteArray("drop index anthem_collection;"
                                                                         "create index anthem_collection on anthem "
                                                                         "(collectionid, Catalog)")
                                                           << "the index \"anthem_collection\"";
        QTest::newRow("their index of names under the program's name")
            << QByteArray("drop index anthem_name; create index anthem_name on anthem (Anthem desc)")
            << "the index \"anthem_name\"";
        QTest::newRow("check in a table with a space") << QByteArray("create table \"y n\" (a text check (a in ('y', 'n')));"
                                                                     "pragma ignore_check_constraints = on;"
                                                                     "insert into \"y n\" values ('y'), ('maybe'), ('x')")
                                                       << "CHECK (a in ('y', 'n')) of the table \"y n\" (2 rows)";
        // A rule given to a table after its rows, past SQLite.
        QTest::newRow("not null") << QByteArray("create table nn (x text); insert into nn values ('a'), (null);"
                                                "pragma writable_schema = on; update sqlite_master set sql = "
                                                "'create table nn (x text not null)' where name = 'nn'")
                                  << "NOT NULL of the column \"x\" of the table \"nn\" (1 row)";
        for (const char *change : {"insert", "update", "delete"})
            QTest::addRow("their %s trigger", change)
                << QByteArray("create table anthem_copy as select * from anthem where 0; create trigger keep_copy after ")
                       .append(change).append(" on anthem begin insert into anthem_copy select * from anthem; end")
                << "trigger \"keep_copy\"";
        QTest::newRow("their view's columns") << QByteArray("create view titled as select Anthem || '' collate unocase "
                                                            "from anthem")
                                              << "view \"titled\", which was added to it with another tool";
        QTest::newRow("their foreign key") << QByteArray("create table shelf (name text primary key collate unocase);"
                                                         "create table book (shelf text references shelf (name));"
                                                         "insert into shelf values ('Ölberg'), ('x');"
                                                         "insert into book values ('ölberg'), ('x'), ('none')")
                                           << "a foreign key of the table \"book\", which was added to it with another "
                                              "tool, does not work with the new version of the database (in 1 row of it, "
                                              "the value would no longer match a row of the table \"shelf\"";
        QTest::newRow("their rule") << QByteArray("create table yn (answer text check (answer collate unocase in ('yes', "
                                                  "'no'))); insert into yn values ('Yes')")
                                    << "rule of the table \"yn\"";
        QTest::newRow("a check ending in a comment") << QByteArray("create table c (a text check (a in ('y', 'n') -- yes or no\n));"
                                                                   "pragma ignore_check_constraints = on;"
                                                                   "insert into c values ('maybe')")
                                                     << "CHECK (a in ('y', 'n')) of the table \"c\" (1 row)";
        // Whatever conflict clause the generated column gives.
        QTest::newRow("a generated unique") << QByteArray("create table g (id integer primary key, x text, k int generated "
                                                          "always as (x < 'b' collate unocase) stored unique on conflict "
                                                          "replace); insert into g (x) values ('a'), ('B')")
                                            << "UNIQUE of the column \"k\" of the table \"g\" (1 row";
        QTest::newRow("a generated not null") << QByteArray("create table g (x text, k int generated always as (nullif(x < 'b' "
                                                            "collate unocase, 1)) stored not null on conflict ignore);"
                                                            "insert into g (x) values ('B'), ('C'), ('z')")
                                              << "NOT NULL of the column \"k\" of the table \"g\" (2 rows";
    }
    void aFailedConversionChangesNothing()
    {
        QFETCH(QByteArray, made);
        QFETCH(QString, said);
        const QByteArray tag = QTest::currentDataTag();
        QVERIFY(writePreviousFormat(m_path, [&](sqlite3 *h) {
            return tag == "disk full" ? fillMany(h) : fillPrevious(h) && (made.isEmpty() || rawExec(h, made));
        }));
        const int pages = RawDb(m_path).value("pragma page_count").toInt();
        // A writer in write-ahead log mode that left its log unmerged.
        if (tag == "write-ahead log") {
            RawDb writer(m_path);
            QCOMPARE(writer.value("pragma journal_mode = wal"), QString("wal"));
            QCOMPARE(sqlite3_db_config(writer.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr), SQLITE_OK);
            QVERIFY(writer.exec("pragma wal_autocheckpoint = 0; update labels set label1 = 'logged'"));
        }
        if (tag == "disk full")
            DbFile::setConversionHook([pages](sqlite3 *h) {
                rawExec(h, QByteArray("pragma max_page_count = ").append(QByteArray::number(pages + 8)).constData());
            });
        const QByteArray before = fileHash(m_path);
        const QByteArray log = fileHash(m_path + "-wal");
        const QByteArray shared = fileHash(m_path + "-shm");
        const QStringList beside = filesBeside();
        QString error;
        QVERIFY(!Db::open(m_path, &error));
        QVERIFY(!Db::isOpen());
        QVERIFY2(error.contains("earlier version") && error.contains("Nothing in it has been changed")
                     && error.contains(said) && error.contains("room on the disk") == (tag == "disk full")
                     && !error.contains("ask for help"),
                 qPrintable(error));
        QCOMPARE(fileHash(m_path), before);
        QCOMPARE(filesBeside(), beside);
        QCOMPARE(fileHash(m_path + "-wal"), log);
        QCOMPARE(fileHash(m_path + "-shm"), shared);
        QCOMPARE(log.isEmpty(), tag != "write-ahead log");
        QVERIFY(DbFile::isPreviousFormat(m_path));
        if (tag != "disk full")
            return;
        DbFile::setConversionHook({});
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        QCOMPARE(Db::scalar("select count(*) from anthem").toInt(), 20006);
        QCOMPARE(filesBeside(), beside);
    }

    // The collation clause is taken out of a statement where a "--"
    // comment ends on the line before it: the comment keeps the newline
    // that ends it, so nothing after it joins the comment. In a table of
    // theirs (its rows stay in their columns), a column added to a table
    // of the program's, an index and a view.
    void aCommentBeforeTheClauseKeepsItsLine_data()
    {
        QTest::addColumn<QString>("made");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("expected");
        QTest::newRow("their table") << "create table lost (a text -- first column\n collate unocase,\n b text, c text);"
                                        "insert into lost values ('A', 'B', 'C')"
                                     << "select a || ',' || b || ',' || c from lost" << "A,B,C";
        QTest::newRow("a column of theirs") << "alter table anthem add column Shelf text -- where\n collate unocase;"
                                               "update anthem set Shelf = 'S' || anthemid"
                                            << "select Shelf || ',' || Anthem from anthem where anthemid = 1" << "S1,Zebra";
        QTest::newRow("an index") << "create index anthem_catalog on anthem (Catalog -- by number\n collate unocase)"
                                  << "select Anthem from anthem indexed by anthem_catalog where Catalog = 'Z-1'" << "Zebra";
        QTest::newRow("a view") << "create view titles as select Anthem -- the title\n collate unocase as title, "
                                   "Catalog from anthem"
                                << "select title from titles where Catalog = 'Z-1'" << "Zebra";
    }
    void aCommentBeforeTheClauseKeepsItsLine()
    {
        QFETCH(QString, made);
        QFETCH(QString, query);
        QFETCH(QString, expected);
        QVERIFY(writePreviousFormat(m_path, [&](sqlite3 *h) { return fillPrevious(h) && rawExec(h, made.toUtf8()); }));
        QString error;
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        Db::close();
        RawDb raw(m_path);
        QCOMPARE(raw.column("pragma integrity_check"), QStringList({"ok"}));
        QCOMPARE(raw.value(query), expected);
        QCOMPARE(raw.value("select count(*) from sqlite_master where sql like '%-- %' and sql not like '%unocase%'"),
                 QString("1"));
    }

    // The proof of the edit: a statement may lose the collation clause
    // (but not a comment inside it), or name another collation instead where
    // that is allowed, and nothing else; a comment that took in the rest
    // of its line, or any other word changed, is found.
    void theEditIsProvedTokenByToken_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("same");
        const QByteArray lost = "create table lost (a text -- first column\n collate unocase,\n b text, c text)";
        QTest::newRow("clause out") << lost << QByteArray("create table lost (a text -- first column\n,\n b text, c text)")
                                    << false << true;
        QTest::newRow("comment joined") << lost << QByteArray("create table lost (a text -- first column,\n b text, c text)")
                                        << false << false;
        QTest::newRow("comments in the clause") << QByteArray("create table h (g text collate /* old */ -- why\n unocase, b)")
                                                << QByteArray("create table h (g text /* old */ -- why\n, b)") << false << true;
        QTest::newRow("a comment in the clause lost") << QByteArray("create table h (g text collate /* old */ unocase)")
                                                      << QByteArray("create table h (g text)") << false << false;
        QTest::newRow("a word changed") << QByteArray("create table t (a text collate unocase)")
                                        << QByteArray("create table t (b text)") << false << false;
        QTest::newRow("a comment lost") << QByteArray("create table t (a /* x */ text collate unocase)")
                                        << QByteArray("create table t (a text)") << false << false;
        QTest::newRow("replaced") << QByteArray("create table s (AMPM TEXT COLLATE UNOCASE)")
                                  << QByteArray("create table s (AMPM TEXT COLLATE NOCASE)") << true << true;
        QTest::newRow("another name") << QByteArray("create table t (a text collate \"unoca\u017fe\", b text collate unocase)")
                                      << QByteArray("create table t (a text collate \"unoca\u017fe\", b text)") << false << true;
        QTest::newRow("replaced, not allowed") << QByteArray("create table s (AMPM TEXT COLLATE UNOCASE)")
                                               << QByteArray("create table s (AMPM TEXT COLLATE NOCASE)") << false << false;
    }
    void theEditIsProvedTokenByToken()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(bool, replaced);
        QFETCH(bool, same);
        QCOMPARE(SqlText::onlyCollationChanged(before, after, "UNOCASE",
                                               [&](const QString &) { return replaced ? "NOCASE" : ""; }),
                 same);
        if (same && !replaced)
            QCOMPARE(SqlText::replaceCollation(before, "UNOCASE"), after);
    }

    // A file another program reads (a read transaction open) is not
    // converted, and that program's next write is saved; its connection,
    // left open and idle through the conversion, writes soundly after it.
    void aReaderKeepsTheFile()
    {
        QVERIFY(writePreviousFormat(m_path, fillPrevious));
        const QByteArray before = fileHash(m_path);
        RawDb reader(m_path);
        DbFile::installPreviousCollation(reader.handle());
        QVERIFY(reader.exec("BEGIN"));
        QCOMPARE(reader.value("select count(*) from anthem"), QString("6"));
        QString error;
        QVERIFY(!Db::open(m_path, &error));
        QVERIFY2(error.contains("in use by another program"), qPrintable(error));
        QCOMPARE(fileHash(m_path), before);
        QVERIFY(reader.exec("insert into anthem (Anthem) values ('typed'); COMMIT"));
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        QCOMPARE(Db::scalar("select count(*) from anthem where Anthem = 'typed'").toInt(), 1);
        Db::close();
        QVERIFY(reader.exec("insert into anthem (Anthem) values ('after')"));
        RawDb raw(m_path);
        QCOMPARE(raw.column("pragma integrity_check"), QStringList({"ok"}));
        QCOMPARE(raw.value("select count(*) from anthem where Anthem = 'after' and anthemkey is null"), QString("1"));
    }

    // What someone made of their own with another tool comes through and
    // works, with plain SQLite too: a view on anthem, a trigger on anthem,
    // a trigger on a table of theirs that writes anthem (and one on
    // updates, which the keys filled do not fire), an index of theirs,
    // their table's rows, an index of a table WITHOUT ROWID whose keys
    // differ in case, and generated columns that compared with the old
    // collation (in a table with a stored one only too, and one whose
    // clause has a comment beside it in a STRICT table).
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
                              "  begin insert into anthem (Anthem) values (new.title); end;"
                              "create table flags (a text, stored int generated always as (a = 'x' collate unocase) "
                              "  stored, virt int generated always as (a = 'x' collate unocase) virtual);"
                              "create index flags_virt on flags (virt);"
                              "insert into flags (a) values ('X'), ('x'), ('y');"
                              "create trigger anthem_changed after update on anthem "
                              "  begin insert into added values (new.anthemid, 'changed'); end;"
                              "create table w (c text collate unocase primary key, d text) without rowid;"
                              "create index wi on w (lower(d)); insert into w values ('a', 'P'), ('B', 'p'), ('c', 'P'), ('D', 'q');"
                              "create table stored_only (a text, s int generated always as (a = 'x' collate unocase) stored);"
                              "insert into stored_only (a) values ('X'), ('x');"
                              "create table st (a text, g text /*c*/ collate unocase generated always as (a) virtual) strict;"
                              "insert into st (a) values ('x');");
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
        // Generated columns give what their expressions give now, stored
        // and indexed alike.
        QCOMPARE(raw.column("select a || stored || virt from flags order by rowid"), QStringList({"X00", "x11", "y00"}));
        QCOMPARE(raw.value("select group_concat(a) from flags indexed by flags_virt where virt = 1"), QString("x"));
        QCOMPARE(raw.column("select a || s from stored_only order by rowid"), QStringList({"X0", "x1"}));
        QCOMPARE(raw.value("select g || (select count(*) from sqlite_master where sql like '%/*c*/%') from st"), QString("x1"));
        QCOMPARE(raw.value("select group_concat(c) from w indexed by wi where lower(d) = 'p'"), QString("B,a,c"));
    }

    // The program killed at points spread over a conversion (a child
    // process that kills itself as SQLite works): SQLite's next opening
    // puts the file back byte for byte from its journal, and the next
    // start converts it, every row as it was and plain SQLite content.
    void aKilledConversionLosesNothing()
    {
        QVERIFY(writePreviousFormat(m_path, [](sqlite3 *h) {
            return fillPrevious(h)
                && rawExec(h, "create table shelfmarks (mark text primary key collate unocase, place text) without rowid;"
                              "insert into shelfmarks values ('b', '1'), ('A', '2'), ('é', '3');"
                              "create index anthem_memo on anthem (Memo1 collate unocase);");
        }));
        const QString original = m_folder->file("original.mdb");
        QVERIFY(QFile::copy(m_path, original));
        const QByteArray before = fileHash(m_path);
        const QMap<QString, QStringList> rows = contents(m_path);
        // The points: SQLite's progress calls during one whole conversion.
        static int calls = 0;
        static int killAt = 0;
        DbFile::setConversionHook([](sqlite3 *h) {
            calls = 0;
            sqlite3_progress_handler(
                h, 20,
                [](void *) {
                    if (++calls == killAt)
                        raise(SIGKILL);
                    return 0;
                },
                nullptr);
        });
        QVERIFY(QFile::copy(original, m_folder->file("count.mdb")));
        QVERIFY(DbFile::convert(m_folder->file("count.mdb")).ok());
        const int total = calls;
        QVERIFY2(total > 100, qPrintable(QString::number(total)));
        Schema::tables(); // built here: the child has only this thread
        constexpr int kPoints = 20;
        for (int point = 1; point <= kPoints; ++point) {
            killAt = total * point / (kPoints + 1);
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                alarm(60);
                DbFile::convert(m_path);
                _exit(0);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, qPrintable(QString::number(status)));
            {
                RawDb plain(m_path); // rolls the hot journal back
                QCOMPARE(plain.value("select count(*) > 0 from sqlite_master"), QString("1"));
            }
            QVERIFY2(fileHash(m_path) == before || !DbFile::isPreviousFormat(m_path), qPrintable(QString::number(point)));
            killAt = 0;
            QVERIFY(DbFile::prepare(m_path, DbFile::PageCheck::Skip).ok());
            QCOMPARE(contents(m_path), rows);
            RawDb raw(m_path);
            QCOMPARE(raw.column("pragma integrity_check"), QStringList({"ok"}));
            QCOMPARE(raw.column("select mark from shelfmarks"), QStringList({"A", "b", "é"}));
            QVERIFY(QFile::remove(m_path) && QFile::copy(original, m_path));
        }
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


    // Everything of the user's comes through as it was, but for the old
    // collation: every object with its name, type and statement, every
    // row, the file's settings; and it works with plain SQLite.
    void theirObjectsValuesAndSettingsAreKept()
    {
        {
            RawDb db(m_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            QVERIFY(db.exec("pragma page_size = 8192; pragma auto_vacuum = full; pragma user_version = 7; "
                            "pragma application_id = 4242; create table t (x); drop table t"));
        }
        QVERIFY(writePreviousFormat(m_path, [](sqlite3 *h) {
            bool ok = fillPrevious(h);
            for (const char *sql : kTheirs)
                ok = ok && rawExec(h, theirs(sql, true).constData());
            return ok;
        }));
        // The same objects made without the collation, for comparison.
        const QString expected = m_folder->file("expected.mdb");
        QVERIFY(QFile::copy(m_template, expected));
        {
            RawDb db(expected);
            for (const char *sql : kTheirs)
                QVERIFY(rawExec(db.handle(), theirs(sql, false).constData()));
        }
        QMap<QString, QStringList> rows;
        QStringList settings;
        {
            RawDb original(m_path);
            QVERIFY(DbFile::installPreviousCollation(original.handle()));
            settings = settingsOf(original);
            for (const QString &table : original.column("select name from sqlite_master where type = 'table'"))
                rows[table] = rowsOf(original.handle(), table);
        }
        QCOMPARE(settings, QStringList({"8192", "1", "7", "4242", "UTF-8"}));
        QString error;
        QVERIFY2(Db::open(m_path, &error), qPrintable(error));
        Db::close();

        RawDb raw(m_path);
        QCOMPARE(raw.column("pragma integrity_check"), QStringList({"ok"}));
        RawDb made(expected);
        QCOMPARE(objectsNotOurs(raw), objectsNotOurs(made));
        QCOMPARE(settingsOf(raw), settings);
        for (auto it = rows.cbegin(); it != rows.cend(); ++it)
            if (!isProgramTable(it.key()))
                QCOMPARE(rowsOf(raw.handle(), it.key()), it.value());
        const QString anthem = raw.value("select sql from sqlite_master where name = 'anthem'");
        QVERIFY2(anthem.contains("Shelf integer not null default 0 check (Shelf >= 0)")
                     && anthem.contains("Odd \"x DEFAULT 7\""),
                 qPrintable(anthem));
        QCOMPARE(raw.value("select dflt_value is null from pragma_table_info('anthem') where name = 'Odd'"), QString("1"));
        // They work: their triggers fire, their indexes find.
        QVERIFY(raw.exec("insert into anthem (Anthem) values ('Gloria')"));
        QCOMPARE(raw.column("select title from anthem_log"), QStringList({"Gloria"}));
        QVERIFY(raw.exec("update anthem_edit set title = 'Gloria in excelsis' where title = 'Gloria'"));
        QCOMPARE(raw.value("select count(*) from anthem where Anthem = 'Gloria in excelsis'"), QString("1"));
        QCOMPARE(raw.value("select name from people indexed by people_upper where upper(name) = upper('élise')"),
                 QString("élise"));
        QCOMPARE(raw.value("select place from shelfmarks where mark = 'b'"), QString("1"));
        QCOMPARE(raw.value("select count(*) from loans indexed by loans_who where who = 'bob'"), QString("1"));
        QCOMPARE(raw.value("select body from notes_fts where notes_fts match 'magnificat'"), QString("Magnificat in D"));
        QCOMPARE(sqlite3_exec(raw.handle(), "insert into anthem (Anthem, Shelf) values ('x', -1)", nullptr, nullptr, nullptr),
                 SQLITE_CONSTRAINT);
        QVERIFY(raw.exec("insert into loans (who) values ('Dee')"));
        QCOMPARE(raw.value("select max(loanid) from loans"), QString("4"));
    }

    // The file stays the same file: its inode and a hard link to it, its
    // mode with the setgid and sticky bits, its owner, group and ACL.
    void theFileStaysTheSameFile()
    {
        QVERIFY(writePreviousFormat(m_path, fillPrevious));
        const QString link = m_folder->file("link.mdb");
        QVERIFY(::link(QFile::encodeName(m_path).constData(), QFile::encodeName(link).constData()) == 0);
        QVERIFY(::chmod(QFile::encodeName(m_path).constData(), 03660) == 0);
        if (!setAcl(m_path, aclLetting(12345, 4)))
            QSKIP("the file system keeps no ACLs");
        const QString before = identityOf(m_path);
        QString error;
        QVERIFY2(Db::open(link, &error), qPrintable(error));
        Db::close();
        QVERIFY(!DbFile::isPreviousFormat(m_path));
        QCOMPARE(identityOf(m_path), before);
    }

    // A file shared through its group, converted by another member of
    // the group: the file keeps its group and mode, so the others can
    // still open it; after a kill during that member's conversion, a
    // third member's start puts it back and converts it.
    void aSharedFileKeepsItsGroup_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("converted") << false;
        QTest::newRow("killed while converting") << true;
    }
    void aSharedFileKeepsItsGroup()
    {
        QFETCH(bool, killed);
        if (geteuid() != 0)
            QSKIP("needs root, to act as other members of the group");
        const gid_t users = 100;
        QVERIFY(writePreviousFormat(m_path, fillPrevious));
        const QString folder = m_folder->path();
        QVERIFY(chown(QFile::encodeName(folder).constData(), 0, users) == 0 && chmod(QFile::encodeName(folder).constData(), 0775) == 0);
        QVERIFY(chown(QFile::encodeName(m_path).constData(), 0, users) == 0 && chmod(QFile::encodeName(m_path).constData(), 0660) == 0);
        if (killed) {
            const int status = startAs(m_path, 65534, users, true);
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, qPrintable(QString::number(status)));
            QVERIFY(QFile::exists(m_path + "-journal"));
        }
        QCOMPARE(startAs(m_path, killed ? 65533 : 65534, users, false), 0);
        QVERIFY(!DbFile::isPreviousFormat(m_path));
        QVERIFY(!QFile::exists(m_path + "-journal"));
        struct stat info {};
        QVERIFY(::stat(QFile::encodeName(m_path).constData(), &info) == 0);
        QCOMPARE(info.st_gid, users);
        QCOMPARE(info.st_mode & 0777, mode_t(0660));
    }

    // The owner's file, which an ACL entry lets a second user write, is
    // converted by that user: the owner can open it after, and after a
    // kill during that user's conversion, the owner's next start puts the
    // file back from the journal the other user left and converts it.
    // Where the journal's ACL is lost, or the owner cannot remove it from
    // a shared folder with the sticky bit, the owner is told who can open
    // the file, and after that user's start the owner's succeeds. A long
    // ACL comes to the journal whole.
    void aSecondUserLeavesTheOwnerTheFile_data()
    {
        QTest::addColumn<int>("stop");
        QTest::newRow("converted") << 0;
        QTest::newRow("killed while converting") << 1;
        QTest::newRow("killed, the journal's ACL lost") << 2;
        QTest::newRow("killed in a sticky folder of a third user") << 3;
        QTest::newRow("killed, with a long ACL") << 4;
    }
    void aSecondUserLeavesTheOwnerTheFile()
    {
        QFETCH(int, stop);
        if (geteuid() != 0)
            QSKIP("needs root, to act as two other users");
        const uid_t owner = 60001, other = 60002;
        const quint32 readers = stop == 4 ? 40 : 0;
        QVERIFY(writePreviousFormat(m_path, fillPrevious));
        const QByteArray folder = QFile::encodeName(m_folder->path());
        QVERIFY(::chmod(folder.constData(), stop == 3 ? 01777 : 0777) == 0);
        QVERIFY(stop != 3 || ::chown(folder.constData(), 60003, 60003) == 0);
        QVERIFY(::chown(QFile::encodeName(m_path).constData(), owner, owner) == 0);
        if (!setAcl(m_path, aclLetting(other, 0, readers)))
            QSKIP("the file system keeps no ACLs");
        const QString before = identityOf(m_path);
        const int status = startAs(m_path, other, 0, stop > 0);
        if (stop > 0) {
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, qPrintable(QString::number(status)));
            const QByteArray journal = QFile::encodeName(m_path + "-journal");
            struct stat info {};
            QVERIFY(::stat(journal.constData(), &info) == 0);
            QCOMPARE(info.st_uid, other);
            // The named users' entries, in order, after the owner's.
            QVERIFY(aclOf(m_path + "-journal").contains(aclLetting(other, 0, readers).mid(12, 8 * (readers + 1))));
            if (stop == 2 || stop == 3) {
                QVERIFY(stop == 3 || ::removexattr(journal.constData(), "system.posix_acl_access") == 0);
                QCOMPARE(startAs(m_path, owner, 0, false, other), 3 << 8);
                QCOMPARE(startAs(m_path, other, 0, false), 0);
            }
        } else {
            QCOMPARE(status, 0);
        }
        QCOMPARE(startAs(m_path, owner, 0, false), 0);
        QVERIFY(!DbFile::isPreviousFormat(m_path));
        QVERIFY(!QFile::exists(m_path + "-journal"));
        QCOMPARE(identityOf(m_path), before);
    }

    // A file of the user's under the name earlier versions built the new
    // file under is never touched: beside a current database, and beside
    // one that is converted, with the sticky bit those versions used as
    // their mark too.
    void aFileOfTheirsIsNeverTouched_data()
    {
        QTest::addColumn<bool>("previous");
        QTest::addColumn<int>("mode");
        QTest::newRow("beside a current database") << false << 0644;
        QTest::newRow("beside an earlier one, marked") << true << 01600;
    }
    void aFileOfTheirsIsNeverTouched()
    {
        QFETCH(bool, previous);
        QFETCH(int, mode);
        const QString path = previous ? m_path : m_template;
        if (previous)
            QVERIFY(writePreviousFormat(m_path, fillPrevious));
        const QString theirs = path + ".converting";
        QVERIFY(writeNotes(theirs));
        QVERIFY(::chmod(QFile::encodeName(theirs).constData(), mode_t(mode)) == 0);
        QString error;
        QVERIFY2(Db::open(path, &error), qPrintable(error));
        QVERIFY(!DbFile::isPreviousFormat(path));
        QCOMPARE(fileHash(theirs), notesHash());
    }

    // Two starts converting one file at once: the second waits for the
    // first, finds the file converted, and leaves it as it is.
    void twoStartsConvertOnce()
    {
        QVERIFY(writePreviousFormat(m_path, fillPrevious));
        Schema::tables(); // built here: the child has only this thread
        int go[2];
        QVERIFY(pipe(go) == 0);
        const pid_t second = fork();
        QVERIFY(second >= 0);
        if (second == 0) {
            // The second start begins once the first is converting.
            alarm(60);
            ::close(go[1]);
            char c;
            if (::read(go[0], &c, 1) != 1)
                _exit(1);
            DbFile::Check check = DbFile::convert(m_path);
            while (check.problem == DbFile::Problem::InUse) // a loaded machine may keep the first longer
                check = DbFile::convert(m_path);
            _exit(check.ok() ? 0 : 1);
        }
        ::close(go[0]);
        DbFile::setConversionHook([&](sqlite3 *) {
            QVERIFY(::write(go[1], "!", 1) == 1);
            usleep(300 * 1000); // the second start now waits for the file
        });
        QString error;
        const bool opened = Db::open(m_path, &error);
        ::close(go[1]);
        QVERIFY2(opened, qPrintable(error));
        struct stat first {};
        QVERIFY(::stat(QFile::encodeName(m_path).constData(), &first) == 0);
        QVERIFY(Db::exec("insert into anthem (Anthem) values ('after the first')") == 1);
        int status = 0;
        QCOMPARE(waitpid(second, &status, 0), second);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(QString::number(status)));
        struct stat now {};
        QVERIFY(::stat(QFile::encodeName(m_path).constData(), &now) == 0);
        QCOMPARE(now.st_ino, first.st_ino);
        QVERIFY(Db::exec("insert into anthem (Anthem) values ('later')") == 1);
        QCOMPARE(Db::scalar("select count(*) from anthem where Anthem in ('after the first', 'later')").toInt(), 2);
    }

    // A full disk is named as such, and sends the user to make room:
    // with no room at all for the journal of a write, and with room for
    // less than the rollback journal of a conversion needs.
    void aFullDiskIsNamed_data()
    {
        QTest::addColumn<qint64>("free");
        QTest::addColumn<QString>("said");
        QTest::newRow("no room at all") << qint64(0) << "the disk that holds it is full";
        QTest::newRow("no room for the journal") << qint64(64 * 1024) << "room on the disk for the rollback journal";
    }
    void aFullDiskIsNamed()
    {
        QFETCH(qint64, free);
        QFETCH(QString, said);
        SmallDisk disk;
        if (!disk.ok())
            QSKIP("needs root, to mount a small disk of its own");
        const QString path = disk.file("hxdata97.mdb");
        QVERIFY(writePreviousFormat(path, fillMany));
        const QByteArray before = fileHash(path);
        QVERIFY(disk.fill(free));
        QString error;
        QVERIFY(!Db::open(path, &error));
        QVERIFY2(error.contains(said) && error.contains("make room", Qt::CaseInsensitive)
                     && !error.contains("cannot be read or written"),
                 qPrintable(error));
        QCOMPARE(fileHash(path), before);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({".filler", "hxdata97.mdb"}));
    }

    // A write into the file itself refused, as by a full disk, while its
    // journal is whole (a page cache of two pages has SQLite write changed
    // pages into the file before the commit): the file is put back from
    // the journal before the user is told that nothing changed; where it
    // cannot be (every write refused), the journal is named as what must
    // stay beside it, and the next opening puts the file back.
    void aFileWrittenPartWayIsPutBack()
    {
        QVERIFY(writePreviousFormat(m_path, fillPrevious));
        const QByteArray before = fileHash(m_path);
        FullDisk::install();
        for (const int failing : {1, -1}) {
            DbFile::setConversionHook([failing](sqlite3 *h) {
                rawExec(h, "pragma cache_size = 2");
                FullDisk::skip = 2;
                FullDisk::failing = failing;
            });
            QString error;
            QVERIFY(!Db::open(m_path, &error));
            FullDisk::skip = -1;
            QVERIFY2(error.contains("room on the disk") && error.contains("Nothing in it has been changed") == (failing > 0)
                         && error.contains("previous.mdb-journal\" beside it") == (failing < 0),
                     qPrintable(error));
            QCOMPARE(QFile::exists(m_path + "-journal"), failing < 0);
            QVERIFY(DbFile::probe(m_path).ok());
            QCOMPARE(fileHash(m_path), before);
        }
    }

    // What SQLite says when a file cannot be opened at all reaches the
    // message (it was lost to later calls).
    void whyAFileCannotBeOpenedIsSaid()
    {
        const DbFile::Check check = DbFile::checkTables(m_folder->file("no folder/hxdata97.mdb"));
        QVERIFY2(check.detail.contains("unable to open"), qPrintable(check.detail));
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
