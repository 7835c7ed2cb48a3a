#include "Schema.h"

#include "AppPaths.h"
#include "Db.h"
#include "DbFile.h"
#include "DbStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <functional>
#include <sqlite3.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initCoreResources()
{
    Q_INIT_RESOURCE(core);
}

namespace Schema {

QString script()
{
    // Read once: the start-up checks ask for it from another thread.
    static const QString text = [] {
        initCoreResources();
        QFile f(QStringLiteral(":/velmora/schema.sql"));
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(f.readAll());
    }();
    return text;
}

namespace {

QList<Table> buildTables()
{
    QList<Table> out;
    sqlite3 *h = nullptr;
    if (sqlite3_open_v2(":memory:", &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(h);
        return out;
    }
    const QByteArray text = script().toUtf8();
    if (sqlite3_exec(h, text.constData(), nullptr, nullptr, nullptr) == SQLITE_OK) {
        // The schema is ours and the connection in memory: a statement that
        // fails reads as no rows.
        auto each = [h](const char *sql, const QString &arg, const std::function<void(const Db::Statement &)> &row) {
            try {
                Db::Statement st(h, QString::fromUtf8(sql), arg.isNull() ? Params{} : Params{arg});
                while (st.next())
                    row(st);
            } catch (const DbError &) {
            }
        };
        each("select name, sql from sqlite_master where type = 'table' and name not like 'sqlite%' order by rowid",
             QString(), [&](const Db::Statement &st) { out.append(Table{st.text(0), st.text(1), {}, {}, {}, {}, {}}); });
        for (Table &t : out) {
            const QString &name = t.name;
            each("select name from pragma_table_info(?) order by cid", name,
                 [&](const Db::Statement &st) { t.columns.append(st.text(0)); });
            each("select name, sql from sqlite_master where type = 'index' and tbl_name = ? and sql is not null "
                 "order by rowid",
                 name, [&](const Db::Statement &st) {
                     t.indexNames.append(st.text(0));
                     t.indexSql.append(st.text(1));
                 });
            each("select name, sql from sqlite_master where type = 'trigger' and tbl_name = ? order by rowid", name,
                 [&](const Db::Statement &st) {
                     t.triggerNames.append(st.text(0));
                     t.triggerSql.append(st.text(1));
                 });
        }
    }
    sqlite3_close(h);
    return out;
}

} // namespace

const QList<Table> &tables()
{
    static const QList<Table> list = buildTables();
    return list;
}

bool createDatabaseFile(const QString &path, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("\"%1\" already exists.").arg(path);
        return false;
    }
    const QString name = QStringLiteral("velmora_create_%1").arg(quintptr(&path));
    bool ok = false;
    {
        QString why;
        QSqlDatabase db = Db::openNamed(name, path, true, &why);
        if (!db.isValid()) {
            if (error)
                *error = why;
            return false;
        }
        try {
            Db::exec(db, QStringLiteral("BEGIN"));
            Db::runScript(db, script());
            // Whatever this connection writes after the schema keeps its keys.
            Db::installKeyTriggers(db);
            Db::exec(db, QStringLiteral("COMMIT"));
            ok = true;
        } catch (const DbError &e) {
            if (error)
                *error = e.message();
        }
    }
    Db::closeNamed(name);
    if (!ok)
        QFile::remove(path);
    return ok;
}

QString findFile(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    // Prefer the exact spelling when several spellings exist side by side.
    if (QFileInfo(dir.filePath(name)).isFile())
        return dir.filePath(name);
    const QString wanted = name.toUpper();
    const QStringList all = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &n : all)
        if (n.toUpper() == wanted)
            return dir.filePath(n);
    return {};
}

QString findDatabaseFile(const QString &folder)
{
    return findFile(folder, QLatin1String(AppPaths::DatabaseFile));
}

QString ensureDatabaseFile(const QString &folder, QString *error)
{
    const QString found = findDatabaseFile(folder);
    if (!found.isEmpty())
        return found;

    const QDir dir(folder);
    const QString templateName = QLatin1String(AppPaths::TemplateFile);
    const QString templatePath = findFile(folder, templateName);
    if (templatePath.isEmpty()) {
        if (error)
            *error = QStringLiteral(
                         "The program folder has no database, and the empty database \"%1\" "
                         "that a new one is made from is missing:\n%2")
                         .arg(templateName, dir.filePath(templateName));
        return {};
    }
    const QString target = dir.filePath(QLatin1String(AppPaths::DatabaseFile));
    // Copy under a scratch name first, so a failed copy or a copy that
    // fails its check never lies in place under the real name.
    const QString scratch = target + QStringLiteral(".partial");
    QFile::remove(scratch);
    if (!QFile::copy(templatePath, scratch)) {
        QFile::remove(scratch);
        if (error)
            *error = QStringLiteral("The new database could not be created from \"%1\" in\n%2\n"
                                    "Check that the program folder can be written to.")
                         .arg(QFileInfo(templatePath).fileName(), folder);
        return {};
    }
    QFile::setPermissions(scratch, QFile::permissions(scratch) | QFile::WriteOwner | QFile::ReadOwner);
    const DbFile::Check check = DbFile::prepare(scratch, DbFile::PageCheck::Run);
    if (!check.ok()) {
        QFile::remove(scratch);
        QFile::remove(scratch + QStringLiteral("-journal"));
        if (error)
            *error = QStringLiteral("The program folder has no database, and the empty database \"%1\" "
                                    "that a new one is made from cannot be used:\n%2\n\n"
                                    "Install The Velmora again to restore it.")
                         .arg(templatePath, check.reason());
        return {};
    }
    if (!QFile::rename(scratch, target)) {
        QFile::remove(scratch);
        if (error)
            *error = QStringLiteral("The new database could not be created from \"%1\" in\n%2\n"
                                    "Check that the program folder can be written to.")
                         .arg(QFileInfo(templatePath).fileName(), folder);
        return {};
    }
    return target;
}

} // namespace Schema
