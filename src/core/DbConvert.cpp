// The conversion of a database of the previous format, in place: one
// SQLite transaction on the file itself, on a connection of plain SQLite
// with a rollback journal. A failure, a kill or a power cut leaves the
// file as it was (SQLite rolls a hot journal back at the next opening),
// and the file stays the same file: its inode, links, owner, group, mode
// bits, ACLs and extended attributes are never touched.
#include "DbFile.h"

#include "DbAcl.h"
#include "DbFileInternal.h"
#include "Schema.h"
#include "SqlText.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace DbFileInternal;
using SqlText::sameName;

namespace {

// See DbFile::setConversionHook.
std::function<void(sqlite3 *)> &conversionHook()
{
    static std::function<void(sqlite3 *)> hook;
    return hook;
}

// Why the conversion does not go ahead, when it is not SQLite's own words.
struct Refused {
    DbFile::Cause cause;
    QString object; // "the view \"x\""
    QString why;
};

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

QString described(const StoredObject &o)
{
    return QStringLiteral("the %1 \"%2\"").arg(o.type, o.name);
}

bool hasName(const QStringList &names, const QString &name)
{
    return std::any_of(names.cbegin(), names.cend(), [&](const QString &n) { return sameName(n, name); });
}

const Schema::Table *programTable(const QString &name)
{
    for (const Schema::Table &t : Schema::tables())
        if (sameName(t.name, name))
            return &t;
    return nullptr;
}

bool isProgramTrigger(const QString &name)
{
    for (const Schema::Table &t : Schema::tables())
        if (hasName(t.triggerNames, name))
            return true;
    return false;
}

// A table, index or trigger under one of the program's names for one.
bool isProgramObject(const StoredObject &o)
{
    if (o.type == QLatin1String("table"))
        return programTable(o.name);
    if (o.type == QLatin1String("trigger"))
        return isProgramTrigger(o.name);
    if (o.type == QLatin1String("index"))
        for (const Schema::Table &t : Schema::tables())
            if (hasName(t.indexNames, o.name))
                return true;
    return false;
}

// SQLite's words when a statement does not prepare, "" when it does; the
// column names it gives go to `columns`.
QString prepared(sqlite3 *h, const QString &sql, QStringList *columns = nullptr)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(h, text.constData(), int(text.size()), &st, nullptr);
    const QString why = rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(h));
    for (int i = 0; columns && st && i < sqlite3_column_count(st); ++i)
        *columns << QString::fromUtf8(sqlite3_column_name(st, i));
    sqlite3_finalize(st);
    return why;
}

// What SQLite makes of an object: a table's columns (pragma table_xinfo),
// an index's (pragma index_xinfo, less the collation) or a view's names.
// Taking the collation out must leave this as it was.
QStringList shapeOf(Connection &c, const StoredObject &o)
{
    QStringList out;
    auto rows = [&](const char *sql) {
        // A virtual table of a module this connection lacks has no columns
        // to tell, before or after.
        if (!c.run(QLatin1String(sql), [&](const Db::Statement &st) { out << st.text(0); }, {o.name}))
            out << c.error();
    };
    if (o.type == QLatin1String("table"))
        rows("select cid || '|' || name || '|' || type || '|' || \"notnull\" || '|' || quote(dflt_value) || '|' || pk "
             "|| '|' || hidden from pragma_table_xinfo(?) order by cid");
    else if (o.type == QLatin1String("index"))
        rows("select seqno || '|' || cid || '|' || quote(name) || '|' || \"desc\" || '|' || key "
             "from pragma_index_xinfo(?) order by seqno");
    else if (o.type == QLatin1String("view"))
        out << prepared(c.handle(), QStringLiteral("SELECT * FROM main.%1").arg(quoted(o.name)), &out);
    return out;
}

// A statement that reads a view, or writes a table with triggers of the
// user's, prepared (never run) before the conversion and after: what
// worked before must work after (a name key the view's own tables have
// too makes its column names ambiguous; a trigger that copies a whole row
// of anthem finds one column more).
struct Probe {
    QString object;
    QString sql;
};

