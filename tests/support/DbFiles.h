#pragma once
// Database files for the tests of opening a database: files of the
// previous format, locked, damaged, read-only and half-written ones, all
// made by the test itself.

#include "DbFile.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QtTest>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <unistd.h>

// The schema as the program wrote it before the name keys: every text
// column declared with the program's own UNOCASE collation, which
// ordinary SQLite tools do not know.

inline const char *const kPreviousSchema = R"sql(
CREATE TABLE anthem (
  anthemid INTEGER PRIMARY KEY AUTOINCREMENT,
  Anthem TEXT COLLATE UNOCASE,
  Catalog TEXT COLLATE UNOCASE,
  Location TEXT COLLATE UNOCASE,
  Memo1 TEXT COLLATE UNOCASE,
  Memo2 TEXT COLLATE UNOCASE,
  Pages TEXT COLLATE UNOCASE,
  LoanedTo TEXT COLLATE UNOCASE,
  PerformTime TEXT COLLATE UNOCASE,
  u1 TEXT COLLATE UNOCASE,
  u2 TEXT COLLATE UNOCASE,
  u3 TEXT COLLATE UNOCASE,
  u4 TEXT COLLATE UNOCASE,
  u5 TEXT COLLATE UNOCASE,
  DatePurchased TEXT,
  CostPerCopy REAL DEFAULT 0,
  NumCopies INTEGER DEFAULT 0,
  collectionid INTEGER DEFAULT 0,
  displayit INTEGER NOT NULL DEFAULT 0 CHECK (displayit IN (-1, 0))
);
CREATE INDEX anthem_name ON anthem (Anthem);
CREATE INDEX anthem_collection ON anthem (collectionid);
CREATE INDEX anthem_displayit ON anthem (displayit);

CREATE TABLE collection (
  collectionid INTEGER PRIMARY KEY AUTOINCREMENT,
  Collection TEXT COLLATE UNOCASE,
  Catalog TEXT COLLATE UNOCASE,
  Location TEXT COLLATE UNOCASE,
  Memo1 TEXT COLLATE UNOCASE,
  Pages TEXT COLLATE UNOCASE,
  LoanedTo TEXT COLLATE UNOCASE,
  PerformTime TEXT COLLATE UNOCASE,
  u1 TEXT COLLATE UNOCASE,
  u2 TEXT COLLATE UNOCASE,
  u3 TEXT COLLATE UNOCASE,
  u4 TEXT COLLATE UNOCASE,
  u5 TEXT COLLATE UNOCASE,
  DatePurchased TEXT,
  CostPerCopy REAL DEFAULT 0,
  NumCopies INTEGER DEFAULT 0,
  displayit INTEGER NOT NULL DEFAULT 0 CHECK (displayit IN (-1, 0))
);
CREATE INDEX collection_name ON collection (Collection);

CREATE TABLE member (
  memberid INTEGER PRIMARY KEY AUTOINCREMENT,
  LName TEXT COLLATE UNOCASE,
  FName TEXT COLLATE UNOCASE,
  MName TEXT COLLATE UNOCASE,
  Street1 TEXT COLLATE UNOCASE,
  Street2 TEXT COLLATE UNOCASE,
  State TEXT COLLATE UNOCASE,
  CityID INTEGER DEFAULT 0,
  ZipID INTEGER DEFAULT 0,
  SchoolID INTEGER DEFAULT 0,
  HPhone TEXT COLLATE UNOCASE,
  CPhone TEXT COLLATE UNOCASE,
  FPhone TEXT COLLATE UNOCASE,
  grade TEXT COLLATE UNOCASE,
  Age INTEGER,
  Sex INTEGER DEFAULT 0,
  Parent TEXT COLLATE UNOCASE,
  Email TEXT COLLATE UNOCASE,
  Memo1 TEXT COLLATE UNOCASE,
  u1 TEXT COLLATE UNOCASE,
  u2 TEXT COLLATE UNOCASE,
  u3 TEXT COLLATE UNOCASE,
  u4 TEXT COLLATE UNOCASE,
  u5 TEXT COLLATE UNOCASE,
  Birthday TEXT,
  Aniversary TEXT,
  displayit INTEGER NOT NULL DEFAULT 0 CHECK (displayit IN (-1, 0))
);
CREATE INDEX member_name ON member (LName, FName);
CREATE INDEX member_city ON member (CityID);
CREATE INDEX member_zip ON member (ZipID);
CREATE INDEX member_school ON member (SchoolID);

