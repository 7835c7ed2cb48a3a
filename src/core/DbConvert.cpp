// The conversion of a database of the previous format: the original held
// and only read, a byte copy of it beside it, the old collation taken out
// of the copy's schema on a connection of plain SQLite, what the current
// schema adds made, the copy checked and renamed into place.
#include "DbFile.h"

#include "DbFileInternal.h"
#include "Schema.h"
#include "SqlText.h"

#include <QByteArray>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace DbFileInternal;

namespace {

// While it is built, and from the moment it is made, the new file
// carries the sticky bit, which means nothing on a file of data: a file
// under the scratch name without it is not one the program made, and is
// never removed. The bit goes once the file has taken the original's
// place.
constexpr mode_t kScratchMark = S_ISVTX;

// The system's name of a file's access ACL.
const char *const kAccessAcl = "system.posix_acl_access";

// See DbFile::setConversionHook.
std::function<void(sqlite3 *)> &conversionHook()
{
    static std::function<void(sqlite3 *)> hook;
    return hook;
}

// A call to the system that failed, with its error number.
struct SystemFailed {
    int error;
    QString what;
};

// Something someone added to the file that does not work with the new
// tables.
struct AdditionFailed {
    QString object; // "the view \"x\""
    QString why;
};

// A file descriptor of our own, closed when it goes.
class Fd {
public:
    Fd(const QString &path, int flags, mode_t mode = 0) : m_fd(::open(QFile::encodeName(path).constData(), flags, mode)) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }

private:
    int m_fd;
};

void must(bool done, const QString &what)
{
    if (!done)
        throw SystemFailed{errno, what};
}

void writeAll(int fd, const char *data, qint64 size, qint64 at)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(size), off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        must(n > 0, QStringLiteral("the new file cannot be written"));
        data += n;
        size -= n;
        at += n;
    }
}

// Why a conversion stopped, from SQLite's result code and the system's
// error number (a full disk may show as either).
DbFile::Check notConverted(int rc, int systemError, const QString &detail)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return problem(DbFile::Problem::InUse, detail);
    default:
        // Whatever else SQLite says (damage among it) is of the new file:
        // the original was checked before it was copied.
        break;
    }
    DbFile::Check check = problem(DbFile::Problem::NotConverted, detail);
    if ((rc & 0xff) == SQLITE_FULL || systemError == ENOSPC || systemError == EDQUOT)
        check.cause = DbFile::Cause::NoRoom;
    else if ((rc & 0xff) == SQLITE_CONSTRAINT)
        check.cause = DbFile::Cause::Data;
    return check;
}

DbFile::Check notConverted(DbFile::Cause cause, const QString &object, const QString &detail = QString())
{
    DbFile::Check check = problem(DbFile::Problem::NotConverted, detail);
    check.cause = cause;
    check.object = object;
    return check;
}

// Whether the file is one a conversion made and left (it carries the
// mark); a link, a folder or anything else is not.
bool isStoppedConversion(const QString &scratch)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(scratch).constData(), &info) == 0 && S_ISREG(info.st_mode)
        && (info.st_mode & kScratchMark) != 0;
}

