#pragma once
// The nine reference lists (themes, vocalizations, composers/arrangers,
// orchestration, choirs, member sections, cities, zip codes, schools):
// one table describes each list's table, texts, layout and the rules for
// deleting an entry, and the data routines below serve all nine. Nothing
// here touches a widget, so the rules can be tested on their own.

#include <QList>
#include <QRect>
#include <QString>
#include <QtGlobal>

enum class RefKindId { Theme, Vocals, Composer, Orchestration, Choir, Section, City, Zip, School };

// A table that refers to a reference entry and the refusal shown when it
// still does.
struct RefUse {
    const char *table;
    const char *column;
    // The refusal's first line when it differs from the kind's own.
    const char *refusal = nullptr;
};

struct RefKind {
    RefKindId id;
    int formCode;
    const char *windowName;   // objectName of the window
    const char *caption;
    const char *gridName;
    // Table and columns.
    const char *table;
    const char *idColumn;
    const char *nameColumn;
    const char *descColumn;   // nullptr when the list has no description
    int nameWidth;            // characters kept of a name
    // Header texts of columns 1 and 2.
    const char *nameHeader;
    const char *descHeader;
    // Add/edit dialog modes.
    int addMode;
    int modifyMode;
    // Buttons.
    const char *addButton;
    const char *modifyButton;
    const char *deleteButton;
    const char *addCaption;
    const char *modifyCaption;
    const char *deleteCaption;
    // Deletion.
    const char *deletePrompt;
    QList<RefUse> uses;
    const char *refusal1;
    const char *refusal2;
    const char *refusalTitle;
    // How a name is called in the duplicate message ("theme", "choir", ...).
    const char *noun;
    // Designed layout in twips: client area, grid, Add, Modify, Delete, Close.
    QRect client, grid, add, modify, del, close;
};

const RefKind &refKind(RefKindId id);
const QList<RefKind> &allRefKinds();

struct RefEntry {
    qint32 id = 0;
    QString name;
    QString description;
};

namespace RefData {

// The entries of a list in name order (case ignored), ties by id; a Null
// name or description reads as "".
QList<RefEntry> entries(const RefKind &kind);

// The first table that still refers to the entry, or nullptr when none does.
const RefUse *firstUse(const RefKind &kind, qint32 id);

enum class DeleteResult { Deleted, InUse };
// Deletes the entry unless something refers to it; the check and the
// delete run in one transaction. *use receives the use that refused it.
DeleteResult deleteEntry(const RefKind &kind, qint32 id, const RefUse **use = nullptr);

// The refusal text for a use: the kind's first line (or the use's own), a
// line feed and the second line.
QString refusalText(const RefKind &kind, const RefUse *use);

// Whether another entry of the list (not exceptId) has this name, ignoring
// case (Unicode) and surrounding blanks.
bool nameExists(const RefKind &kind, const QString &name, qint32 exceptId = 0);

// Adds an entry (entry.id is not used), or rewrites the entry of
// entry.id: its name with its sort key, its description when the list has
// one and, for a choir, its schedule information. Texts are stored as given.
void addEntry(const RefKind &kind, const RefEntry &entry, const QString &choirInfo = QString());
void updateEntry(const RefKind &kind, const RefEntry &entry, const QString &choirInfo = QString());

// A choir's schedule information; Null or no such choir reads as "".
QString choirInfo(qint32 choirId);

} // namespace RefData
