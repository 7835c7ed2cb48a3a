#pragma once
// The set-based filter the three viewers share: marks the records of a
// kind that pass every limit the user ticked (displayit -1) and every
// other record (displayit 0), in one transaction and one statement that
// writes only the marks that change.
//
// Limits combine by AND. Within a link limit any ticked entry will do
// (OR); a link limit with no ticked entry passes no record, and the
// limits after it are not looked at. A "My Data" limit passes a record
// whose user field begins with the text (outer blanks removed, case
// ignored, Unicode); a limit with an empty text is left out. A viewer
// adds its own limits as conditions on the record's row (loaned out, a
// birthday month).

#include "Db.h"
#include "LinkTables.h"

#include <QList>
#include <QString>
#include <QStringList>

class DisplayMarker {
public:
    explicit DisplayMarker(RecordKind kind);

    // Records linked to any of the ids (ids below 1 are ignored).
    void addLinkLimit(CheckGridKind kind, const QList<qint32> &ids);
    // On links with an active column (member choirs): records linked to
    // one of activeIds with an active link, or to one of inactiveIds with
    // a link that is not active.
    void addActiveLinkLimit(CheckGridKind kind, const QList<qint32> &activeIds, const QList<qint32> &inactiveIds);
    // Records whose user field n (1 to 5) begins with the text.
    void addMyDataLimit(int n, const QString &text);
    // A test on the record's own row, with its bound parameters; a Null
    // outcome fails like a false one.
    void addCondition(const QString &test, const Params &params = {});

    // Marks displayit. A DbError leaves the marks as they were.
    void mark() const;
    // The one statement mark() runs in its transaction, and its bound
    // parameters (for measuring it bare).
    QString statement() const;
    Params parameters() const;

    // The ids as the one bound parameter of an id list (a JSON array):
    // any number of entries fits, and only numbers ever reach it; empty
    // when no id is 1 or more.
    static QString idArray(const QList<qint32> &ids);

private:
    QString linkTest(const LinkTable &t, const QString &extra) const;

    RecordKind m_kind;
    QStringList m_tests;
    Params m_params;
    bool m_nonePasses = false;
};
