#pragma once
// The checks a database file passes before the program uses it, and the
// conversion of a database of the previous format (DbConvert.cpp). Each
// step opens its own SQLite connection, so start-up can run them off the
// user-interface thread while the splash window shows. Nothing here writes
// to a file unless it converts it, and a conversion never writes to the
// file itself: it builds a new one beside it and puts that in its place.

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
    NoRoom,        // the disk (or the user's share of it) is full
    Data,          // rows break a rule of their table (CHECK, NOT NULL)
    Addition,      // a view, trigger or rule someone added does not work
                   // with the new tables; `object` names it
    WriteAheadLog, // another tool put the file in write-ahead log mode
    InTheWay       // a file the program did not make has the name the new
                   // file is built under; `object` names it
};

struct Check {
    Problem problem = Problem::None;
    // SQLite's own words, or the list of what is missing.
    QString detail;
    Cause cause = Cause::Other;
    // With Cause::Addition: what did not come through ("the view \"x\"");
    // with Cause::InTheWay: the file in the way.
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

// Converts a database of the previous format. The original (the path's
// real file, when the path is a symbolic link) is held against other
// writers and only read: a copy of it, byte for byte, is made beside it
// under the name of scratchPathOf(), never more open than the original
// and with its owner, group and ACL where the system lets the user give
// them; a file of that name (or of SQLite's files beside it) that the
// program did not make stops the conversion.
// On the copy the collation of the previous format is taken out of the
// schema's text (the program's own columns get the collation the current
// schema gives them), the indexes it ordered are rebuilt, and the name
// keys, indexes and triggers of the current schema are added, on a
// connection of plain SQLite. Every other object, value and setting of the
// file stays as it was. The copy is checked, put on the disk and only then
// renamed into the original's place. On any failure the original is as it
// was and nothing is left beside it. A file that is no longer of the
// previous format once it is held (another start converted it meanwhile)
// is left as it is.
Check convert(const QString &path);

// Where convert() builds the new file for the database at `path`.
QString scratchPathOf(const QString &path);

// Removes what a conversion that was stopped (the program killed, the
// power gone) left beside the database: only a file the conversion made,
// and not while another start of the program converts the file.
void removeStoppedConversion(const QString &path);

// For tests: `hook` runs on the connection that builds the converted file,
// right after that connection is opened (a page limit there stands for a
// full disk; an update hook can stop the process part-way). An empty
// function removes it.
void setConversionHook(std::function<void(sqlite3 *)> hook);

enum class PageCheck { Skip, Run };

// The checks of start-up in their order: what a conversion that was
// stopped left is removed; probe; a database of the
// previous format is checked (tables, pages) and converted; then every
// table and column, and the pages when asked. Stops at the first problem.
Check prepare(const QString &path, PageCheck pages);

} // namespace DbFile
