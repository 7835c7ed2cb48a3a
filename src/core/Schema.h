#pragma once
// The database schema (schema.sql, built into the program) and the start-up
// step that makes sure the program folder holds a database.

#include <QList>
#include <QString>
#include <QStringList>

namespace Schema {

QString script();

// One table as schema.sql makes it: its statement, its columns in order,
// and the statements of its indexes and triggers.
struct Table {
    QString name;
    QString sql;
    QStringList columns;
    QStringList indexNames;
    QStringList indexSql;
    QStringList triggerNames;
    QStringList triggerSql;
};
// Every table of the schema, in the script's order. Built once, from the
// script, in a database in memory.
const QList<Table> &tables();

// Writes a new database with every table and the fixed rows. Refuses to
// overwrite an existing file.
bool createDatabaseFile(const QString &path, QString *error);

// The program folder's database file, found in any letter case
// ("HXDATA97.MDB" too); "" when there is none.
QString findDatabaseFile(const QString &folder);

// The file of that name in the folder, found in any letter case; "" when
// there is none.
QString findFile(const QString &folder, const QString &name);

// Makes sure the folder holds a database: when none is found, copies the
// template beside it (found in any letter case too) under a scratch name,
// checks the copy as a database is checked at start-up, and only then
// gives it the database's name. Returns the path to open, or "" with
// *error set when the template is missing or unusable or the copy fails;
// then no database is left behind. The template itself is never opened.
QString ensureDatabaseFile(const QString &folder, QString *error);

} // namespace Schema