CREATE TABLE themes (
  themeid INTEGER PRIMARY KEY AUTOINCREMENT,
  theme TEXT COLLATE UNOCASE,
  Description TEXT COLLATE UNOCASE
);
CREATE INDEX themes_name ON themes (theme);

CREATE TABLE vocals (
  vocalsid INTEGER PRIMARY KEY AUTOINCREMENT,
  vocals TEXT COLLATE UNOCASE
);
CREATE INDEX vocals_name ON vocals (vocals);

CREATE TABLE composer (
  composerid INTEGER PRIMARY KEY AUTOINCREMENT,
  composer TEXT COLLATE UNOCASE
);
CREATE INDEX composer_name ON composer (composer);

CREATE TABLE orchestration (
  orchid INTEGER PRIMARY KEY AUTOINCREMENT,
  orchestration TEXT COLLATE UNOCASE
);
CREATE INDEX orchestration_name ON orchestration (orchestration);

CREATE TABLE choir (
  ChoirID INTEGER PRIMARY KEY AUTOINCREMENT,
  choir TEXT COLLATE UNOCASE,
  Description TEXT COLLATE UNOCASE,
  info TEXT
);
CREATE INDEX choir_name ON choir (choir);

CREATE TABLE vocalsm (
  vocalsmid INTEGER PRIMARY KEY AUTOINCREMENT,
  vocals TEXT COLLATE UNOCASE
);
CREATE INDEX vocalsm_name ON vocalsm (vocals);

CREATE TABLE city (
  CityID INTEGER PRIMARY KEY AUTOINCREMENT,
  City TEXT COLLATE UNOCASE
);
CREATE INDEX city_name ON city (City);

CREATE TABLE zip (
  ZipID INTEGER PRIMARY KEY AUTOINCREMENT,
  Zip TEXT COLLATE UNOCASE
);
CREATE INDEX zip_name ON zip (Zip);

CREATE TABLE school (
  SchoolID INTEGER PRIMARY KEY AUTOINCREMENT,
  School TEXT COLLATE UNOCASE
);
CREATE INDEX school_name ON school (School);

CREATE TABLE state (
  statea TEXT COLLATE UNOCASE
);

CREATE TABLE labels (
  datatype INTEGER NOT NULL UNIQUE,
  label1 TEXT,
  label2 TEXT,
  label3 TEXT,
  label4 TEXT,
  label5 TEXT
);

CREATE TABLE schedule (
  schedid INTEGER PRIMARY KEY AUTOINCREMENT,
  ChoirID INTEGER DEFAULT 0,
  SchedDate TEXT,
  AMPM TEXT COLLATE UNOCASE,
  call INTEGER NOT NULL DEFAULT 0 CHECK (call IN (-1, 0)),
  Anthem INTEGER NOT NULL DEFAULT 0 CHECK (Anthem IN (-1, 0)),
  Offertory INTEGER NOT NULL DEFAULT 0 CHECK (Offertory IN (-1, 0)),
  Benediction INTEGER NOT NULL DEFAULT 0 CHECK (Benediction IN (-1, 0)),
  other TEXT COLLATE UNOCASE,
  collectionid INTEGER DEFAULT 0,
  anthemid INTEGER DEFAULT 0
);
CREATE INDEX schedule_date ON schedule (SchedDate, AMPM);
CREATE INDEX schedule_choir ON schedule (ChoirID);
CREATE INDEX schedule_anthem ON schedule (anthemid);
CREATE INDEX schedule_collection ON schedule (collectionid);

CREATE TABLE schednotes (
  SchedDate TEXT,
  AMPM TEXT COLLATE UNOCASE,
  notes TEXT
);
CREATE INDEX schednotes_date ON schednotes (SchedDate, AMPM);

CREATE TABLE schedinfo (
  info TEXT,
  ChoirID INTEGER DEFAULT 0
);

