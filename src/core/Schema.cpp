#include "Schema.h"

#include "AppPaths.h"
#include "Db.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initCoreResources()
{
    Q_INIT_RESOURCE(core);
}

namespace Schema {

QString script()
{
    initCoreResources();
    QFile f(QStringLiteral(":/velmora/schema.sql"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
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

QString findDatabaseFile(const QString &folder)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*.mdb"), QStringLiteral("*.MDB")},
                                            QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    const QString wanted = QString::fromLatin1(AppPaths::DatabaseFile).toUpper();
    // Prefer the exact spelling when several spellings exist side by side.
    for (const QString &n : names)
        if (n == QLatin1String(AppPaths::DatabaseFile))
            return dir.filePath(n);
    for (const QString &n : names)
        if (n.toUpper() == wanted)
            return dir.filePath(n);
    // entryList's name filters are case-sensitive on Linux: look at the rest.
    const QStringList all = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &n : all)
        if (n.toUpper() == wanted)
            return dir.filePath(n);
    return {};
}

QString ensureDatabaseFile(const QString &folder, QString *error)
{
    const QString found = findDatabaseFile(folder);
    if (!found.isEmpty())
        return found;

    const QDir dir(folder);
    const QString templatePath = dir.filePath(QLatin1String(AppPaths::TemplateFile));
    if (!QFileInfo(templatePath).isFile()) {
        if (error)
            *error = QStringLiteral(
                         "The program folder has no database, and the empty database \"%1\" "
                         "that a new one is made from is missing:\n%2")
                         .arg(QLatin1String(AppPaths::TemplateFile), templatePath);
        return {};
    }
    const QString target = dir.filePath(QLatin1String(AppPaths::DatabaseFile));
    // Copy under a scratch name first, so a failed copy never leaves a
    // half-written database behind under the real name.
    const QString scratch = target + QStringLiteral(".partial");
    QFile::remove(scratch);
    if (!QFile::copy(templatePath, scratch) || !QFile::rename(scratch, target)) {
        QFile::remove(scratch);
        if (error)
            *error = QStringLiteral("The new database could not be created from \"%1\" in\n%2\n"
                                    "Check that the program folder can be written to.")
                         .arg(QLatin1String(AppPaths::TemplateFile), folder);
        return {};
    }
    QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
    return target;
}

} // namespace Schema
