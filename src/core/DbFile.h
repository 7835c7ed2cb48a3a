#pragma once
// The checks a database file passes before the program uses it, and the
// conversion of a database of the previous format. Each step opens its
// own SQLite connection, so start-up can run them off the user-interface
// thread while the splash window shows. Nothing here writes to a file
// unless it converts it, and a failed conversion leaves it as it was.

#include <QString>

struct sqlite3;

namespace DbFile {

enum class Problem {
    None,
    Missing,     // no such file
    Empty,       // zero bytes
    InUse,       // another program holds a lock on it
    Damaged,     // not a database, or damaged pages
    Unreadable,  // cannot be read, or cannot be written
    Incomplete,  // tables or columns of the schema are missing
    NotConverted // a database of the previous format the conversion failed on
};

struct Check {
    Problem problem = Problem::None;
    // SQLite's own words, or the list of what is missing.
    QString detail;

    bool ok() const { return problem == Problem::None; }
    // One sentence: what is wrong with the file.
    QString reason() const;
    // What the user is told about the database at `path`: what is wrong
    // and what to do about it.
    QString message(const QString &path) const;
};

// The file is there, not empty, a database, readable, and neither locked
// by another program nor read-only, nor in a folder that is (a write is
// begun and rolled back, which leaves the file as it was).
Check probe(const QString &path);

// Every table and column of the schema is there. withKeys false leaves
// out the name key columns, which a database of the previous format has
// not yet.
Check checkTables(const QString &path, bool withKeys = true);

// PRAGMA quick_check: every page of the file is sound.
Check checkPages(const QString &path);

// Whether the file is a database of the previous format (text columns
// declared with the program's own collation, no name keys).
bool isPreviousFormat(const QString &path);

// Registers the collation of the previous format (UNOCASE) on a
// connection; reading and checking such a file needs it.
bool installPreviousCollation(sqlite3 *handle);

// Rebuilds each table of the previous format in one transaction, keeping
// every row and id and the tables' id counters, with the schema's
// columns, checks, defaults, indexes and triggers, and the name keys
// filled.
Check convert(const QString &path);

enum class PageCheck { Skip, Run };

// The checks of start-up in their order: probe; a database of the
// previous format is checked (tables, pages) and converted; then every
// table and column, and the pages when asked. Stops at the first problem.
Check prepare(const QString &path, PageCheck pages);

} // namespace DbFile