QList<Probe> probesOf(Connection &c, const QList<StoredObject> &stored)
{
    QList<Probe> out;
    QSet<QString> done;
    for (const StoredObject &o : stored) {
        if (o.type == QLatin1String("view"))
            out.append({described(o), QStringLiteral("SELECT * FROM main.%1").arg(quoted(o.name))});
        if (o.type != QLatin1String("trigger") || done.contains(SqlText::folded(o.table)))
            continue;
        done.insert(SqlText::folded(o.table));
        QStringList names, columns;
        for (const StoredObject &t : stored)
            if (t.type == QLatin1String("trigger") && sameName(t.table, o.table) && !isProgramTrigger(t.name))
                names << QStringLiteral("\"%1\"").arg(t.name);
        if (names.isEmpty())
            continue;
        c.each(QStringLiteral("select name from pragma_table_info(?)"), {o.table},
               [&](const Db::Statement &st) { columns << QStringLiteral("%1 = %1").arg(quoted(st.text(0))); });
        const QString object = names.size() == 1
            ? QStringLiteral("the trigger %1").arg(names.first())
            : QStringLiteral("one of the triggers %1").arg(names.join(QStringLiteral(", ")));
        const QString table = quoted(o.table);
        out.append({object, QStringLiteral("INSERT INTO main.%1 DEFAULT VALUES").arg(table)});
        if (!columns.isEmpty())
            out.append({object, QStringLiteral("UPDATE main.%1 SET %2").arg(table, columns.join(QStringLiteral(", ")))});
        out.append({object, QStringLiteral("DELETE FROM main.%1").arg(table)});
    }
    return out;
}

// How many rows of each foreign key of the user's find no row of its
// parent table, by the child table and the parent's, tab-separated;
// nothing when SQLite cannot tell (a parent key without a unique index).
std::optional<QHash<QString, qint64>> orphansOf(Connection &c)
{
    QHash<QString, qint64> out;
    if (!c.run(QStringLiteral("select \"table\" || char(9) || parent, count(*) from pragma_foreign_key_check "
                              "group by \"table\", parent"),
               [&](const Db::Statement &st) { out.insert(st.text(0), st.integer64(1)); }))
        return std::nullopt;
    return out;
}

// The file as it was, read with the old collation: its statements, the
// shape of each object, the probes that prepared, and the rows its
// foreign keys found no parent for.
struct Original {
    QList<StoredObject> objects;
    QHash<qint64, QStringList> shapes; // by the object's rowid
    QList<Probe> probes;
    std::optional<QHash<QString, qint64>> orphans;
};

Original readOriginal(Connection &c)
{
    Original o;
    o.objects = storedObjects(c);
    for (const StoredObject &s : std::as_const(o.objects))
        o.shapes.insert(s.rowid, shapeOf(c, s));
    for (const Probe &p : probesOf(c, o.objects))
        if (prepared(c.handle(), p.sql).isEmpty())
            o.probes.append(p);
    o.orphans = orphansOf(c);
    return o;
}

// Whether an index is the previous format's own index of a name: a plain
// index of the name columns of its table, ascending, in the collation
// they were declared with (the current schema orders by the keys
// instead).
bool isPreviousNameIndex(Connection &c, const StoredObject &index)
{
    bool plain = c.number(QStringLiteral("select count(*) from pragma_index_list(?) where name = ? and not \"unique\" "
                                         "and not partial"),
                          {index.table, index.name})
        == 1;
    c.each(QStringLiteral("select name, \"desc\" = 0 and coll = ? collate nocase from pragma_index_xinfo(?) where key"),
           {kPreviousCollation, index.name}, [&](const Db::Statement &st) {
        bool named = false;
        for (const Db::NameKeyColumn &k : Db::nameKeyColumns())
            named = named || (sameName(index.table, QLatin1String(k.table)) && sameName(st.text(0), QLatin1String(k.nameColumn)));
        plain = plain && named && st.integer64(1) != 0;
    });
    return plain;
}

