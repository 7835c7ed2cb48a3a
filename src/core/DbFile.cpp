#include "DbFile.h"

#include "DbFileInternal.h"
#include "Schema.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace DbFileInternal;

namespace {

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

// The table names of a file, folded as SQLite compares them, and the SQL
// of each.
QHash<QString, QString> tablesOf(Connection &c)
{
    QHash<QString, QString> out;
    c.run(QStringLiteral("select name, sql from sqlite_master where type = 'table'"),
          [&](const Db::Statement &st) { out.insert(SqlText::folded(st.text(0)), st.text(1)); });
    return out;
}

bool isKeyColumn(const QString &table, const QString &column)
{
    for (const Db::NameKeyColumn &k : Db::nameKeyColumns())
        if (SqlText::sameName(table, QLatin1String(k.table)) && SqlText::sameName(column, QLatin1String(k.keyColumn)))
            return true;
    return false;
}

QString listed(const QStringList &items)
{
    constexpr int kShown = 12;
    if (items.size() <= kShown)
        return items.join(QStringLiteral(", "));
    return items.mid(0, kShown).join(QStringLiteral(", "))
        + QStringLiteral(" and %1 more").arg(items.size() - kShown);
}

} // namespace

bool DbFileInternal::isWriteAheadLog(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !f.seek(18))
        return false;
    const QByteArray versions = f.read(2);
    return versions.size() == 2 && versions.at(0) == 2 && versions.at(1) == 2;
}

QString DbFileInternal::stoppedChangeOf(const QString &path)
{
    const QString real = realPathOf(path);
    const QByteArray journal = QFile::encodeName(real + QStringLiteral("-journal"));
    const QByteArray folder = QFile::encodeName(QFileInfo(real).absolutePath());
    struct stat info {}, dir {};
    if (::stat(journal.constData(), &info) != 0 || ::stat(folder.constData(), &dir) != 0)
        return {};
    const passwd *user = ::getpwuid(info.st_uid);
    const QString owner = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(info.st_uid);
    const QString left = QStringLiteral("a change to it that was stopped left its rollback journal \"%1-journal\"").arg(real);
    const QString until = QStringLiteral("; once they have started The Velmora, or opened the file with the sqlite3 "
                                         "shell, it opens for everyone again");
    if (::access(journal.constData(), R_OK | W_OK) != 0)
        return left + QStringLiteral(", which only the user %1 or an administrator can open").arg(owner) + until;
    // In a folder with the sticky bit (as /tmp has) only the journal's
    // owner, the folder's and an administrator may remove it.
    const uid_t me = geteuid();
    if ((dir.st_mode & S_ISVTX) && me != 0 && me != info.st_uid && me != dir.st_uid)
        return left
            + QStringLiteral(" in a folder with the sticky bit, where this user may not remove it, so only the user %1 "
                             "or an administrator can open the file")
                  .arg(owner)
            + until;
    return {};
}

bool DbFileInternal::isPreviousFormat(Connection &c)
{
    const QHash<QString, QString> present = tablesOf(c);
    for (const Schema::Table &t : Schema::tables())
        if (hasPreviousCollation(present.value(SqlText::folded(t.name))))
            return true;
    return false;
}