CREATE TABLE a_lperform (
  RNum INTEGER PRIMARY KEY AUTOINCREMENT,
  Lperform TEXT,
  anthemid INTEGER DEFAULT 0,
  ChoirID INTEGER DEFAULT 0,
  other TEXT COLLATE UNOCASE
);
CREATE INDEX a_lperform_anthem ON a_lperform (anthemid, Lperform);
CREATE INDEX a_lperform_choir ON a_lperform (ChoirID);

CREATE TABLE col_lperform (
  RNum INTEGER PRIMARY KEY AUTOINCREMENT,
  Lperform TEXT,
  collectionid INTEGER DEFAULT 0,
  ChoirID INTEGER DEFAULT 0,
  other TEXT COLLATE UNOCASE
);
CREATE INDEX col_lperform_collection ON col_lperform (collectionid, Lperform);
CREATE INDEX col_lperform_choir ON col_lperform (ChoirID);

CREATE TABLE a_th_l (anthemid INTEGER NOT NULL, themeid INTEGER NOT NULL);
CREATE INDEX a_th_l_owner ON a_th_l (anthemid, themeid);
CREATE INDEX a_th_l_item ON a_th_l (themeid, anthemid);

CREATE TABLE a_chr_l (anthemid INTEGER NOT NULL, choirid INTEGER NOT NULL);
CREATE INDEX a_chr_l_owner ON a_chr_l (anthemid, choirid);
CREATE INDEX a_chr_l_item ON a_chr_l (choirid, anthemid);

CREATE TABLE a_orch_l (anthemid INTEGER NOT NULL, orchid INTEGER NOT NULL);
CREATE INDEX a_orch_l_owner ON a_orch_l (anthemid, orchid);
CREATE INDEX a_orch_l_item ON a_orch_l (orchid, anthemid);

CREATE TABLE a_com_l (anthemid INTEGER NOT NULL, composerid INTEGER NOT NULL);
CREATE INDEX a_com_l_owner ON a_com_l (anthemid, composerid);
CREATE INDEX a_com_l_item ON a_com_l (composerid, anthemid);

CREATE TABLE a_v_l (anthemid INTEGER NOT NULL, vocalsid INTEGER NOT NULL);
CREATE INDEX a_v_l_owner ON a_v_l (anthemid, vocalsid);
CREATE INDEX a_v_l_item ON a_v_l (vocalsid, anthemid);

CREATE TABLE col_th_l (collectionid INTEGER NOT NULL, themeid INTEGER NOT NULL);
CREATE INDEX col_th_l_owner ON col_th_l (collectionid, themeid);
CREATE INDEX col_th_l_item ON col_th_l (themeid, collectionid);

CREATE TABLE col_chr_l (collectionid INTEGER NOT NULL, choirid INTEGER NOT NULL);
CREATE INDEX col_chr_l_owner ON col_chr_l (collectionid, choirid);
CREATE INDEX col_chr_l_item ON col_chr_l (choirid, collectionid);

CREATE TABLE col_orch_l (collectionid INTEGER NOT NULL, orchid INTEGER NOT NULL);
CREATE INDEX col_orch_l_owner ON col_orch_l (collectionid, orchid);
CREATE INDEX col_orch_l_item ON col_orch_l (orchid, collectionid);

CREATE TABLE col_com_l (collectionid INTEGER NOT NULL, composerid INTEGER NOT NULL);
CREATE INDEX col_com_l_owner ON col_com_l (collectionid, composerid);
CREATE INDEX col_com_l_item ON col_com_l (composerid, collectionid);

CREATE TABLE col_v_l (collectionid INTEGER NOT NULL, vocalsid INTEGER NOT NULL);
CREATE INDEX col_v_l_owner ON col_v_l (collectionid, vocalsid);
CREATE INDEX col_v_l_item ON col_v_l (vocalsid, collectionid);

CREATE TABLE chr_m_l (
  memberid INTEGER NOT NULL,
  choirid INTEGER NOT NULL,
  isactive INTEGER NOT NULL DEFAULT 0 CHECK (isactive IN (-1, 0))
);
CREATE INDEX chr_m_l_owner ON chr_m_l (memberid, choirid);
CREATE INDEX chr_m_l_item ON chr_m_l (choirid, memberid);

