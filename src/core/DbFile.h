#pragma once
// The checks a database file passes before the program uses it, and the
// conversion of a database of the previous format. Each step opens its
// own SQLite connection, so start-up can run them off the user-interface
// thread while the splash window shows. Nothing here writes to a file
// unless it converts it, and a conversion never writes to the file
// itself: it builds a new one beside it and puts that in its place.

#include <QString>
#include <functional>

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

// With NotConverted: what stood in the way, which decides the advice.
enum class Cause {
    Other,     // SQLite's or the system's own words tell
    NoRoom,    // the disk (or the user's share of it) is full
    Data,      // rows break a rule of the new tables (CHECK, NOT NULL, UNIQUE)
    Addition   // a table, column, index, view or trigger someone added does
               // not come through; `object` names it
};

struct Check {
    Problem problem = Problem::None;
    // SQLite's own words, or the list of what is missing.
    QString detail;
    Cause cause = Cause::Other;
    // With Cause::Addition: what did not come through ("the view \"x\"").
    QString object;

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

// Converts a database of the previous format: builds the new database
// in a scratch file beside it (the path's real file, when the path is a
// symbolic link) from the original, read only and held against other
// writers meanwhile, with every row and id and the id counters, the
// schema's columns, checks, defaults, indexes and triggers, the name keys
// filled, and whatever someone added of their own (tables, columns,
// indexes, views, triggers); checks it; and only then puts it in the
// original's place in one rename. On any failure the original is as it
// was and the scratch file is gone.
Check convert(const QString &path);

// For tests: `hook` runs on the connection that builds the converted file,
// right after that connection is opened (a page limit there stands for a
// full disk; an update hook can stop the process part-way). An empty
// function removes it.
void setConversionHook(std::function<void(sqlite3 *)> hook);

enum class PageCheck { Skip, Run };

// The checks of start-up in their order: a scratch file left by a
// conversion that was stopped is removed; probe; a database of the
// previous format is checked (tables, pages) and converted; then every
// table and column, and the pages when asked. Stops at the first problem.
Check prepare(const QString &path, PageCheck pages);

} // namespace DbFile
