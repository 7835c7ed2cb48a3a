#include "DbFile.h"

#include "Db.h"
#include "DbStatement.h"
#include "Schema.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a check waits for another program's lock before it calls the
// file in use.
constexpr int kBusyWaitMs = 2000;

// The collation text columns were declared with in the previous format.
// Reading such a file needs it (its indexes are ordered by it): names
// compared upper-cased, by their letters without accents first.
QString withoutAccents(const QString &upper)
{
    const QString d = upper.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(d.size());
    for (const QChar c : d)
        if (c.category() != QChar::Mark_NonSpacing)
            out.append(c);
    return out;
}

int previousCollation(void *, int len1, const void *s1, int len2, const void *s2)
{
    const QString a = Db::upper(QString::fromUtf8(static_cast<const char *>(s1), len1));
    const QString b = Db::upper(QString::fromUtf8(static_cast<const char *>(s2), len2));
    const int primary = QString::compare(withoutAccents(a), withoutAccents(b), Qt::CaseSensitive);
    if (primary != 0)
        return primary;
    return QString::compare(a, b, Qt::CaseSensitive);
}

enum class Open { ReadOnly, ReadWrite, Create };

// One SQLite connection of its own, closed when it goes.
class Connection {
public:
    Connection(const QString &path, Open open)
    {
        const QByteArray name = QFile::encodeName(path);
        const int flags = open == Open::ReadOnly ? SQLITE_OPEN_READONLY
            : open == Open::ReadWrite            ? SQLITE_OPEN_READWRITE
                                                 : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI;
        m_rc = sqlite3_open_v2(name.constData(), &m_h, flags, nullptr);
        if (m_h) {
            sqlite3_extended_result_codes(m_h, 1);
            sqlite3_busy_timeout(m_h, kBusyWaitMs);
            DbFile::installPreviousCollation(m_h);
            Db::installFunctions(m_h);
        }
        if (m_rc != SQLITE_OK)
            m_error = m_h ? QString::fromUtf8(sqlite3_errmsg(m_h)) : QString::fromUtf8(sqlite3_errstr(m_rc));
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

DbFile::Check problem(DbFile::Problem p, const QString &detail = QString())
{
    DbFile::Check check;
    check.problem = p;
    check.detail = detail;
    return check;
}

// What a failed SQLite call says about the file.
DbFile::Check fromSqlite(int rc, const QString &error)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return problem(DbFile::Problem::InUse, error);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return problem(DbFile::Problem::Damaged, error);
    default:
        return problem(DbFile::Problem::Unreadable, error);
    }
}

DbFile::Check fromConnection(const Connection &c)
{
    return fromSqlite(c.rc(), c.error());
}

// The table names of a file, upper-cased, and the SQL of each.
QHash<QString, QString> tablesOf(Connection &c)
{
    QHash<QString, QString> out;
    c.run(QStringLiteral("select name, sql from sqlite_master where type = 'table'"),
          [&](const Db::Statement &st) { out.insert(st.text(0).toUpper(), st.text(1)); });
    return out;
}