CREATE TABLE m_vm_l (memberid INTEGER NOT NULL, vocalsmid INTEGER NOT NULL);
CREATE INDEX m_vm_l_owner ON m_vm_l (memberid, vocalsmid);
CREATE INDEX m_vm_l_item ON m_vm_l (vocalsmid, memberid);

CREATE TABLE m_orch_l (memberid INTEGER NOT NULL, orchid INTEGER NOT NULL);
CREATE INDEX m_orch_l_owner ON m_orch_l (memberid, orchid);
CREATE INDEX m_orch_l_item ON m_orch_l (orchid, memberid);

INSERT INTO labels (datatype, label1, label2, label3, label4, label5) VALUES
  (1, 'My Field 1', 'My Field 2', 'My Field 3', 'My Field 4', 'My Field 5'),
  (2, 'My Field 1', 'My Field 2', 'My Field 3', 'My Field 4', 'My Field 5'),
  (3, 'My Field 1', 'My Field 2', 'My Field 3', 'My Field 4', 'My Field 5');

INSERT INTO state (statea) VALUES
  ('AK'), ('AL'), ('AR'), ('AZ'), ('CA'), ('CO'), ('CT'), ('DC'), ('DE'), ('FL'),
  ('GA'), ('HI'), ('IA'), ('ID'), ('IL'), ('IN'), ('KS'), ('KY'), ('LA'), ('MA'),
  ('MD'), ('ME'), ('MI'), ('MN'), ('MO'), ('MS'), ('MT'), ('NC'), ('ND'), ('NE'),
  ('NH'), ('NJ'), ('NM'), ('NV'), ('NY'), ('OH'), ('OK'), ('OR'), ('PA'), ('RI'),
  ('SC'), ('SD'), ('TN'), ('TX'), ('UT'), ('VA'), ('VT'), ('WA'), ('WI'), ('WV'),
  ('WY');
)sql";

// Runs SQL on a raw connection; false (with a warning) on failure.
inline bool rawExec(sqlite3 *h, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(h, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    qWarning("%s: %s", sql, message ? message : "?");
    sqlite3_free(message);
    return false;
}

// Writes a new database of the previous format at `path` and lets `fill`
// add rows, on a connection with the collation of that format.
inline bool writePreviousFormat(const QString &path, const std::function<bool(sqlite3 *)> &fill = {})
{
    sqlite3 *h = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr) == SQLITE_OK;
    ok = ok && DbFile::installPreviousCollation(h) && rawExec(h, "BEGIN") && rawExec(h, kPreviousSchema)
        && (!fill || fill(h)) && rawExec(h, "COMMIT");
    sqlite3_close(h);
    return ok;
}

// A connection of plain SQLite: none of the program's functions.
class RawDb {
public:
    explicit RawDb(const QString &path, int flags = SQLITE_OPEN_READWRITE)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_h, flags, nullptr);
    }
    ~RawDb() { sqlite3_close_v2(m_h); }
    RawDb(const RawDb &) = delete;
    RawDb &operator=(const RawDb &) = delete;
    sqlite3 *handle() const { return m_h; }
    bool exec(const QString &sql) { return rawExec(m_h, sql.toUtf8().constData()); }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_h)); }
    // The first column of every row, as text ("" for Null).
    QStringList column(const QString &sql)
    {
        QStringList out;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(m_h, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            qWarning("%s: %s", qPrintable(sql), sqlite3_errmsg(m_h));
            return {QStringLiteral("<error>")};
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)),
                                     sqlite3_column_bytes(st, 0));
        if (rc != SQLITE_DONE) {
            qWarning("%s: %s", qPrintable(sql), sqlite3_errmsg(m_h));
            out << QStringLiteral("<error>");
        }
        sqlite3_finalize(st);
        return out;
    }
    QString value(const QString &sql)
    {
        const QStringList c = column(sql);
        return c.isEmpty() ? QString() : c.first();
    }

private:
    sqlite3 *m_h = nullptr;
};

