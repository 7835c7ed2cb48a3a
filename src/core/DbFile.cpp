#include "DbFile.h"

#include "Db.h"
#include "DbStatement.h"
#include "Schema.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <sqlite3.h>

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

// One SQLite connection of its own, closed when it goes.
class Connection {
public:
    Connection(const QString &path, bool readOnly)
    {
        const QByteArray name = QFile::encodeName(path);
        m_rc = sqlite3_open_v2(name.constData(), &m_h, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE,
                               nullptr);
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
             const QStringList &args = {})
    {
        Params params;
        for (const QString &a : args)
            params << a;
        try {
            Db::Statement st(m_h, sql, params);
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

private:
    sqlite3 *m_h = nullptr;
    int m_rc = SQLITE_OK;
    QString m_error;
};

DbFile::Check problem(DbFile::Problem p, const QString &detail = QString())
{
    return DbFile::Check{p, detail};
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

// Rebuilds one table of the previous format inside the open transaction.
void rebuild(Connection &c, const Schema::Table &t, const QString &stored)
{
    auto must = [&c](const QString &sql, const QStringList &args = {}) {
        if (!c.run(sql, {}, args))
            throw DbError(c.error());
    };
    QVariant sequence;
    c.run(QStringLiteral("select seq from sqlite_sequence where name = ?"),
          [&](const Db::Statement &st) { sequence = st.integer64(0); }, {stored});
    // The table's indexes and triggers go with it and the schema's are
    // made anew; an index someone added of their own is made again
    // afterwards when it still fits.
    QStringList ownIndexes;
    QList<QPair<QString, QString>> dropped; // (type, name)
    c.run(QStringLiteral("select type, name, sql from sqlite_master where type in ('index', 'trigger') "
                         "and tbl_name = ? and sql is not null"),
          [&](const Db::Statement &st) {
              const QString type = st.text(0);
              const QString name = st.text(1);
              const QString sql = st.text(2);
              dropped.append({type, name});
              const bool ours = type != QLatin1String("index")
                  || t.indexNames.contains(name, Qt::CaseInsensitive) || hasPreviousCollation(sql);
              if (!ours)
                  ownIndexes << sql;
          },
          {stored});
    for (const auto &[type, name] : dropped)
        must((type == QLatin1String("index") ? QStringLiteral("DROP INDEX ") : QStringLiteral("DROP TRIGGER "))
             + quoted(name));
    const QString old = QStringLiteral("velmora_previous_") + t.name;
    must(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(stored), quoted(old)));
    must(t.sql);

    QSet<QString> oldColumns;
    QList<QPair<QString, QString>> added; // columns someone added: (name, type)
    QSet<QString> schemaColumns;
    for (const QString &col : t.columns)
        schemaColumns.insert(col.toUpper());
    c.run(QStringLiteral("select name, type from pragma_table_info(?) order by cid"),
          [&](const Db::Statement &st) {
              const QString name = st.text(0);
              oldColumns.insert(name.toUpper());
              if (!schemaColumns.contains(name.toUpper()))
                  added.append({name, st.text(1)});
          },
          {old});
    QStringList into, from;
    for (const QString &col : t.columns) {
        if (oldColumns.contains(col.toUpper())) {
            into << quoted(col);
            from << quoted(col);
        }
    }
    // A column someone added of their own comes along, without collation.
    for (const auto &[name, type] : added) {
        must(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(quoted(t.name), quoted(name), type));
        into << quoted(name);
        from << quoted(name);
    }
    for (const Db::NameKeyColumn &k : Db::nameKeyColumns()) {
        if (t.name.compare(QLatin1String(k.table), Qt::CaseInsensitive) != 0
            || oldColumns.contains(QString::fromLatin1(k.keyColumn).toUpper()))
            continue;
        into << quoted(QLatin1String(k.keyColumn));
        from << QStringLiteral("namekey(%1)").arg(quoted(QLatin1String(k.nameColumn)));
    }
    must(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
             .arg(quoted(t.name), into.join(QStringLiteral(", ")), from.join(QStringLiteral(", ")), quoted(old)));
    must(QStringLiteral("DROP TABLE %1").arg(quoted(old)));
    // An id once given out is never given again: the counter keeps its
    // highest value, also above the highest row still there.
    if (sequence.isValid()) {
        must(QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, CAST(? AS INTEGER)) WHERE name = ?"),
             {sequence.toString(), t.name});
        must(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT ?, CAST(? AS INTEGER) "
                            "WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = ?)"),
             {t.name, sequence.toString(), t.name});
    }
    for (const QString &sql : t.indexSql + t.triggerSql)
        must(sql);
    for (const QString &sql : ownIndexes)
        c.run(sql); // one that no longer fits the new table is let go
}

} // namespace

namespace DbFile {

bool installPreviousCollation(sqlite3 *handle)
{
    return handle && sqlite3_create_collation(handle, "UNOCASE", SQLITE_UTF8, nullptr, previousCollation) == SQLITE_OK;
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
                              "brought up to date (%1).")
            .arg(detail);
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
    case Problem::NotConverted:
        return file + QStringLiteral(" is of an earlier version of The Velmora and could not be brought up to "
                                     "date (%1).\n\n"
                                     "Nothing in it has been changed or lost. Bringing it up to date needs room on "
                                     "the disk for a second copy of the file: make room if the disk is full, then "
                                     "start The Velmora again.")
                          .arg(detail);
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
    Connection c(path, false);
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
    Connection c(path, true);
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
    Connection c(path, true);
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
    Connection c(path, true);
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
    Connection c(path, false);
    if (!c.ok())
        return fromConnection(c);
    if (!c.run(QStringLiteral("BEGIN IMMEDIATE")))
        return fromConnection(c);
    try {
        const QHash<QString, QString> present = tablesOf(c);
        for (const Schema::Table &t : Schema::tables()) {
            const QString sql = present.value(t.name.toUpper());
            if (!hasPreviousCollation(sql))
                continue;
            QString stored;
            c.run(QStringLiteral("select name from sqlite_master where type = 'table' and upper(name) = upper(?)"),
                  [&](const Db::Statement &st) { stored = st.text(0); }, {t.name});
            rebuild(c, t, stored);
        }
        if (!c.run(QStringLiteral("COMMIT")))
            throw DbError(c.error());
    } catch (const DbError &e) {
        const int rc = c.rc();
        c.run(QStringLiteral("ROLLBACK"));
        if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
            return problem(Problem::InUse, e.message());
        return problem(Problem::NotConverted, e.message());
    }
    // The old tables' pages are free now; give the room back. The
    // database is already converted, so a failure here costs only room.
    c.run(QStringLiteral("VACUUM"));
    return {};
}

Check prepare(const QString &path, PageCheck pages)
{
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
