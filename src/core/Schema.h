#pragma once
// The database schema (schema.sql, built into the program) and the start-up
// step that makes sure the program folder holds a database.

#include <QString>

namespace Schema {

QString script();

// Writes a new database with every table and the fixed rows. Refuses to
// overwrite an existing file.
bool createDatabaseFile(const QString &path, QString *error);

// The program folder's database file, found in any letter case
// ("HXDATA97.MDB" too); "" when there is none.
QString findDatabaseFile(const QString &folder);

// Makes sure the folder holds a database: when none is found, copies the
// template beside it. Returns the path to open, or "" with *error set
// when the template is missing or the copy fails. The template itself is
// never opened.
QString ensureDatabaseFile(const QString &folder, QString *error);

} // namespace Schema