inline QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Where in the file the page that starts the b-tree of a table or index
// begins; -1 when it has none of its own (or the file cannot be read).
inline qint64 rootPageOffset(const QString &path, const QString &name)
{
    RawDb db(path);
    const int page = db.value(QStringLiteral("select rootpage from sqlite_master where name = '%1'").arg(name)).toInt();
    const int pageSize = db.value(QStringLiteral("pragma page_size")).toInt();
    return page < 2 || pageSize <= 0 ? -1 : qint64(page - 1) * pageSize;
}

// Spoils the page that starts the b-tree of a table or index (its type
// byte), as a failing disk would: the file still opens, and only what
// reads that page fails.
inline bool damageTreeOf(const QString &path, const QString &name)
{
    const qint64 at = rootPageOffset(path, name);
    if (at < 0)
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || !f.seek(at))
        return false;
    return f.write(QByteArray(1, char(0x07))) == 1;
}

// Damages many cells of the interior root page of a table (one with
// enough rows to have one): their pointers point past the page, so the
// page check finds one fault per cell.
inline bool scrambleCellsOf(const QString &path, const QString &name, int cells)
{
    const qint64 at = rootPageOffset(path, name);
    if (at < 0)
        return false;
    QFile f(path);
    // An interior page's cell pointers follow its 12-byte header.
    if (!f.open(QIODevice::ReadWrite) || !f.seek(at + 12))
        return false;
    return f.write(QByteArray(2 * cells, char(0xff))) == 2 * cells;
}

// Another program holding the file: a write lock taken and kept
// (BEGIN IMMEDIATE and a change not yet committed), or with `exclusive`
// the lock a writer holds while it commits, which keeps out readers too.
class ForeignLock {
public:
    ForeignLock(const QString &path, bool exclusive) : m_db(path)
    {
        m_ok = m_db.exec(exclusive ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN IMMEDIATE"))
            && m_db.exec(QStringLiteral("update labels set label1 = 'held' where datatype = 1"));
    }
    ~ForeignLock() { release(); }
    bool ok() const { return m_ok; }
    void release()
    {
        if (!sqlite3_get_autocommit(m_db.handle()))
            m_db.exec(QStringLiteral("ROLLBACK"));
    }

private:
    RawDb m_db;
    bool m_ok = false;
};

// Makes a file or folder unwritable for as long as it lives: read-only
// for an ordinary user, immutable for root (whom permissions do not
// stop). ok() is false where neither works; the test then skips.
class Unwritable {
public:
    explicit Unwritable(const QString &path) : m_path(path)
    {
        if (geteuid() != 0) {
            m_permissions = QFile::permissions(path);
            m_ok = QFile::setPermissions(path, m_permissions & ~(QFile::WriteOwner | QFile::WriteUser
                                                                   | QFile::WriteGroup | QFile::WriteOther));
            m_chmod = m_ok;
        } else {
            m_ok = setImmutable(true);
        }
    }
    ~Unwritable()
    {
        if (!m_ok)
            return;
        if (m_chmod)
            QFile::setPermissions(m_path, m_permissions);
        else
            setImmutable(false);
    }
    Unwritable(const Unwritable &) = delete;
    Unwritable &operator=(const Unwritable &) = delete;
    bool ok() const { return m_ok; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    QString m_path;
    QFileDevice::Permissions m_permissions;
    bool m_ok = false;
    bool m_chmod = false;
};

// Leaves beside `target` the rollback journal of a write that never
// finished (as after a crash): copies of a database and its journal taken
// in the middle of a large change.
inline bool writeHotJournal(const QString &source, const QString &target)
{
    RawDb db(source);
    const bool begun = db.exec(QStringLiteral("pragma cache_size = 2")) && db.exec(QStringLiteral("BEGIN"))
        && db.exec(QStringLiteral("update anthem set Memo1 = Anthem || Anthem"));
    const bool copied = begun && QFileInfo(source + QStringLiteral("-journal")).size() > 0
        && QFile::copy(source, target) && QFile::copy(source + QStringLiteral("-journal"), target + QStringLiteral("-journal"));
    db.exec(QStringLiteral("ROLLBACK"));
    return copied;
}