// The names the program needs are its own: an object of the user's that
// has one is never dropped or replaced. An index of the program's tables
// under its own name is kept when it is the current schema's word for
// word, and replaced only when it is the previous format's. A trigger of
// one of the program's names is the user's (the previous format had none)
// and may stay only when it is the program's word for word. A key column
// is the user's too: only the program adds them. As in SQLite, tables,
// indexes and views have one name space and triggers another: a name
// stands in the way only in its own.
void checkNames(Connection &c, const QList<StoredObject> &objects)
{
    auto holder = [&](const QString &name, bool trigger) -> const StoredObject * {
        for (const StoredObject &o : objects)
            if ((o.type == QLatin1String("trigger")) == trigger && sameName(o.name, name))
                return &o;
        return nullptr;
    };
    auto refuse = [](const QString &object) {
        throw Refused{DbFile::Cause::NameTaken, object, QString()};
    };
    for (const Schema::Table &t : Schema::tables()) {
        for (int i = 0; i < t.indexNames.size(); ++i)
            if (const StoredObject *o = holder(t.indexNames.at(i), false))
                if (o->type != QLatin1String("index") || !sameName(o->table, t.name)
                    || (QString::fromUtf8(o->sql) != t.indexSql.at(i) && !isPreviousNameIndex(c, *o)))
                    refuse(described(*o));
        for (int i = 0; i < t.triggerNames.size(); ++i)
            if (const StoredObject *o = holder(t.triggerNames.at(i), true))
                if (QString::fromUtf8(o->sql) != t.triggerSql.at(i))
                    refuse(described(*o));
    }
    for (const Db::NameKeyColumn &k : Db::nameKeyColumns())
        if (c.number(QStringLiteral("select count(*) from pragma_table_info(?) where name = ? collate nocase"),
                     {QLatin1String(k.table), QLatin1String(k.keyColumn)})
            > 0)
            refuse(QStringLiteral("the column \"%1\" of the table \"%2\"").arg(QLatin1String(k.keyColumn), QLatin1String(k.table)));
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

// The collation the current schema gives a column of the object, when
// it is one of the program's tables: its columns name that one in place
// of the previous format's.
std::function<QString(const QString &)> currentCollations(const StoredObject &o)
{
    const Schema::Table *own = o.type == QLatin1String("table") ? programTable(o.name) : nullptr;
    const QHash<QString, QString> current = own ? SqlText::columnCollations(own->sql.toUtf8()) : QHash<QString, QString>();
    return [current](const QString &column) { return current.value(SqlText::folded(column)); };
}

// The new statement of an object: the collation of the previous format
// taken out, or named otherwise where currentCollations() says.
QByteArray withoutPreviousCollation(const StoredObject &o)
{
    return SqlText::replaceCollation(o.sql, kPreviousCollation, currentCollations(o));
}

// Rewrites the stored statements in the file's schema table, in the
// transaction (the pages hold the same values, in the same columns), and
// has SQLite read the schema anew. Returns the tables and indexes whose
// order the change concerns.
QStringList takeOutPreviousCollation(Connection &c, const QList<StoredObject> &objects)
{
    QStringList reorder;
    QList<QPair<qint64, QByteArray>> rewritten;
    for (const StoredObject &o : objects) {
        const QByteArray sql = withoutPreviousCollation(o);
        if (sql == o.sql)
            continue;
        rewritten.append({o.rowid, sql});
        if (o.type == QLatin1String("table") || o.type == QLatin1String("index"))
            reorder << o.name;
    }
    if (rewritten.isEmpty())
        return reorder;
    c.must(QStringLiteral("PRAGMA writable_schema = ON"));
    runForEach(c, "UPDATE main.sqlite_master SET sql = ?1 WHERE rowid = ?2", rewritten.size(),
               [&](sqlite3_stmt *st, qsizetype i) {
                   const QByteArray &sql = rewritten.at(i).second;
                   sqlite3_bind_text(st, 1, sql.constData(), int(sql.size()), SQLITE_STATIC);
                   sqlite3_bind_int64(st, 2, rewritten.at(i).first);
               });
    const qint64 version = c.number(QStringLiteral("PRAGMA main.schema_version"));
    c.must(QStringLiteral("PRAGMA main.schema_version = %1").arg(version + 1));
    c.must(QStringLiteral("PRAGMA writable_schema = RESET"));
    return reorder;
}

// The text edit is not trusted: every statement must be the original's
// but for the clause, token by token, name no collation of the previous
// format, and give SQLite the same columns as before.
void proveTheEdit(Connection &c, const Original &original)
{
    QHash<qint64, StoredObject> now;
    for (const StoredObject &o : storedObjects(c))
        now.insert(o.rowid, o);
    for (const StoredObject &before : original.objects) {
        const StoredObject after = now.take(before.rowid);
        QString why;
        if (after.type != before.type || after.name != before.name)
            why = QStringLiteral("it is no longer there");
        else if (!SqlText::onlyCollationChanged(before.sql, after.sql, kPreviousCollation, currentCollations(before)))
            why = QStringLiteral("its statement would change beyond the collation");
        else if (hasPreviousCollation(QString::fromUtf8(after.sql)))
            why = QStringLiteral("its statement still names the collation");
        else if (shapeOf(c, after) != original.shapes.value(before.rowid))
            why = QStringLiteral("its columns would change");
        // An object of the user's can be changed by the user, with the
        // tool that made it; the program's own are the program's fault.
        if (!why.isEmpty() && isProgramObject(before))
            throw Refused{DbFile::Cause::Statement, described(before), why};
        if (!why.isEmpty())
            throw Refused{DbFile::Cause::Addition, described(before),
                          QStringLiteral("without the earlier version's collation, %1").arg(why)};
    }
    if (!now.isEmpty())
        throw Refused{DbFile::Cause::Statement, described(*now.cbegin()), QStringLiteral("it would be new")};
}

QString sqlOf(Connection &c, const QString &type, const QString &name)
{
    QString sql;
    c.each(QStringLiteral("select sql from main.sqlite_master where type = ? and name = ? collate nocase"), {type, name},
           [&](const Db::Statement &st) { sql = st.text(0); });
    return sql;
}

// The previous format's indexes that the current schema words otherwise
// go; they are made anew once the keys are filled.
void dropOutdatedIndexes(Connection &c)
{
    for (const Schema::Table &t : Schema::tables())
        for (int i = 0; i < t.indexNames.size(); ++i) {
            const QString sql = sqlOf(c, QStringLiteral("index"), t.indexNames.at(i));
            if (!sql.isEmpty() && sql != t.indexSql.at(i))
                c.must(QStringLiteral("DROP INDEX main.%1").arg(quoted(t.indexNames.at(i))));
        }
}

QString rows(qint64 n)
{
    return n == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(n);
}

// The name keys of the current schema, added, and filled with one
// statement a table by namekey(), which the connection has for that
// statement only (nothing of the user's may come to need it). No trigger
// of the file fires for them: they are the program's own columns, new to
// the file, and the user's triggers had no part in them.
void addNameKeys(Connection &c)
{
    QStringList tables;
    QHash<QString, QStringList> keys;
    for (const Db::NameKeyColumn &k : Db::nameKeyColumns()) {
        // The schema's names are plain words; checkNames() found none of
        // the keys there.
        const QString table = QLatin1String(k.table);
        c.must(QStringLiteral("ALTER TABLE main.%1 ADD COLUMN %2 TEXT").arg(table, QLatin1String(k.keyColumn)));
        if (!keys.contains(table))
            tables << table;
        keys[table] << QStringLiteral("%1 = namekey(%2)").arg(QLatin1String(k.keyColumn), QLatin1String(k.nameColumn));
    }
    if (!Db::installFunctions(c.handle()))
        throw DbError(QString::fromUtf8(sqlite3_errmsg(c.handle())), sqlite3_errcode(c.handle()));
    sqlite3_db_config(c.handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    for (const QString &table : std::as_const(tables))
        c.must(QStringLiteral("UPDATE main.%1 SET %2").arg(table, keys.value(table).join(QStringLiteral(", "))));
    sqlite3_db_config(c.handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 1, nullptr);
    for (const char *function : {"namekey", "ucase"})
        sqlite3_create_function(c.handle(), function, 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr);
}

// A rule as SQLite's words name it ("UNIQUE constraint failed: t.a, t.b"
// or "...: index 'i'"), as verify() names the rules it finds.
QString ruleOf(const QString &error, const QString &table)
{
    static const QString failed = QStringLiteral(" constraint failed: ");
    const QString kind = error.section(failed, 0, 0);
    const QString what = error.section(failed, 1);
    if (what.isEmpty())
        return QStringLiteral("%1 of the table \"%2\"").arg(error, table);
    if (what.startsWith(QLatin1String("index '")) && what.endsWith(QLatin1Char('\'')))
        return QStringLiteral("%1 of the index \"%2\" of the table \"%3\"").arg(kind, what.mid(7).chopped(1), table);
    QStringList columns;
    for (const QString &column : what.split(QStringLiteral(", ")))
        columns << QLatin1Char('"') + column.mid(table.size() + 1) + QLatin1Char('"');
    return QStringLiteral("%1 of the %2 %3 of the table \"%4\"")
        .arg(kind, columns.size() == 1 ? QStringLiteral("column") : QStringLiteral("columns"),
             columns.join(QStringLiteral(", ")), table);
}

// A stored generated column holds values its expression gave when the
// row was written: with the old collation, or on the program's tables
// with the earlier version's upper(). In a table whose statement changed
// they are computed anew, as its indexes are rebuilt, so that they are
// what the expression gives now. No trigger fires, and CHECK rules are
// left to verify(). The statement's conflict clause overrides the
// column's own: a value that breaks a UNIQUE or NOT NULL rule stops the
// conversion (with REPLACE it would delete a row, with IGNORE keep a
// value the expression no longer gives), and the rule is named with the
// number of rows whose values break it.
void recomputeStoredColumns(Connection &c, const QStringList &tables)
{
    for (const QString &table : tables) {
        QString column;
        c.each(QStringLiteral("select name from pragma_table_xinfo(?) where hidden = 0 and exists "
                              "(select 1 from pragma_table_xinfo(?) where hidden = 3) order by cid limit 1"),
               {table, table}, [&](const Db::Statement &st) { column = st.text(0); });
        if (column.isEmpty())
            continue;
        auto update = [&](QLatin1String conflict) {
            return QStringLiteral("UPDATE OR %1 main.%2 SET %3 = %3").arg(conflict, quoted(table), quoted(column));
        };
        sqlite3_db_config(c.handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
        c.must(QStringLiteral("PRAGMA ignore_check_constraints = ON"));
        if (c.run(update(QLatin1String("ABORT")))) {
            c.must(QStringLiteral("PRAGMA ignore_check_constraints = OFF"));
            sqlite3_db_config(c.handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 1, nullptr);
            continue;
        }
        const DbError failed(c.error(), c.rc());
        if ((failed.code() & 0xff) != SQLITE_CONSTRAINT)
            throw failed;
        // The rows whose update is skipped break a rule; all of it is
        // rolled back.
        const qint64 all = c.number(QStringLiteral("SELECT count(*) FROM main.%1").arg(quoted(table)));
        c.must(update(QLatin1String("IGNORE")));
        throw Refused{DbFile::Cause::Data, QString(),
                      QStringLiteral("%1 (%2, its value computed anew without the earlier version's collation)")
                          .arg(ruleOf(failed.message(), table), rows(all - sqlite3_changes64(c.handle())))};
    }
}

void addMissing(Connection &c, const QString &type, const QStringList &names, const QStringList &statements)
{
    for (int i = 0; i < names.size(); ++i)
        if (sqlOf(c, type, names.at(i)).isEmpty())
            c.must(statements.at(i));
}

void checkProbes(Connection &c, const QList<Probe> &probes)
{
    for (const Probe &p : probes)
        if (const QString why = prepared(c.handle(), p.sql); !why.isEmpty())
            throw Refused{DbFile::Cause::Addition, p.object, why};
}

// A foreign key whose parent key had the old collation found rows that
// differ from it in case or accents; without it they would lose their
// parent row.
void checkForeignKeys(Connection &c, const Original &original)
{
    const std::optional<QHash<QString, qint64>> now = orphansOf(c);
    if (!now || !original.orphans)
        return;
    for (auto it = now->cbegin(); it != now->cend(); ++it) {
        const qint64 lost = it.value() - original.orphans->value(it.key());
        if (lost <= 0)
            continue;
        const QString child = it.key().section(QLatin1Char('\t'), 0, 0);
        const QString parent = it.key().section(QLatin1Char('\t'), 1);
        throw Refused{DbFile::Cause::Addition, QStringLiteral("a foreign key of the table \"%1\"").arg(child),
                      QStringLiteral("in %1 of it, the value would no longer match a row of the table \"%2\", as it "
                                     "did with the earlier version's comparison of names")
                          .arg(rows(lost), parent)};
    }
}

// The table a finding of integrity_check names ("CHECK constraint failed
// in y n", "NULL value in y n.c"): names may hold spaces, dots and quotes,
// so the file's own table names are matched.
QString tableOfFinding(const QString &finding, const QList<StoredObject> &objects)
{
    static const QLatin1String check("CHECK constraint failed in "), null("NULL value in ");
    for (const StoredObject &o : objects) {
        if (o.type != QLatin1String("table"))
            continue;
        if (finding == check + o.name || finding.startsWith(null + o.name + QLatin1Char('.')))
            return o.name;
    }
    return {};
}

// Rows that break a rule of their table: integrity_check names only the
// table, so each CHECK and NOT NULL of it is tried. The rows are the
// original's, which another program wrote past the rule, unless the rule
// held with the old collation.
void verify(Connection &c, const Original &original)
{
    QStringList findings;
    c.each(QStringLiteral("PRAGMA main.integrity_check(100)"), {}, [&](const Db::Statement &st) { findings << st.text(0); });
    if (findings == QStringList{QStringLiteral("ok")})
        return;
    QStringList tables;
    for (const QString &f : std::as_const(findings)) {
        const QString table = tableOfFinding(f, original.objects);
        if (table.isEmpty())
            throw DbError(QStringLiteral("the converted file failed its check: %1").arg(findings.join(QStringLiteral("; "))),
                          SQLITE_CORRUPT);
        if (!tables.contains(table))
            tables << table;
    }
    QStringList broken, neededOld;
    QString neededBy; // the table of the first rule that needed the old collation
    for (const QString &table : std::as_const(tables)) {
        QByteArray before;
        for (const StoredObject &o : original.objects)
            if (o.type == QLatin1String("table") && o.name == table)
                before = o.sql;
        const QString from = quoted(table);
        const QList<QByteArray> was = SqlText::checkExpressions(before);
        const QList<QByteArray> is = SqlText::checkExpressions(sqlOf(c, QStringLiteral("table"), table).toUtf8());
        for (int i = 0; i < is.size(); ++i) {
            const QString expression = QString::fromUtf8(is.at(i));
            const qint64 n = c.number(QStringLiteral("select count(*) from main.%1 where not (%2)").arg(from, expression));
            if (n == 0)
                continue;
            const QString rule = QStringLiteral("CHECK (%1) of the table \"%2\" (%3)").arg(expression, table, rows(n));
            // The file is rolled back whatever this finds: the old
            // collation may come back to try the rule as it was written.
            DbFile::installPreviousCollation(c.handle());
            if (i < was.size() && was.at(i) != is.at(i)
                && c.number(QStringLiteral("select count(*) from main.%1 where not (%2)").arg(from, QString::fromUtf8(was.at(i))))
                    == 0) {
                neededOld << rule;
                if (neededBy.isEmpty())
                    neededBy = table;
            } else {
                broken << rule;
            }
            sqlite3_create_collation(c.handle(), kPreviousCollation.toUtf8().constData(), SQLITE_UTF8, nullptr, nullptr);
        }
        QStringList notNull;
        c.each(QStringLiteral("select name from pragma_table_info(?) where \"notnull\""), {table},
               [&](const Db::Statement &st) { notNull << st.text(0); });
        for (const QString &column : std::as_const(notNull))
            // (SQLite takes "is null" of a NOT NULL column for false.)
            if (const qint64 n = c.number(QStringLiteral("select count(*) from main.%1 where typeof(%2) = 'null'").arg(from, quoted(column))))
                broken << QStringLiteral("NOT NULL of the column \"%1\" of the table \"%2\" (%3)").arg(column, table, rows(n));
    }
    if (!neededOld.isEmpty())
        throw Refused{DbFile::Cause::Addition, QStringLiteral("a rule of the table \"%1\"").arg(neededBy),
                      QStringLiteral("%1, where it held with the earlier version's comparison of names")
                          .arg(neededOld.join(QStringLiteral("; ")))};
    if (broken.isEmpty())
        throw DbError(QStringLiteral("the converted file failed its check: %1").arg(findings.join(QStringLiteral("; "))),
                      SQLITE_CORRUPT);
    throw Refused{DbFile::Cause::Data, QString(), broken.join(QStringLiteral("; "))};
}

// A conversion killed while a user other than the file's owner ran it
// leaves a rollback journal that user owns, which the owner could not
// open to put the file back. So that user makes the journal before SQLite
// does, with the database's mode (SQLite leaves the mode of a journal
// that has it), the database's group when that user is a member of it
// (so that the group that shares the file can open it too) and an ACL
// entry that lets the owner read and write it.
// Only while the file is held exclusively: no other journal can be there.
// Returns whether it made the file.
bool prepareJournal(const QString &real)
{
    struct stat db {};
    if (::stat(QFile::encodeName(real).constData(), &db) != 0 || geteuid() == 0 || geteuid() == db.st_uid)
        return false;
    const mode_t mode = db.st_mode & 0777;
    const int fd = ::open(QFile::encodeName(real + QStringLiteral("-journal")).constData(),
                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    if (::fchown(fd, uid_t(-1), db.st_gid) != 0) {
        // Refused to a user outside the file's group: the owner's entry
        // below is then what lets the file be put back.
    }
    ::fchmod(fd, mode);
    DbAcl::grantUser(fd, real, mode, db.st_uid, (db.st_mode >> 6) & 7);
    ::close(fd);
    return true;
}

// Removes the journal prepareJournal() made when SQLite never wrote to it.
void removeUnusedJournal(const QString &real)
{
    const QByteArray journal = QFile::encodeName(real + QStringLiteral("-journal"));
    struct stat info {};
    if (::lstat(journal.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0)
        ::unlink(journal.constData());
}

// Whether the file is as it was after a failed conversion. After a write
// error (a full disk) SQLite's ROLLBACK leaves in the file what it wrote
// there, and the file is whole only with its journal; a connection that
// opens it anew puts it back from the journal and removes that. So the
// file is called as it was only once it is opened anew, its journal is
// gone and its pages are sound (as start-up checked them); the write lock
// taken meanwhile keeps another program from making a journal of its own.
bool isPutBack(const QString &real)
{
    Connection c(real, Open::ReadWrite, Collation::Previous);
    const bool gone = c.ok() && c.run(QStringLiteral("BEGIN IMMEDIATE"))
        && !QFileInfo::exists(real + QStringLiteral("-journal"));
    const bool sound = gone && DbFile::checkPages(real).ok();
    c.run(QStringLiteral("ROLLBACK"));
    return sound;
}

// Why a conversion stopped, from SQLite's result code.
DbFile::Check notConverted(int rc, const QString &detail)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return problem(DbFile::Problem::InUse, detail);
    default:
        break;
    }
    DbFile::Check check = problem(DbFile::Problem::NotConverted, detail);
    if ((rc & 0xff) == SQLITE_FULL)
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

// The tables and indexes the old collation ordered, put in the order of
// the new one. The entries of an index of a table WITHOUT ROWID end with
// the table's key: they are rebuilt once more, after the table's own
// order (a REINDEX of the table alone may leave them in the old one).
void reorder(Connection &c, const QStringList &names)
{
    for (const QString &name : names) {
        if (c.number(QStringLiteral("select count(*) from main.sqlite_master where name = ? collate nocase"), {name}) == 0)
            continue; // an index dropOutdatedIndexes() dropped
        c.must(QStringLiteral("REINDEX main.%1").arg(quoted(name)));
        QStringList indexes;
        c.each(QStringLiteral("select name from pragma_index_list(?) where origin <> 'pk' and exists (select 1 from "
                              "pragma_table_list(?) where schema = 'main' and wr)"),
               {name, name}, [&](const Db::Statement &st) { indexes << st.text(0); });
        for (const QString &index : std::as_const(indexes))
            c.must(QStringLiteral("REINDEX main.%1").arg(quoted(index)));
    }
}

// The conversion itself, in the transaction `c` holds.
void bringUpToDate(Connection &c)
{
    const Original original = readOriginal(c);
    checkNames(c, original.objects);
    // From here on the connection is as plain as the sqlite3 shell's.
    if (sqlite3_create_collation(c.handle(), kPreviousCollation.toUtf8().constData(), SQLITE_UTF8, nullptr, nullptr)
        != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(c.handle())), sqlite3_errcode(c.handle()));
    const QStringList tables = takeOutPreviousCollation(c, original.objects);
    proveTheEdit(c, original);
    dropOutdatedIndexes(c);
    reorder(c, tables);
    recomputeStoredColumns(c, tables);
    addNameKeys(c);
    for (const Schema::Table &t : Schema::tables()) {
        addMissing(c, QStringLiteral("index"), t.indexNames, t.indexSql);
        addMissing(c, QStringLiteral("trigger"), t.triggerNames, t.triggerSql);
    }
    checkProbes(c, original.probes);
    checkForeignKeys(c, original);
    verify(c, original);
}

} // namespace

namespace DbFile {

Check convert(const QString &path)
{
    const QString real = realPathOf(path);
    Check check;
    {
        Connection c(real, Open::ReadWrite, Collation::Previous);
        // The rollback journal is what makes the change all or nothing.
        if (!c.ok() || !c.run(QStringLiteral("PRAGMA main.journal_mode = DELETE"))
            || !c.run(QStringLiteral("PRAGMA main.synchronous = FULL")) || !c.run(QStringLiteral("BEGIN EXCLUSIVE")))
            return fromConnection(c);
        if (conversionHook())
            conversionHook()(c.handle());
        bool madeJournal = false;
        try {
            // A journal left beside the file now is no other program's
            // at work; where this user could not remove it, the change
            // could not end.
            if (const QString why = stoppedChangeOf(real); !why.isEmpty())
                return problem(Problem::Unreadable, why);
            // Another start may have converted the file while this one waited.
            if (DbFileInternal::isPreviousFormat(c)) {
                madeJournal = prepareJournal(real);
                bringUpToDate(c);
                c.must(QStringLiteral("COMMIT"));
            }
        } catch (const Refused &refused) {
            check = notConverted(refused.cause, refused.object, refused.why);
        } catch (const DbError &e) {
            check = notConverted(e.code(), e.message());
        }
        if (madeJournal)
            removeUnusedJournal(real);
        if (!sqlite3_get_autocommit(c.handle()))
            c.run(QStringLiteral("ROLLBACK"));
    }
    if (check.problem == Problem::NotConverted && !isPutBack(real))
        check.journal = real + QStringLiteral("-journal");
    return check;
}

void setConversionHook(std::function<void(sqlite3 *)> hook)
{
    conversionHook() = std::move(hook);
}

} // namespace DbFile