namespace DbFile {

bool installPreviousCollation(sqlite3 *handle)
{
    return handle
        && sqlite3_create_collation(handle, kPreviousCollation.toUtf8().constData(), SQLITE_UTF8, nullptr,
                                    previousCollation)
        == SQLITE_OK;
}

// What stopped a conversion, as it follows "could not be brought up to
// date".
static QString notConvertedBecause(const Check &c)
{
    switch (c.cause) {
    case Cause::Addition:
        return QStringLiteral(": %1, which was added to it with another tool, does not work with the new version of "
                              "the database (%2).")
            .arg(c.object, c.detail);
    case Cause::WriteAheadLog:
        return QStringLiteral(": another tool has put it in write-ahead log mode.");
    case Cause::Data:
        return QStringLiteral(": some of its rows break a rule of their table: %1.").arg(c.detail);
    case Cause::NameTaken:
        return QStringLiteral(": %1, which was added to it with another tool, has a name that the new version of "
                              "the database needs for its own.")
            .arg(c.object);
    case Cause::Statement:
        return QStringLiteral(": the statement of %1 cannot be changed without changing what it says (%2).")
            .arg(c.object, c.detail);
    default:
        return QStringLiteral(" (%1).").arg(c.detail);
    }
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
    case Problem::NoRoom:
        return QStringLiteral("The disk that holds the file is full (%1).").arg(detail);
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
    case Problem::NoRoom:
        return file + QStringLiteral(" cannot be used: the disk that holds it is full (%1).\n\n"
                                     "Make room on the disk, then start The Velmora again. The program has not "
                                     "changed the file.")
                          .arg(detail);
    case Problem::Incomplete:
        return file + QStringLiteral(" is not a complete database of The Velmora (missing: %1).\n\n"
                                     "It may belong to another program. Restore the database from a backup copy. "
                                     "The program has not changed the file.")
                          .arg(detail);
    case Problem::NotConverted: {
        // Whatever stopped it, the conversion's transaction was rolled
        // back, and the file is as it was unless a journal is named.
        QString advice;
        switch (cause) {
        case Cause::NoRoom:
            advice = QStringLiteral("Bringing it up to date needs room on the disk for the rollback journal, which "
                                    "holds what is changed until the change is complete (up to about the file's "
                                    "size), plus the file's growth. Make room on the disk, then start The Velmora "
                                    "again.");
            break;
        case Cause::Data:
            advice = QStringLiteral("The new version of the database does not accept those rows (the rule and the "
                                    "number of rows are named above); another program may have written them. Have "
                                    "them corrected with a database tool, then start The Velmora again.");
            break;
        case Cause::Addition:
            advice = QStringLiteral("Change or remove %1 with the tool it was made with, then start The Velmora "
                                    "again.")
                         .arg(object);
            break;
        case Cause::WriteAheadLog:
            advice = QStringLiteral("Set it back with the tool that put it in that mode (in the sqlite3 shell: "
                                    "PRAGMA journal_mode = DELETE), then start The Velmora again.");
            break;
        case Cause::NameTaken:
            advice = QStringLiteral("Rename or remove %1 with the tool it was made with, then start The Velmora "
                                    "again.")
                         .arg(object);
            break;
        case Cause::Statement:
        case Cause::Other:
            advice = QStringLiteral("Start The Velmora again; if this message comes back, keep a copy of the file "
                                    "and ask for help with it.");
            break;
        }
        const QString kept = journal.isEmpty()
            ? QStringLiteral("Nothing in it has been changed or lost. ")
            : QStringLiteral("Part of the change is still in the file, which is whole only with the file \"%1\" "
                             "beside it: that file holds what was changed. Do not remove, move or copy either of "
                             "them; the next start of The Velmora, or the sqlite3 shell opening the database, puts "
                             "the database back as it was. ")
                  .arg(journal);
        return file + QStringLiteral(" is of an earlier version of The Velmora and could not be brought up to date")
            + notConvertedBecause(*this) + QStringLiteral("\n\n") + kept + advice;
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
        if (!present.contains(SqlText::folded(t.name))) {
            missingTables << t.name;
            continue;
        }
        QSet<QString> columns;
        if (!c.run(QStringLiteral("select name from pragma_table_info(?)"),
                   [&](const Db::Statement &st) { columns.insert(SqlText::folded(st.text(0))); }, {t.name}))
            return fromConnection(c);
        for (const QString &col : t.columns)
            if (!columns.contains(SqlText::folded(col)) && (withKeys || !isKeyColumn(t.name, col)))
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
    // A row that breaks a NOT NULL rule of its table is no damage of the
    // pages: such a row is read as any other, and a conversion names it.
    bool damaged = false;
    for (const QString &finding : std::as_const(findings)) {
        for (const QString &line : finding.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString fault = line.trimmed();
            if (fault.startsWith(QLatin1String("NULL value in ")))
                continue;
            damaged = true;
            if (!fault.isEmpty() && !fault.startsWith(QLatin1String("***")))
                return problem(Problem::Damaged, fault);
        }
    }
    return damaged ? problem(Problem::Damaged, QStringLiteral("damaged pages")) : Check{};
}

bool isPreviousFormat(const QString &path)
{
    if (QFileInfo(path).size() == 0)
        return false;
    Connection c(path, isWriteAheadLog(path) ? Open::Immutable : Open::ReadOnly);
    return c.ok() && DbFileInternal::isPreviousFormat(c);
}

Check prepare(const QString &path, PageCheck pages)
{
    // A file of the previous format in write-ahead log mode is refused
    // before a connection that could merge its log opens it: the one
    // check of that mode, which convert() relies on. A stopped
    // conversion needs nothing here: its hot journal is rolled back by
    // SQLite when the probe reads the file.
    if (isWriteAheadLog(path) && isPreviousFormat(path)) {
        Check refused = problem(Problem::NotConverted);
        refused.cause = Cause::WriteAheadLog;
        return refused;
    }
    Check check = probe(path);
    if (check.problem == Problem::Unreadable) {
        if (const QString why = stoppedChangeOf(path); !why.isEmpty())
            check.detail = why;
    }
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
