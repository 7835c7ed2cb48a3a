#pragma once
// The checks a database file passes before the program uses it, and the
// conversion of a database of the previous format (DbConvert.cpp). Each
// step opens its own SQLite connection, so start-up can run them off the
// user-interface thread while the splash window shows. Nothing here writes
// to a file unless it converts it, and a conversion changes the file in
// one SQLite transaction: all of it or nothing.

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
    NoRoom,      // the disk that holds it is full
    Incomplete,  // tables or columns of the schema are missing
    NotConverted // a database of the previous format the conversion failed on
};

// With NotConverted: what stood in the way, which decides the advice.
enum class Cause {
    Other,         // SQLite's or the system's own words tell
    NoRoom,        // the disk is full (SQLite says so)
    Data,          // rows break a rule of their table (CHECK, NOT NULL)
    Addition,      // an object, rule or foreign key someone added does not
                   // work with the new tables, or without the collation;
                   // `object` names it
    WriteAheadLog, // another tool put the file in write-ahead log mode
    NameTaken,     // an object of the user's has a name the program needs;
                   // `object` names it
    Statement      // a statement of the program's own cannot lose the
                   // collation alone; `object` names it
};

struct Check {
    Problem problem = Problem::None;
    // SQLite's own words, or the list of what is missing.
    QString detail;
    Cause cause = Cause::Other;
    // With Cause::Addition, NameTaken or Statement: the object
    // ("the view \"x\"").
    QString object;
    // With NotConverted: the rollback journal the file is whole only
    // with, where SQLite could not put the file back from it at once;
    // "" when the file is as it was.
    QString journal;

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
// declared with the program's own collation, no name keys). A file in
// write-ahead log mode is read as it is on the disk, through an immutable
// connection that makes nothing beside it.
bool isPreviousFormat(const QString &path);

// Registers the collation of the previous format (UNOCASE) on a
// connection; reading and checking such a file needs it.
bool installPreviousCollation(sqlite3 *handle);

// Converts a database of the previous format (the path's real file, when
// the path is a symbolic link) in place, in one exclusive SQLite
// transaction with a rollback journal, on a connection of plain SQLite:
// the collation of the previous format is taken out of the stored
// statements (the program's own columns get the collation the current
// schema gives them), what it ordered is reindexed, and the name keys,
// indexes and triggers of the current schema are added. Every other
// object, value and setting of the file stays as it was, and so does the
// file itself (inode, links, owner, mode, ACLs). The edit of the
// statements is proved before the commit; any failure rolls everything
// back, and the file is opened anew so that SQLite puts back from the
// journal what a failed write left in the file itself. A file in use by
// another program, or no longer of the previous format once it is held
// (another start converted it), is left as it is. A file in write-ahead
// log mode must not come here: prepare() refuses it before anything can
// write to it.
Check convert(const QString &path);

// For tests: `hook` runs on the converting connection once it holds the
// file (a page limit there stands for a full disk; a progress handler can
// stop the process part-way). An empty function removes it.
void setConversionHook(std::function<void(sqlite3 *)> hook);

enum class PageCheck { Skip, Run };

// The checks of start-up in their order: a database of the previous
// format in write-ahead log mode is refused before anything opens it for
// writing; probe (which has SQLite roll back what a stopped conversion
// left); a database of the previous format is checked (tables, pages) and
// converted; then every table and column, and the pages when asked. Stops
// at the first problem.
Check prepare(const QString &path, PageCheck pages);

} // namespace DbFile