// The files SQLite keeps beside a database, which it would read, or
// remove, when it opens the new file: none may be there.
QString besideScratch(const QString &scratch)
{
    for (const char *suffix : {"-journal", "-wal", "-shm"}) {
        const QString path = scratch + QLatin1String(suffix);
        struct stat info {};
        if (::lstat(QFile::encodeName(path).constData(), &info) == 0)
            return path;
    }
    return {};
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

// Makes the scratch file, as open as the original and no more: its mode
// and access ACL, and its owner and group where the system lets the user
// give them (any member of a group may give a file of theirs that group).
// What the folder's default ACL would give the file goes. Where the group
// cannot be kept, the user's own group gets no more than the original
// gave everybody, and no ACL. Returns the mode the file is to have.
mode_t createScratch(const QString &scratch, const QString &real, const struct stat &original)
{
    const Fd fd(scratch, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600 | kScratchMark);
    must(fd.ok(), QStringLiteral("the new file cannot be made beside it"));
    mode_t mode = original.st_mode & 0777;
    const bool groupKept = ::fchown(fd.get(), original.st_uid, original.st_gid) == 0
        || ::fchown(fd.get(), uid_t(-1), original.st_gid) == 0;
    if (!groupKept)
        mode &= ~(0070 & ~((mode & 0007) << 3));
    must(::fremovexattr(fd.get(), kAccessAcl) == 0 || errno == ENODATA || errno == ENOTSUP,
         QStringLiteral("the new file cannot be given the file's permissions"));
    must(::fchmod(fd.get(), mode | kScratchMark) == 0, QStringLiteral("the new file cannot be given the file's permissions"));
    const QByteArray from = QFile::encodeName(real);
    const ssize_t size = groupKept ? ::getxattr(from.constData(), kAccessAcl, nullptr, 0) : -1;
    if (size > 0) {
        QByteArray acl(size, Qt::Uninitialized);
        const ssize_t read = ::getxattr(from.constData(), kAccessAcl, acl.data(), size_t(acl.size()));
        must(read > 0 && ::fsetxattr(fd.get(), kAccessAcl, acl.constData(), size_t(read), 0) == 0,
             QStringLiteral("the new file cannot be given the file's permissions"));
    }
    return mode;
}

// Copies the original byte for byte, through the held connection's own
// file (a second descriptor of the file, once closed, would drop its
// locks).
void copyOriginal(sqlite3 *hold, const QString &scratch)
{
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(hold, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
        throw DbError(QStringLiteral("the file cannot be read"), SQLITE_IOERR);
    sqlite3_int64 size = 0;
    int rc = file->pMethods->xFileSize(file, &size);
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("the file cannot be read"), rc);
    const Fd fd(scratch, O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    must(fd.ok(), QStringLiteral("the new file cannot be opened"));
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 at = 0; at < size;) {
        const int n = int(std::min<qint64>(buffer.size(), size - at));
        rc = file->pMethods->xRead(file, buffer.data(), n, at);
        if (rc != SQLITE_OK)
            throw DbError(QStringLiteral("the file cannot be read"), rc);
        writeAll(fd.get(), buffer.constData(), n, at);
        at += n;
    }
}

struct StoredObject {
    qint64 rowid;
    QString type;
    QString name;
    QString table;
    QByteArray sql; // as SQLite holds it
};

QList<StoredObject> storedObjects(Connection &c)
{
    QList<StoredObject> out;
    c.each(QStringLiteral("select rowid, type, name, tbl_name, sql from main.sqlite_master where sql is not null"), {},
           [&](const Db::Statement &st) {
               out.append({st.integer64(0), st.text(1), st.text(2), st.text(3), st.utf8(4).toByteArray()});
           });
    return out;
}

bool isProgramTrigger(const QString &name)
{
    for (const Schema::Table &t : Schema::tables())
        if (t.triggerNames.contains(name, Qt::CaseInsensitive))
            return true;
    return false;
}

// Runs a statement, prepared once, for each of `count` rows; `bind` binds
// the values of one.
void runForEach(Connection &c, const char *sql, qsizetype count, const std::function<void(sqlite3_stmt *, qsizetype)> &bind)
{
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(c.handle(), sql, -1, &st, nullptr);
    for (qsizetype i = 0; rc == SQLITE_OK && i < count; ++i) {
        bind(st, i);
        rc = sqlite3_step(st) == SQLITE_DONE ? sqlite3_reset(st) : sqlite3_errcode(c.handle());
    }
    const QString why = QString::fromUtf8(sqlite3_errmsg(c.handle()));
    sqlite3_finalize(st);
    if (rc != SQLITE_OK)
        throw DbError(why, rc);
}

const Schema::Table *programTable(const QString &name)
{
    for (const Schema::Table &t : Schema::tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

// What the schema's text loses: the collation of the previous format,
// in every statement of the file; the program's own columns name the
// collation the current schema gives them instead. The statements are
// rewritten in place (the file's pages hold the same values, in the same
// columns), so what SQLite has read of the schema is read anew after.
// Returns the tables and indexes whose order the change concerns.
QStringList takeOutPreviousCollation(Connection &c)
{
    QStringList reorder;
    QList<QPair<qint64, QByteArray>> rewritten;
    for (const StoredObject &o : storedObjects(c)) {
        const Schema::Table *own = o.type == QLatin1String("table") ? programTable(o.name) : nullptr;
        const QHash<QString, QString> current =
            own ? SqlText::columnCollations(own->sql.toUtf8()) : QHash<QString, QString>();
        const QByteArray sql = SqlText::replaceCollation(
            o.sql, kPreviousCollation, [&](const QString &column) { return current.value(column.toUpper()); });
        if (sql == o.sql)
            continue;
        rewritten.append({o.rowid, sql});
        if (o.type == QLatin1String("table") || o.type == QLatin1String("index"))
            reorder << o.name;
    }
    if (rewritten.isEmpty())
        return reorder;
    c.must(QStringLiteral("PRAGMA writable_schema = ON"));
    // The statements' own bytes, bound as text.
    runForEach(c, "UPDATE main.sqlite_master SET sql = ?1 WHERE rowid = ?2", rewritten.size(),
               [&](sqlite3_stmt *st, qsizetype i) {
                   const QByteArray &sql = rewritten.at(i).second;
                   sqlite3_bind_text(st, 1, sql.constData(), int(sql.size()), SQLITE_STATIC);
                   sqlite3_bind_int64(st, 2, rewritten.at(i).first);
               });
    const qint64 version = c.number(QStringLiteral("PRAGMA main.schema_version"));
    c.must(QStringLiteral("PRAGMA main.schema_version = %1").arg(version + 1));
    c.must(QStringLiteral("PRAGMA writable_schema = OFF"));
    return reorder;
}

QString sqlOf(Connection &c, const QString &type, const QString &name)
{
    QString sql;
    c.each(QStringLiteral("select sql from main.sqlite_master where type = ? and name = ? collate nocase"), {type, name},
           [&](const Db::Statement &st) { sql = st.text(0); });
    return sql;
}

// The program's own indexes and triggers that the current schema words
// otherwise than the previous format did go; they are made anew once the
// keys are filled.
void dropOutdated(Connection &c)
{
    for (const Schema::Table &t : Schema::tables()) {
        for (int i = 0; i < t.indexNames.size(); ++i) {
            const QString sql = sqlOf(c, QStringLiteral("index"), t.indexNames.at(i));
            if (!sql.isEmpty() && sql != t.indexSql.at(i))
                c.must(QStringLiteral("DROP INDEX main.%1").arg(quoted(t.indexNames.at(i))));
        }
        for (int i = 0; i < t.triggerNames.size(); ++i) {
            const QString sql = sqlOf(c, QStringLiteral("trigger"), t.triggerNames.at(i));
            if (!sql.isEmpty() && sql != t.triggerSql.at(i))
                c.must(QStringLiteral("DROP TRIGGER main.%1").arg(quoted(t.triggerNames.at(i))));
        }
    }
}

// The name keys of the current schema, added and filled. No trigger of
// the file fires for them: they are the program's own columns, new to the
// file, and the user's triggers had no part in them.
void addNameKeys(Connection &c)
{
    sqlite3_db_config(c.handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    for (const Db::NameKeyColumn &k : Db::nameKeyColumns()) {
        // The schema's names are plain words: the column is declared as the
        // schema declares it.
        const QString table = QLatin1String(k.table);
        const QString key = QLatin1String(k.keyColumn);
        if (c.number(QStringLiteral("select count(*) from pragma_table_info(?) where name = ? collate nocase"), {table, key})
            == 0)
            c.must(QStringLiteral("ALTER TABLE main.%1 ADD COLUMN %2 TEXT").arg(table, key));
        QList<QPair<qint64, QString>> rows;
        c.each(QStringLiteral("select %1, %2 from main.%3 where %4 is null")
                   .arg(QLatin1String(k.idColumn), QLatin1String(k.nameColumn), table, key),
               {}, [&](const Db::Statement &st) { rows.append({st.integer64(0), st.text(1)}); });
        const QByteArray update =
            QStringLiteral("update main.%1 set %2 = ? where %3 = ?").arg(table, key, QLatin1String(k.idColumn)).toUtf8();
        runForEach(c, update.constData(), rows.size(), [&](sqlite3_stmt *st, qsizetype i) {
            const QByteArray value = Db::nameKey(rows.at(i).second).toUtf8();
            sqlite3_bind_text(st, 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(st, 2, rows.at(i).first);
        });
    }
    sqlite3_db_config(c.handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 1, nullptr);
}

void addMissing(Connection &c, const QString &type, const QStringList &names, const QStringList &statements)
{
    for (int i = 0; i < names.size(); ++i)
        if (sqlOf(c, type, names.at(i)).isEmpty())
            c.must(statements.at(i));
}

// Views and triggers are only made, not checked, by their statements:
// what worked in the original must work in the new file (a name key the
// view's own tables have too makes its column names ambiguous; a trigger
// that copies a whole row of anthem finds one column more). A view is
// checked by reading it; the triggers of a table or view by preparing,
// never running, a write of each kind to it.
void checkViewsAndTriggers(Connection &original, Connection &c)
{
    const QList<StoredObject> stored = storedObjects(c);
    auto check = [&](const QString &sql, const QString &object) {
        if (!prepareError(original.handle(), sql).isEmpty())
            return;
        const QString why = prepareError(c.handle(), sql);
        if (!why.isEmpty())
            throw AdditionFailed{object, why};
    };
    QSet<QString> done;
    for (const StoredObject &o : stored) {
        if (o.type == QLatin1String("view"))
            check(QStringLiteral("SELECT * FROM main.%1").arg(quoted(o.name)), QStringLiteral("the view \"%1\"").arg(o.name));
        if (o.type != QLatin1String("trigger") || done.contains(o.table.toUpper()))
            continue;
        done.insert(o.table.toUpper());
        QStringList names, columns;
        for (const StoredObject &t : stored)
            if (t.type == QLatin1String("trigger") && t.table.compare(o.table, Qt::CaseInsensitive) == 0
                && !isProgramTrigger(t.name))
                names << QStringLiteral("\"%1\"").arg(t.name);
        c.each(QStringLiteral("select name from pragma_table_info(?)"), {o.table},
               [&](const Db::Statement &st) { columns << QStringLiteral("%1 = %1").arg(quoted(st.text(0))); });
        if (names.isEmpty())
            continue;
        const QString object = names.size() == 1
            ? QStringLiteral("the trigger %1").arg(names.first())
            : QStringLiteral("one of the triggers %1").arg(names.join(QStringLiteral(", ")));
        const QString table = quoted(o.table);
        check(QStringLiteral("INSERT INTO main.%1 DEFAULT VALUES").arg(table), object);
        if (!columns.isEmpty())
            check(QStringLiteral("UPDATE main.%1 SET %2").arg(table, columns.join(QStringLiteral(", "))), object);
        check(QStringLiteral("DELETE FROM main.%1").arg(table), object);
    }
}

QStringList findingsOf(Connection &c, const char *check)
{
    QStringList findings;
    c.each(QStringLiteral("PRAGMA main.%1(20)").arg(QLatin1String(check)), {},
           [&](const Db::Statement &st) { findings << st.text(0); });
    return findings;
}

// The checks of the sqlite3 shell, on a connection like its own. Rows
// that break a rule of their table are the original's rows, which another
// program wrote past the rule, unless the rule held in the original: then
// it needed the old collation.
void verify(Connection &original, Connection &c)
{
    const QStringList findings = findingsOf(c, "integrity_check");
    if (findings == QStringList{QStringLiteral("ok")})
        return;
    static const QRegularExpression broken(
        QStringLiteral("^(?:CHECK constraint failed|NULL value) in (\\S+?)(?:\\.\\S+)?$"));
    const QString all = findings.join(QStringLiteral("; "));
    QStringList ruled;
    for (const QString &f : findings) {
        const QRegularExpressionMatch m = broken.match(f);
        if (!m.hasMatch())
            throw DbError(QStringLiteral("the new file failed its check: %1").arg(all), SQLITE_ERROR);
        ruled << m.captured(1);
    }
    const QStringList before = findingsOf(original, "quick_check");
    for (int i = 0; i < findings.size(); ++i)
        if (!before.contains(findings.at(i)))
            throw AdditionFailed{QStringLiteral("a rule of the table \"%1\"").arg(ruled.at(i)),
                                 QStringLiteral("%1, where it held with the earlier version's comparison of names")
                                     .arg(findings.at(i))};
    throw DbError(all, SQLITE_CONSTRAINT);
}

void openForBuilding(std::optional<Connection> &c, const QString &scratch)
{
    c.emplace(scratch, Open::ReadWrite, Collation::None);
    if (!c->ok())
        throw DbError(c->error(), c->rc());
    // The copy is thrown away on any failure: no journal, and no waiting
    // for the disk until it is done.
    c->must(QStringLiteral("PRAGMA main.journal_mode = OFF"));
    c->must(QStringLiteral("PRAGMA main.synchronous = OFF"));
}

// Brings the copy up to date, on connections of plain SQLite.
void bringUpToDate(Connection &original, const QString &scratch)
{
    std::optional<Connection> c;
    openForBuilding(c, scratch);
    const QStringList reorder = takeOutPreviousCollation(*c);
    openForBuilding(c, scratch); // the schema as it now reads
    if (conversionHook())
        conversionHook()(c->handle());
    dropOutdated(*c);
    // The tables and indexes the old collation ordered are put in the
    // order of the new one (a table WITHOUT ROWID too).
    for (const QString &name : reorder)
        if (c->number(QStringLiteral("select count(*) from main.sqlite_master where name = ? collate nocase"), {name}) > 0)
            c->must(QStringLiteral("REINDEX main.%1").arg(quoted(name)));
    addNameKeys(*c);
    for (const Schema::Table &t : Schema::tables()) {
        addMissing(*c, QStringLiteral("index"), t.indexNames, t.indexSql);
        addMissing(*c, QStringLiteral("trigger"), t.triggerNames, t.triggerSql);
    }
    checkViewsAndTriggers(original, *c);
    verify(original, *c);
}

// Puts the new file on the disk, then in the original's place by one
// rename, which replaces the original whole or not at all, and puts the
// rename on the disk. The mark goes only once the file has its place, so
// a file left under the scratch name always carries it.
void putInPlace(const QString &scratch, const QString &real, mode_t mode)
{
    const Fd fd(scratch, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    must(fd.ok(), QStringLiteral("the new file cannot be opened"));
    must(::fsync(fd.get()) == 0, QStringLiteral("the new file cannot be written"));
    must(::rename(QFile::encodeName(scratch).constData(), QFile::encodeName(real).constData()) == 0,
         QStringLiteral("the new file cannot take the old one's place"));
    // The file is converted already, whether these succeed or not.
    if (::fchmod(fd.get(), mode) == 0)
        ::fsync(fd.get());
    const Fd folder(QFileInfo(real).absolutePath(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder.ok())
        ::fsync(folder.get());
}

// Holds the original against other writers (a write lock, without a
// write, so no journal is made) for as long as it lives. Another start of
// the program that converted the file meanwhile has put a new file in its
// place: then the new one is held.
std::unique_ptr<Connection> holdOriginal(const QString &real, struct stat &held, DbFile::Check &check)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        struct stat before {};
        if (::stat(QFile::encodeName(real).constData(), &before) != 0) {
            check = notConverted(SQLITE_IOERR, errno, QStringLiteral("the file cannot be looked at: %1").arg(qt_error_string(errno)));
            return nullptr;
        }
        auto hold = std::make_unique<Connection>(real, Open::ReadWrite);
        if (!hold->ok() || !hold->run(QStringLiteral("BEGIN IMMEDIATE"))) {
            check = fromConnection(*hold);
            return nullptr;
        }
        if (::stat(QFile::encodeName(real).constData(), &held) == 0 && held.st_dev == before.st_dev
            && held.st_ino == before.st_ino)
            return hold;
    }
    check = problem(DbFile::Problem::InUse, QStringLiteral("the file was replaced while it was being converted"));
    return nullptr;
}

} // namespace

namespace DbFile {

QString scratchPathOf(const QString &path)
{
    return realPathOf(path) + QStringLiteral(".converting");
}

Check convert(const QString &path)
{
    const QString real = realPathOf(path);
    const QString scratch = scratchPathOf(real);
    struct stat original {};
    Check check;
    const std::unique_ptr<Connection> hold = holdOriginal(real, original, check);
    if (!hold || !isPreviousFormat(*hold))
        return check; // nothing to do when another start converted it
    // A file another tool has put in write-ahead log mode keeps committed
    // rows in a log beside it, which the copy would miss.
    QString journal;
    hold->run(QStringLiteral("PRAGMA main.journal_mode"), [&](const Db::Statement &st) { journal = st.text(0); });
    if (journal.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
        return notConverted(Cause::WriteAheadLog, QString());
    // What a stopped conversion left goes; another program's file stays.
    // No other start converts now: this one holds the file.
    struct stat there {};
    if (::lstat(QFile::encodeName(scratch).constData(), &there) == 0) {
        if (!isStoppedConversion(scratch))
            return notConverted(Cause::InTheWay, scratch);
        ::unlink(QFile::encodeName(scratch).constData());
    }
    if (const QString theirs = besideScratch(scratch); !theirs.isEmpty())
        return notConverted(Cause::InTheWay, theirs);
    bool made = false;
    try {
        const mode_t mode = createScratch(scratch, real, original);
        made = true;
        copyOriginal(hold->handle(), scratch);
        bringUpToDate(*hold, scratch);
        const Check tables = checkTables(scratch, true);
        if (!tables.ok())
            throw DbError(QStringLiteral("the new file is not complete: %1").arg(tables.detail), SQLITE_ERROR);
        putInPlace(scratch, real, mode);
        made = false;
    } catch (const SystemFailed &failed) {
        check = notConverted(SQLITE_IOERR, failed.error,
                             QStringLiteral("%1: %2").arg(failed.what, qt_error_string(failed.error)));
        if (failed.error == EEXIST && !made)
            check = notConverted(Cause::InTheWay, scratch);
    } catch (const AdditionFailed &failed) {
        check = notConverted(Cause::Addition, failed.object, failed.why);
    } catch (const DbError &e) {
        check = notConverted(e.code(), 0, e.message());
    }
    if (made)
        ::unlink(QFile::encodeName(scratch).constData());
    hold->run(QStringLiteral("ROLLBACK"));
    return check;
}

void removeStoppedConversion(const QString &path)
{
    const QString scratch = scratchPathOf(path);
    if (!isStoppedConversion(scratch))
        return;
    // A conversion under way in another start holds a write lock on the
    // original until it is done.
    Connection c(realPathOf(path), Open::ReadWrite);
    if (c.ok()) {
        sqlite3_busy_timeout(c.handle(), 0);
        if (!c.run(QStringLiteral("BEGIN IMMEDIATE"))) {
            const int rc = c.rc() & 0xff;
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                return;
        }
    }
    ::unlink(QFile::encodeName(scratch).constData());
    c.run(QStringLiteral("ROLLBACK"));
}

void setConversionHook(std::function<void(sqlite3 *)> hook)
{
    conversionHook() = std::move(hook);
}

} // namespace DbFile
