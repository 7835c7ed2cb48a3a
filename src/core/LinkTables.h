#pragma once
// The one catalogue of the link tables: for each kind of reference entry
// its table and columns, and for each owner (collection, anthem, member)
// the table that links the owner's records to such entries. The check-list
// grids, the editors' saves, the viewers' filters, the reports, the
// deletion cascades and the reference lists' in-use checks all read their
// table and column names from here.

#include "RecordCodes.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QtGlobal>

// The six kinds of reference entry a record is linked to (the six kinds
// of check-list grid).
enum class CheckGridKind { Vocals, Themes, Orchestration, Choirs, Composers, Sections };

// A reference table: one row per entry.
struct RefTable {
    const char *table;
    const char *idColumn;
    const char *nameColumn;
};

// A link table: one row per (owner record, entry) pair.
struct LinkTable {
    const char *table;
    const char *ownerColumn;
    const char *itemColumn;
    // The member choir links' Yes/No "active" column; nullptr elsewhere.
    const char *activeColumn = nullptr;
};

// The ticked entries of one kind, as an editor writes them back.
struct LinkChoice {
    CheckGridKind kind;
    QList<qint32> ids;
    // On links with an active column: the ids whose link is active.
    QSet<qint32> activeIds;
};

namespace LinkTables {

const RefTable &reference(CheckGridKind kind);

// The link table of an owner for a kind; nullptr when that kind of record
// has no links of the kind (no member themes, no anthem sections).
const LinkTable *link(RecordKind owner, CheckGridKind kind);

// Every link table of an owner, in the order an editor writes them.
QList<const LinkTable *> linksOf(RecordKind owner);

// The table of a kind of record and its id column.
const char *recordTable(RecordKind kind);
const char *recordIdColumn(RecordKind kind);

// Rewrites an owner record's links whole: its rows of each chosen kind
// are deleted, then one row is inserted per ticked id. Runs in the
// caller's transaction (it opens one of its own when there is none).
// Database errors reach the caller.
void rewrite(RecordKind owner, qint32 id, const QList<LinkChoice> &choices);

// Deletes every link row of an owner record (its deletion cascade).
void deleteAll(RecordKind owner, qint32 id);

} // namespace LinkTables
