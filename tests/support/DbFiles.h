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

#include "PreviousSchema.h"

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