bool isKeyColumn(const QString &table, const QString &column)
{
    for (const Db::NameKeyColumn &k : Db::nameKeyColumns())
        if (table.compare(QLatin1String(k.table), Qt::CaseInsensitive) == 0
            && column.compare(QLatin1String(k.keyColumn), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool hasPreviousCollation(const QString &sql)
{
    return sql.contains(QLatin1String("UNOCASE"), Qt::CaseInsensitive);
}

QString listed(const QStringList &items)
{
    constexpr int kShown = 12;
    if (items.size() <= kShown)
        return items.join(QStringLiteral(", "));
    return items.mid(0, kShown).join(QStringLiteral(", "))
        + QStringLiteral(" and %1 more").arg(items.size() - kShown);
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// What someone added of their own is made again without the collation
// of the previous format, so the file stays one plain SQLite can use;
// its text then compares as the program's own columns do, as plain text.
QString withoutPreviousCollation(QString sql)
{
    const QRegularExpression collate(QStringLiteral(R"(\s*\bCOLLATE\s+(UNOCASE\b|"UNOCASE"|'UNOCASE'|`UNOCASE`|\[UNOCASE\]))"),
                                     QRegularExpression::CaseInsensitiveOption);
    return sql.remove(collate);
}

// See DbFile::setConversionHook.
std::function<void(sqlite3 *)> &conversionHook()
{
    static std::function<void(sqlite3 *)> hook;
    return hook;
}

// The file a path names, through any symbolic links: the converted file
// takes that file's place, and a link goes on pointing at it.
QString realPathOf(const QString &path)
{
    const QFileInfo info(path);
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.absoluteFilePath() : real;
}

// The new database is built beside the original, on the same disk, so
// that one rename puts it in the original's place.
QString scratchPathOf(const QString &real)
{
    return real + QStringLiteral(".converting");
}

void removeScratch(const QString &scratch)
{
    QFile::remove(scratch);
    QFile::remove(scratch + QStringLiteral("-journal"));
}

// Why a conversion stopped, from SQLite's result code and the system's
// error number (a full disk may show as either).
DbFile::Check notConverted(int rc, int systemError, const QString &detail)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return problem(DbFile::Problem::InUse, detail);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return problem(DbFile::Problem::Damaged, detail); // only the original is read
    default:
        break;
    }
    DbFile::Check check = problem(DbFile::Problem::NotConverted, detail);
    if ((rc & 0xff) == SQLITE_FULL || systemError == ENOSPC || systemError == EDQUOT)
        check.cause = DbFile::Cause::NoRoom;
    else if ((rc & 0xff) == SQLITE_CONSTRAINT)
        check.cause = DbFile::Cause::Data;
    return check;
}

// Something someone added to the file that does not come through.
struct AdditionFailed {
    QString object; // "the view \"x\""
    QString why;
};

struct StoredObject {
    QString type;
    QString name;
    QString sql;
};

struct StoredColumn {
    QString name;
    QString type;
    int hidden = 0; // generated columns are not 0
};

QList<StoredColumn> columnsOf(Connection &c, const QString &schema, const QString &table)
{
    QList<StoredColumn> out;
    c.each(QStringLiteral("select name, type, hidden from pragma_table_xinfo(?, ?) order by cid"), {table, schema},
           [&](const Db::Statement &st) { out.append({st.text(0), st.text(1), st.integer(2)}); });
    return out;
}

bool isInternal(const QString &name)
{
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

bool existsInMain(Connection &c, const QString &name)
{
    return c.number(QStringLiteral("select count(*) from main.sqlite_master where name = ? collate nocase"), {name})
        > 0;
}

// Copies the rows of orig.<table> into main.<table>; with `rowid` the
// rowids too, so rows without an id column of their own keep their order.
void copyRows(Connection &c, const QString &table, QStringList into, QStringList from, bool rowid)
{
    if (rowid) {
        into << QStringLiteral("rowid");
        from << QStringLiteral("rowid");
    }
    c.must(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3 FROM orig.%1")
               .arg(quoted(table), into.join(QStringLiteral(", ")), from.join(QStringLiteral(", "))));
}

// A table of the schema, made from the schema's statement, with the
// columns someone added, and the original's rows with their name keys.
void copySchemaTable(Connection &c, const Schema::Table &t)
{
    c.must(t.sql);
    QSet<QString> schemaColumns;
    for (const QString &col : t.columns)
        schemaColumns.insert(col.toUpper());
    QSet<QString> present;
    QStringList into, from;
    for (const StoredColumn &col : columnsOf(c, QStringLiteral("orig"), t.name)) {
        present.insert(col.name.toUpper());
        if (schemaColumns.contains(col.name.toUpper()))
            continue;
        // A column someone added comes along with its type, without collation.
        const QString object = QStringLiteral("the column \"%1.%2\"").arg(t.name, col.name);
        if (col.hidden != 0)
            throw AdditionFailed{object, QStringLiteral("a generated column")};
        try {
            c.must(QStringLiteral("ALTER TABLE main.%1 ADD COLUMN %2 %3").arg(quoted(t.name), quoted(col.name), col.type));
        } catch (const DbError &e) {
            throw AdditionFailed{object, e.message()};
        }
        into << quoted(col.name);
        from << quoted(col.name);
    }
    for (const QString &col : t.columns) {
        if (present.contains(col.toUpper())) {
            into << quoted(col);
            from << quoted(col);
        }
    }
    for (const Db::NameKeyColumn &k : Db::nameKeyColumns()) {
        if (t.name.compare(QLatin1String(k.table), Qt::CaseInsensitive) != 0
            || present.contains(QString::fromLatin1(k.keyColumn).toUpper()))
            continue;
        into << quoted(QLatin1String(k.keyColumn));
        from << QStringLiteral("namekey(%1)").arg(quoted(QLatin1String(k.nameColumn)));
    }
    copyRows(c, t.name, into, from, true);
}

// A table of someone's own, from its statement, with its rows; false for
// a virtual table, whose rows live in its shadow tables: those, made with
// it, are filled as tables of their own.
bool copyOwnTable(Connection &c, const StoredObject &o)
{
    const QString sql = withoutPreviousCollation(o.sql);
    const bool isVirtual = sql.startsWith(QLatin1String("CREATE VIRTUAL TABLE"), Qt::CaseInsensitive);
    const bool made = existsInMain(c, o.name);
    if (!made) {
        try {
            c.must(sql);
        } catch (const DbError &e) {
            throw AdditionFailed{QStringLiteral("the table \"%1\"").arg(o.name), e.message()};
        }
    }
    if (isVirtual)
        return false;
    if (made)
        c.must(QStringLiteral("DELETE FROM main.%1").arg(quoted(o.name)));
    QStringList columns;
    bool rowidColumn = false;
    for (const StoredColumn &col : columnsOf(c, QStringLiteral("orig"), o.name)) {
        rowidColumn = rowidColumn || col.name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0;
        if (col.hidden == 0)
            columns << quoted(col.name);
    }
    // A table WITHOUT ROWID has none.
    const bool rowid = !rowidColumn && c.run(QStringLiteral("SELECT rowid FROM orig.%1 LIMIT 0").arg(quoted(o.name)));
    copyRows(c, o.name, columns, columns, rowid);
    return true;
}

// SQLite's words when a statement does not prepare; "" when it does.
QString prepareError(sqlite3 *h, const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(h, text.constData(), int(text.size()), &st, nullptr);
    const QString why = rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_finalize(st);
    return why;
}

// Fills the new database (main) from the original (orig) inside the open
// transaction. Returns the tables copied, whose rows are counted after.
QStringList copyAll(Connection &c)
{
    QList<StoredObject> stored;
    c.each(QStringLiteral("select type, name, sql from orig.sqlite_master where sql is not null order by rowid"), {},
           [&](const Db::Statement &st) { stored.append({st.text(0), st.text(1), st.text(2)}); });
    QStringList copied;
    QSet<QString> schemaTables;
    for (const Schema::Table &t : Schema::tables()) {
        copySchemaTable(c, t);
        schemaTables.insert(t.name.toUpper());
        copied << t.name;
    }
    // SQLite's own tables (statistics and the like) are not carried; the
    // id counters are, below.
    for (const StoredObject &o : std::as_const(stored)) {
        if (o.type != QLatin1String("table") || isInternal(o.name) || schemaTables.contains(o.name.toUpper()))
            continue;
        if (copyOwnTable(c, o))
            copied << o.name;
    }
    // An id once given out is never given again: each counter keeps the
    // higher of its value in the original and the highest id copied.
    if (c.number(QStringLiteral("select count(*) from orig.sqlite_master where name = 'sqlite_sequence'")) > 0) {
        QList<QPair<QString, qint64>> counters;
        c.each(QStringLiteral("select name, seq from orig.sqlite_sequence"), {},
               [&](const Db::Statement &st) { counters.append({st.text(0), st.integer64(1)}); });
        for (const auto &[name, seq] : std::as_const(counters)) {
            QString table;
            c.each(QStringLiteral("select name from main.sqlite_master where type = 'table' and name = ? collate nocase"),
                   {name}, [&](const Db::Statement &st) { table = st.text(0); });
            if (table.isEmpty())
                continue;
            c.must(QStringLiteral("UPDATE main.sqlite_sequence SET seq = max(seq, ?) WHERE name = ?"), {seq, table});
            if (sqlite3_changes(c.handle()) == 0)
                c.must(QStringLiteral("INSERT INTO main.sqlite_sequence (name, seq) VALUES (?, ?)"), {table, seq});
        }
    }
    // Indexes and triggers once the rows are in: the triggers must not fire
    // for the copy.
    for (const Schema::Table &t : Schema::tables())
        for (const QString &sql : t.indexSql + t.triggerSql)
            c.must(sql);
    // What someone added of their own; what has the name of one of the
    // schema's is the program's, made anew above.
    for (const QString &type : {QStringLiteral("index"), QStringLiteral("view"), QStringLiteral("trigger")}) {
        for (const StoredObject &o : std::as_const(stored)) {
            if (o.type != type || existsInMain(c, o.name))
                continue;
            try {
                c.must(withoutPreviousCollation(o.sql));
            } catch (const DbError &e) {
                throw AdditionFailed{QStringLiteral("the %1 \"%2\"").arg(type, o.name), e.message()};
            }
        }
    }
    // A view is only made, not checked, by CREATE VIEW: one that worked in
    // the original must work on the new tables.
    for (const StoredObject &o : std::as_const(stored)) {
        if (o.type != QLatin1String("view")
            || !prepareError(c.handle(), QStringLiteral("SELECT * FROM orig.%1").arg(quoted(o.name))).isEmpty())
            continue;
        const QString why = prepareError(c.handle(), QStringLiteral("SELECT * FROM main.%1").arg(quoted(o.name)));
        if (!why.isEmpty())
            throw AdditionFailed{QStringLiteral("the view \"%1\"").arg(o.name), why};
    }
    for (const char *pragma : {"user_version", "application_id"}) {
        const qint64 value = c.number(QStringLiteral("PRAGMA orig.%1").arg(QLatin1String(pragma)));
        c.must(QStringLiteral("PRAGMA main.%1 = %2").arg(QLatin1String(pragma)).arg(value));
    }
    return copied;
}

// The new database is checked before it replaces anything: every page
// sound, and every table as many rows as in the original.
void verify(Connection &c, const QStringList &tables)
{
    QStringList findings;
    c.each(QStringLiteral("PRAGMA main.integrity_check(5)"), {}, [&](const Db::Statement &st) { findings << st.text(0); });
    if (findings != QStringList{QStringLiteral("ok")})
        throw DbError(QStringLiteral("the new file failed its check: %1").arg(findings.join(QStringLiteral("; "))),
                      SQLITE_ERROR);
    for (const QString &table : tables) {
        const qint64 had = c.number(QStringLiteral("SELECT count(*) FROM orig.%1").arg(quoted(table)));
        const qint64 has = c.number(QStringLiteral("SELECT count(*) FROM main.%1").arg(quoted(table)));
        if (had != has)
            throw DbError(QStringLiteral("the new file holds %1 rows of the table %2 instead of %3").arg(has).arg(table).arg(had),
                          SQLITE_ERROR);
    }
}

// Builds the new database in the scratch file, on a connection of its own
// with the original attached read only. The scratch is thrown away on any
// failure, so it is written without a journal and without waiting for the
// disk; it is put on the disk once, before the rename.
DbFile::Check build(const QString &real, const QString &scratch)
{
    Connection c(scratch, Open::Create);
    if (!c.ok())
        return notConverted(c.rc(), c.handle() ? sqlite3_system_errno(c.handle()) : 0, c.error());
    if (conversionHook())
        conversionHook()(c.handle());
    try {
        c.must(QStringLiteral("PRAGMA main.journal_mode = OFF"));
        c.must(QStringLiteral("PRAGMA main.synchronous = OFF"));
        c.must(QStringLiteral("ATTACH ? AS orig"),
               {QUrl::fromLocalFile(real).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=ro")});
        c.must(QStringLiteral("BEGIN"));
        const QStringList tables = copyAll(c);
        c.must(QStringLiteral("COMMIT"));
        verify(c, tables);
        c.must(QStringLiteral("DETACH orig"));
    } catch (const AdditionFailed &failed) {
        DbFile::Check check = problem(DbFile::Problem::NotConverted, failed.why);
        check.cause = DbFile::Cause::Addition;
        check.object = failed.object;
        return check;
    } catch (const DbError &e) {
        return notConverted(e.code(), sqlite3_system_errno(c.handle()), e.message());
    }
    return {};
}

// Puts the new file in the original's place: on the disk first, with the
// original's permissions (and owner, where the system allows), then by one
// rename, which replaces the original whole or not at all.
DbFile::Check putInPlace(const QString &scratch, const QString &real)
{
    const QByteArray from = QFile::encodeName(scratch);
    const QByteArray to = QFile::encodeName(real);
    auto failed = [](const QString &what) {
        const int error = errno;
        return notConverted(SQLITE_IOERR, error, QStringLiteral("%1: %2").arg(what, qt_error_string(error)));
    };
    struct stat original {};
    if (::stat(to.constData(), &original) != 0)
        return failed(QStringLiteral("the file cannot be looked at"));
    const int fd = ::open(from.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return failed(QStringLiteral("the new file cannot be opened"));
    bool written = ::fchmod(fd, original.st_mode & 07777) == 0;
    if (written && ::fchown(fd, original.st_uid, original.st_gid) != 0) {
        // Only a privileged user may give a file to another; the file is
        // the user's own then, as a copy of it would be.
    }
    written = written && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    if (!written)
        return failed(QStringLiteral("the new file cannot be written"));
    if (::rename(from.constData(), to.constData()) != 0)
        return failed(QStringLiteral("the new file cannot take the old one's place"));
    // The rename is on the disk once the folder is: the file is converted
    // already, whether this succeeds or not.
    const int folder = ::open(QFile::encodeName(QFileInfo(real).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

// Removes the scratch file of a conversion that was stopped, unless a
// conversion is under way in another start of the program: that one holds
// a write lock on the original until it is done.
void removeLeftScratch(const QString &path)
{
    const QString real = realPathOf(path);
    const QString scratch = scratchPathOf(real);
    if (!QFileInfo::exists(scratch) && !QFileInfo::exists(scratch + QStringLiteral("-journal")))
        return;
    Connection c(real, Open::ReadWrite);
    if (c.ok()) {
        sqlite3_busy_timeout(c.handle(), 0);
        if (!c.run(QStringLiteral("BEGIN IMMEDIATE"))) {
            const int rc = c.rc() & 0xff;
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                return;
        }
    }
    removeScratch(scratch); // one a stopped conversion left
    c.run(QStringLiteral("ROLLBACK"));
}

} // namespace

namespace DbFile {

bool installPreviousCollation(sqlite3 *handle)
{
    return handle && sqlite3_create_collation(handle, "UNOCASE", SQLITE_UTF8, nullptr, previousCollation) == SQLITE_OK;
}

// What stopped a conversion, as it follows "could not be brought up to
// date".
static QString notConvertedBecause(const Check &c)
{
    if (c.cause == Cause::Addition)
        return QStringLiteral(": %1, which was added to it with another tool, does not work with the new version of "
                              "the database (%2).")
            .arg(c.object, c.detail);
    return QStringLiteral(" (%1).").arg(c.detail);
}

QString Check::reason() const
{
    switch (problem) {
    case Problem::None:
        return {};
    case Problem::Missing:
        return QStringLiteral("The file is not there.");
    case Problem::Empty:
        return QStringLiteral("The file is empty: it holds no data at all (0 bytes).");
    case Problem::InUse:
        return QStringLiteral("The file is in use by another program (%1).").arg(detail);
    case Problem::Damaged:
        return QStringLiteral("The file is damaged (%1).").arg(detail);
    case Problem::Unreadable:
        return QStringLiteral("The file cannot be read or written (%1).").arg(detail);
    case Problem::Incomplete:
        return QStringLiteral("The file is not a complete database of The Velmora (missing: %1).").arg(detail);
    case Problem::NotConverted:
        return QStringLiteral("The file is a database of an earlier version of The Velmora, and it could not be "
                              "brought up to date")
            + notConvertedBecause(*this);
    }
    return {};
}

QString Check::message(const QString &path) const
{
    const QString file = QStringLiteral("The database \"%1\"").arg(path);
    switch (problem) {
    case Problem::None:
        return {};
    case Problem::Missing:
        return file + QStringLiteral(" is not there.");
    case Problem::Empty:
        return file + QStringLiteral(" is empty: the file holds no data at all (0 bytes).\n\n"
                                     "Put back a copy of the database from your backup. If you have none, move "
                                     "the empty file out of the program folder: the program then starts with a "
                                     "new, empty database.");
    case Problem::InUse:
        return file + QStringLiteral(" is in use by another program.\n\n"
                                     "Close the other program, then start The Velmora again. (%1)")
                          .arg(detail);
    case Problem::Damaged:
        return file + QStringLiteral(" is damaged (%1).\n\n"
                                     "Restore the database from a backup copy. The program has not changed the "
                                     "file.")
                          .arg(detail);
    case Problem::Unreadable:
        return file + QStringLiteral(" cannot be read or written (%1).\n\n"
                                     "Check that the file and the program folder are not read-only and that you "
                                     "may change them, then start The Velmora again.")
                          .arg(detail);
    case Problem::Incomplete:
        return file + QStringLiteral(" is not a complete database of The Velmora (missing: %1).\n\n"
                                     "It may belong to another program. Restore the database from a backup copy. "
                                     "The program has not changed the file.")
                          .arg(detail);
    case Problem::NotConverted: {
        // Whatever stopped it, the conversion wrote only to a file of its
        // own, which is gone.
        QString advice;
        switch (cause) {
        case Cause::NoRoom:
            advice = QStringLiteral("Bringing it up to date needs room on the disk for a second copy of the file: "
                                    "make room on the disk, then start The Velmora again.");
            break;
        case Cause::Data:
            advice = QStringLiteral("Some of its rows hold values that this version of The Velmora does not accept "
                                    "(the words in brackets name the rule they break); another program may have "
                                    "written them. Have them corrected with a database tool, then start The Velmora "
                                    "again.");
            break;
        case Cause::Addition:
            advice = QStringLiteral("Change or remove %1 with the tool it was made with, then start The Velmora "
                                    "again.")
                         .arg(object);
            break;
        case Cause::Other:
            advice = QStringLiteral("Start The Velmora again; if this message comes back, keep a copy of the file "
                                    "and ask for help with it.");
            break;
        }
        return file + QStringLiteral(" is of an earlier version of The Velmora and could not be brought up to date")
            + notConvertedBecause(*this) + QStringLiteral("\n\nNothing in it has been changed or lost. ") + advice;
    }
    }
    return {};
}

Check probe(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return problem(Problem::Missing);
    if (!info.isFile())
        return problem(Problem::Unreadable, QStringLiteral("it is not a file"));
    if (info.size() == 0)
        return problem(Problem::Empty);
    Connection c(path, Open::ReadWrite);
    if (!c.ok())
        return fromConnection(c);
    // SQLite reads a file lazily: the first read tells whether it is a
    // database at all.
    if (!c.run(QStringLiteral("select count(*) from sqlite_master")))
        return fromConnection(c);
    if (sqlite3_db_readonly(c.handle(), "main") == 1)
        return problem(Problem::Unreadable, QStringLiteral("the file is read-only"));
    // A write lock (another program writing to the file holds it) and a
    // write that is rolled back: it makes the rollback journal beside the
    // file, which a read-only folder refuses. The file itself is not
    // written.
    qint64 version = 0;
    if (!c.run(QStringLiteral("BEGIN IMMEDIATE")))
        return fromConnection(c);
    const bool written = c.run(QStringLiteral("PRAGMA user_version"),
                               [&](const Db::Statement &st) { version = st.integer64(0); })
        && c.run(QStringLiteral("PRAGMA user_version = %1").arg(version));
    const Check check = written ? Check{} : fromConnection(c);
    if (!c.run(QStringLiteral("ROLLBACK")) && check.ok())
        return fromConnection(c);
    return check;
}

Check checkTables(const QString &path, bool withKeys)
{
    Connection c(path, Open::ReadOnly);
    if (!c.ok())
        return fromConnection(c);
    const QHash<QString, QString> present = tablesOf(c);
    if (c.rc() != SQLITE_OK)
        return fromConnection(c);
    QStringList missingTables, missingColumns;
    for (const Schema::Table &t : Schema::tables()) {
        if (!present.contains(t.name.toUpper())) {
            missingTables << t.name;
            continue;
        }
        QSet<QString> columns;
        if (!c.run(QStringLiteral("select name from pragma_table_info(?)"),
                   [&](const Db::Statement &st) { columns.insert(st.text(0).toUpper()); }, {t.name}))
            return fromConnection(c);
        for (const QString &col : t.columns)
            if (!columns.contains(col.toUpper()) && (withKeys || !isKeyColumn(t.name, col)))
                missingColumns << t.name + QLatin1Char('.') + col;
    }
    if (missingTables.isEmpty() && missingColumns.isEmpty())
        return {};
    QStringList parts;
    if (!missingTables.isEmpty())
        parts << (missingTables.size() == 1 ? QStringLiteral("the table ") : QStringLiteral("the tables "))
                     + listed(missingTables);
    if (!missingColumns.isEmpty())
        parts << (missingColumns.size() == 1 ? QStringLiteral("the column ") : QStringLiteral("the columns "))
                     + listed(missingColumns);
    return problem(Problem::Incomplete, parts.join(QStringLiteral("; ")));
}

Check checkPages(const QString &path)
{
    Connection c(path, Open::ReadOnly);
    if (!c.ok())
        return fromConnection(c);
    QStringList findings;
    if (!c.run(QStringLiteral("PRAGMA quick_check(20)"), [&](const Db::Statement &st) { findings << st.text(0); }))
        return fromConnection(c);
    if (findings == QStringList{QStringLiteral("ok")})
        return {};
    if (findings.isEmpty())
        return problem(Problem::Damaged, QStringLiteral("no answer from the page check"));
    // SQLite may answer with one text of many lines under a heading
    // ("*** in database main ***"): the first fault says enough.
    for (const QString &finding : std::as_const(findings)) {
        for (const QString &line : finding.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString fault = line.trimmed();
            if (!fault.isEmpty() && !fault.startsWith(QLatin1String("***")))
                return problem(Problem::Damaged, fault);
        }
    }
    return problem(Problem::Damaged, QStringLiteral("damaged pages"));
}

bool isPreviousFormat(const QString &path)
{
    if (QFileInfo(path).size() == 0)
        return false;
    Connection c(path, Open::ReadOnly);
    if (!c.ok())
        return false;
    const QHash<QString, QString> present = tablesOf(c);
    for (const Schema::Table &t : Schema::tables())
        if (hasPreviousCollation(present.value(t.name.toUpper())))
            return true;
    return false;
}

Check convert(const QString &path)
{
    const QString real = realPathOf(path);
    const QString scratch = scratchPathOf(real);
    // The original is only ever read. This write lock on it, held until
    // the new file has taken its place, keeps other programs from changing
    // it meanwhile; it writes nothing (no page changes, so no journal is
    // made). Another start of the program finds the file in use, and so
    // never touches this one's scratch file.
    Connection hold(real, Open::ReadWrite);
    if (!hold.ok() || !hold.run(QStringLiteral("BEGIN IMMEDIATE")))
        return fromConnection(hold);
    // A file another tool has put in write-ahead log mode keeps committed
    // rows in a log beside it, which would be left lying there and be read
    // as part of the new file. Such a file is left as it is.
    QString journal;
    hold.run(QStringLiteral("PRAGMA main.journal_mode"), [&](const Db::Statement &st) { journal = st.text(0); });
    if (journal.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0) {
        hold.run(QStringLiteral("ROLLBACK"));
        return problem(Problem::NotConverted,
                       QStringLiteral("another tool has put it in write-ahead log mode: set it back with "
                                      "PRAGMA journal_mode = DELETE"));
    }
    removeScratch(scratch); // one a stopped conversion left
    Check check = build(real, scratch);
    if (check.ok()) {
        const Check tables = checkTables(scratch, true);
        if (!tables.ok())
            check = problem(Problem::NotConverted, QStringLiteral("the new file is not complete: %1").arg(tables.detail));
    }
    if (check.ok())
        check = putInPlace(scratch, real);
    if (!check.ok())
        removeScratch(scratch);
    hold.run(QStringLiteral("ROLLBACK"));
    return check;
}

void setConversionHook(std::function<void(sqlite3 *)> hook)
{
    conversionHook() = std::move(hook);
}

Check prepare(const QString &path, PageCheck pages)
{
    // Before anything else: a scratch file left beside the database by a
    // conversion that was stopped part-way (the program killed, the power
    // gone) is removed. The original was never written, so it still holds
    // everything, and it is converted anew below.
    removeLeftScratch(path);
    Check check = probe(path);
    if (!check.ok())
        return check;
    if (isPreviousFormat(path)) {
        // Only a complete and sound file is converted.
        check = checkTables(path, false);
        if (check.ok())
            check = checkPages(path);
        if (check.ok())
            check = convert(path);
        if (!check.ok())
            return check;
    }
    check = checkTables(path, true);
    if (check.ok() && pages == PageCheck::Run)
        check = checkPages(path);
    return check;
}

} // namespace DbFile
