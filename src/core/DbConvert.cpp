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
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace DbFileInternal;

namespace {

// While it is built, the new file carries this application id in its
// header ("Vlmc"): a file under the scratch name without it is not one
// the program made, and is never removed. The original's own id is
// written back just before the file takes the original's place.
constexpr quint32 kScratchMark = 0x566c6d63;
constexpr qint64 kApplicationIdAt = 68;
constexpr qint64 kHeaderSize = 100;

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

DbFile::Check notConverted(DbFile::Cause cause, const QString &object, const QString &detail = QString())
{
    DbFile::Check check = problem(DbFile::Problem::NotConverted, detail);
    check.cause = cause;
    check.object = object;
    return check;
}

// Whether the file is one a conversion made and left (its header carries
// the mark); a link, a folder or anything else is not.
bool isStoppedConversion(const QString &scratch)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(scratch).constData(), &info) != 0 || !S_ISREG(info.st_mode)
        || info.st_size < kHeaderSize)
        return false;
    const Fd fd(scratch, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    char header[kHeaderSize];
    if (!fd.ok() || ::pread(fd.get(), header, sizeof header, 0) != kHeaderSize)
        return false;
    return memcmp(header, "SQLite format 3", 16) == 0
        && qFromBigEndian<quint32>(header + kApplicationIdAt) == kScratchMark;
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

// Makes the scratch file, as open as the original and no more: its mode,
// and its owner and group where the system lets the user give them (any
// member of a group may give a file of theirs that group). Where the
// group cannot be kept, the user's own group gets no more than the
// original gave everybody.
void createScratch(const QString &scratch, const struct stat &original)
{
    const Fd fd(scratch, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    must(fd.ok(), QStringLiteral("the new file cannot be made beside it"));
    mode_t mode = original.st_mode & 0777;
    if (::fchown(fd.get(), original.st_uid, original.st_gid) != 0
        && ::fchown(fd.get(), uid_t(-1), original.st_gid) != 0)
        mode &= ~(0070 & ~((mode & 0007) << 3));
    must(::fchmod(fd.get(), mode) == 0, QStringLiteral("the new file cannot be given the file's permissions"));
}

// Copies the original byte for byte, through the held connection's own
// file (a second descriptor of the file, once closed, would drop its
// locks), with the mark in the copy's header from the first write on.
// Returns the original's application id.
quint32 copyOriginal(sqlite3 *hold, const QString &scratch)
{
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(hold, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
        throw DbError(QStringLiteral("the file cannot be read"), SQLITE_IOERR);
    sqlite3_int64 size = 0;
    int rc = file->pMethods->xFileSize(file, &size);
    if (rc != SQLITE_OK || size < kHeaderSize)
        throw DbError(QStringLiteral("the file cannot be read"), rc == SQLITE_OK ? SQLITE_CORRUPT : rc);
    const Fd fd(scratch, O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    must(fd.ok(), QStringLiteral("the new file cannot be opened"));
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    quint32 applicationId = 0;
    for (qint64 at = 0; at < size;) {
        const int n = int(std::min<qint64>(buffer.size(), size - at));
        rc = file->pMethods->xRead(file, buffer.data(), n, at);
        if (rc != SQLITE_OK)
            throw DbError(QStringLiteral("the file cannot be read"), rc);
        if (at == 0) {
            applicationId = qFromBigEndian<quint32>(buffer.constData() + kApplicationIdAt);
            qToBigEndian(kScratchMark, buffer.data() + kApplicationIdAt);
        }
        writeAll(fd.get(), buffer.constData(), n, at);
        at += n;
    }
    return applicationId;
}

struct StoredObject {
    qint64 rowid;
    QString type;
    QString name;
    QString sql;
};

QList<StoredObject> storedObjects(Connection &c)
{
    QList<StoredObject> out;
    c.each(QStringLiteral("select rowid, type, name, sql from main.sqlite_master where sql is not null"), {},
           [&](const Db::Statement &st) { out.append({st.integer64(0), st.text(1), st.text(2), st.text(3)}); });
    return out;
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
    QList<QPair<qint64, QString>> rewritten;
    for (const StoredObject &o : storedObjects(c)) {
        const Schema::Table *own = o.type == QLatin1String("table") ? programTable(o.name) : nullptr;
        const QHash<QString, QString> current = own ? SqlText::columnCollations(own->sql) : QHash<QString, QString>();
        const QString sql = SqlText::replaceCollation(o.sql, kPreviousCollation,
                                                      [&](const QString &column) { return current.value(column.toUpper()); });
        if (sql == o.sql)
            continue;
        rewritten.append({o.rowid, sql});
        if (o.type == QLatin1String("table") || o.type == QLatin1String("index"))
            reorder << o.name;
    }
    if (rewritten.isEmpty())
        return reorder;
    c.must(QStringLiteral("PRAGMA writable_schema = ON"));
    for (const auto &[rowid, sql] : std::as_const(rewritten))
        c.must(QStringLiteral("UPDATE main.sqlite_master SET sql = ? WHERE rowid = ?"), {sql, rowid});
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
        sqlite3_stmt *update = nullptr;
        const QByteArray sql = QStringLiteral("update main.%1 set %2 = ? where %3 = ?")
                                   .arg(table, key, QLatin1String(k.idColumn))
                                   .toUtf8();
        int rc = sqlite3_prepare_v2(c.handle(), sql.constData(), int(sql.size()), &update, nullptr);
        for (qsizetype i = 0; rc == SQLITE_OK && i < rows.size(); ++i) {
            const QByteArray value = Db::nameKey(rows.at(i).second).toUtf8();
            sqlite3_bind_text(update, 1, value.constData(), int(value.size()), SQLITE_STATIC);
            sqlite3_bind_int64(update, 2, rows.at(i).first);
            rc = sqlite3_step(update) == SQLITE_DONE ? sqlite3_reset(update) : sqlite3_errcode(c.handle());
        }
        const QString why = QString::fromUtf8(sqlite3_errmsg(c.handle()));
        sqlite3_finalize(update);
        if (rc != SQLITE_OK)
            throw DbError(why, rc);
    }
    sqlite3_db_config(c.handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 1, nullptr);
}

void addMissing(Connection &c, const QString &type, const QStringList &names, const QStringList &statements)
{
    for (int i = 0; i < names.size(); ++i)
        if (sqlOf(c, type, names.at(i)).isEmpty())
            c.must(statements.at(i));
}

// A view is only made, not checked, by CREATE VIEW: one that worked in
// the original must work in the new file (a name key the view's own
// tables have too makes its column names ambiguous).
void checkViews(Connection &original, Connection &c)
{
    for (const StoredObject &o : storedObjects(c)) {
        const QString select = QStringLiteral("SELECT * FROM main.%1").arg(quoted(o.name));
        if (o.type != QLatin1String("view") || !prepareError(original.handle(), select).isEmpty())
            continue;
        const QString why = prepareError(c.handle(), select);
        if (!why.isEmpty())
            throw AdditionFailed{QStringLiteral("the view \"%1\"").arg(o.name), why};
    }
}

// The checks of the sqlite3 shell, on a connection like its own.
void verify(Connection &c)
{
    QStringList findings;
    c.each(QStringLiteral("PRAGMA main.integrity_check(5)"), {}, [&](const Db::Statement &st) { findings << st.text(0); });
    if (findings == QStringList{QStringLiteral("ok")})
        return;
    // Rows that break a rule of their table: the original's rows, which
    // another program wrote past the rule.
    static const QRegularExpression broken(QStringLiteral("^(CHECK constraint failed|NULL value in|non-unique entry)"));
    const bool rows = std::all_of(findings.cbegin(), findings.cend(),
                                  [](const QString &f) { return broken.match(f).hasMatch(); });
    throw DbError(rows ? findings.join(QStringLiteral("; "))
                       : QStringLiteral("the new file failed its check: %1").arg(findings.join(QStringLiteral("; "))),
                  rows ? SQLITE_CONSTRAINT : SQLITE_ERROR);
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
    checkViews(original, *c);
    verify(*c);
}

// Puts the new file on the disk with the original's application id, then
// in the original's place by one rename, which replaces the original
// whole or not at all, and puts the rename on the disk.
void putInPlace(const QString &scratch, const QString &real, quint32 applicationId)
{
    {
        const Fd fd(scratch, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        must(fd.ok(), QStringLiteral("the new file cannot be opened"));
        must(::fsync(fd.get()) == 0, QStringLiteral("the new file cannot be written"));
        char id[4];
        qToBigEndian(applicationId, id);
        writeAll(fd.get(), id, sizeof id, kApplicationIdAt);
        must(::fdatasync(fd.get()) == 0, QStringLiteral("the new file cannot be written"));
    }
    must(::rename(QFile::encodeName(scratch).constData(), QFile::encodeName(real).constData()) == 0,
         QStringLiteral("the new file cannot take the old one's place"));
    // The file is converted already, whether this succeeds or not.
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
    bool made = false;
    try {
        createScratch(scratch, original);
        made = true;
        const quint32 applicationId = copyOriginal(hold->handle(), scratch);
        bringUpToDate(*hold, scratch);
        const Check tables = checkTables(scratch, true);
        if (!tables.ok())
            throw DbError(QStringLiteral("the new file is not complete: %1").arg(tables.detail), SQLITE_ERROR);
        putInPlace(scratch, real, applicationId);
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
