#pragma once
// What the file checks (DbFile.cpp) and the conversion (DbConvert.cpp)
// share: a connection of their own to a file, and how a failure reads.

#include "Db.h"
#include "DbFile.h"
#include "DbStatement.h"
#include "SqlText.h"

#include <QFile>
#include <QFileInfo>
#include <functional>
#include <sqlite3.h>

namespace DbFileInternal {

// How long a check waits for another program's lock before it calls the
// file in use.
constexpr int kBusyWaitMs = 2000;

// Immutable: read-only, and SQLite neither locks the file nor looks for
// a journal or log beside it, so nothing is made or changed there.
enum class Open { ReadOnly, ReadWrite, Immutable };

// A path as a URI for an immutable connection names it.
inline QByteArray uriOf(const QString &path)
{
    return "file:" + QFile::encodeName(path).toPercentEncoding("/") + "?immutable=1";
}

// What a connection knows beyond plain SQLite. A file of the previous
// format is read with its collation; the conversion takes it away once
// it has read the file, and changes and checks the file without it, as
// the sqlite3 shell sees it. None
// has the program's own functions: the user's indexes, checks and
// generated columns are evaluated by SQLite's own upper() and the like.
enum class Collation { Previous, None };

// One SQLite connection of its own, closed when it goes.
class Connection {
public:
    Connection(const QString &path, Open open, Collation collation = Collation::Previous)
    {
        const QByteArray name = open == Open::Immutable ? uriOf(path) : QFile::encodeName(path);
        const int flags = open == Open::ReadWrite ? SQLITE_OPEN_READWRITE
            : open == Open::ReadOnly              ? SQLITE_OPEN_READONLY
                                                  : SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        m_rc = sqlite3_open_v2(name.constData(), &m_h, flags, nullptr);
        // SQLite's words now: the calls below would replace them.
        if (m_rc != SQLITE_OK)
            m_error = m_h ? QString::fromUtf8(sqlite3_errmsg(m_h)) : QString::fromUtf8(sqlite3_errstr(m_rc));
        if (m_h) {
            sqlite3_extended_result_codes(m_h, 1);
            sqlite3_busy_timeout(m_h, kBusyWaitMs);
            if (collation == Collation::Previous)
                DbFile::installPreviousCollation(m_h);
        }
    }
    ~Connection() { sqlite3_close_v2(m_h); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    int rc() const { return m_rc; }
    QString error() const { return m_error; }
    sqlite3 *handle() const { return m_h; }

    // Runs a statement, handing each row to `row`; false on failure, with
    // rc() and error() telling why.
    bool run(const QString &sql, const std::function<void(const Db::Statement &)> &row = {},
             const Params &args = {})
    {
        try {
            Db::Statement st(m_h, sql, args);
            while (st.next())
                if (row)
                    row(st);
            m_rc = SQLITE_OK;
            return true;
        } catch (const DbError &e) {
            m_rc = e.code() != SQLITE_OK ? e.code() : SQLITE_ERROR;
            m_error = e.message();
            return false;
        }
    }
    // As run(), throwing DbError (with SQLite's code) on failure.
    void must(const QString &sql, const Params &args = {}) { each(sql, args, {}); }
    void each(const QString &sql, const Params &args, const std::function<void(const Db::Statement &)> &row)
    {
        if (!run(sql, row, args))
            throw DbError(m_error, m_rc);
    }
    qint64 number(const QString &sql, const Params &args = {})
    {
        qint64 n = 0;
        each(sql, args, [&](const Db::Statement &st) { n = st.integer64(0); });
        return n;
    }

private:
    sqlite3 *m_h = nullptr;
    int m_rc = SQLITE_OK;
    QString m_error;
};

inline DbFile::Check problem(DbFile::Problem p, const QString &detail = QString())
{
    DbFile::Check check;
    check.problem = p;
    check.detail = detail;
    return check;
}

// What a failed SQLite call says about the file.
inline DbFile::Check fromSqlite(int rc, const QString &error)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return problem(DbFile::Problem::InUse, error);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return problem(DbFile::Problem::Damaged, error);
    case SQLITE_FULL:
        return problem(DbFile::Problem::NoRoom, error);
    default:
        return problem(DbFile::Problem::Unreadable, error);
    }
}

inline DbFile::Check fromConnection(const Connection &c)
{
    return fromSqlite(c.rc(), c.error());
}

// The file a path names, through any symbolic links: the conversion's
// journal goes beside that file, where SQLite looks for it.
inline QString realPathOf(const QString &path)
{
    const QFileInfo info(path);
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.absoluteFilePath() : real;
}

// A name as SQL quotes it.
inline QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// The collation text columns were declared with in the previous format.
inline const QString kPreviousCollation = QStringLiteral("UNOCASE");

inline bool hasPreviousCollation(const QString &sql)
{
    return SqlText::namesCollation(sql.toUtf8(), kPreviousCollation);
}

// Whether the file's header says it is in write-ahead log mode (its read
// and write versions, bytes 18 and 19, are 2). Nothing is opened but the
// file itself, for reading.
bool isWriteAheadLog(const QString &path);

// Whether a program table of the file the connection reads is still
// declared with the collation of the previous format.
bool isPreviousFormat(Connection &c);

// Why this user cannot write to a file beside which another user's
// stopped change left its rollback journal, which SQLite must open to
// put the file back and remove at the end of every change, and who can:
// "" when there is no journal, or this user can do both.
QString stoppedChangeOf(const QString &path);

} // namespace DbFileInternal
