#pragma once
// The member viewer's database work, apart from its window so it can be
// tested and measured without one: marking the members that pass the
// user's limits (member.displayit -1, every other member 0) and reading
// the list the viewer shows.

#include <QList>
#include <QString>
#include <QVector>
#include <QtGlobal>

// What the viewer's limit boxes ask for.
struct MemberLimits {
    // Sections and instruments: a member linked to any of the checked ids
    // passes; a ticked limit with none passes no member.
    bool sectionsTicked = false;
    QList<qint32> sectionIds;
    bool instrumentsTicked = false;
    QList<qint32> instrumentIds;

    // Choirs: a member passes with an active membership in one of
    // activeChoirIds or an inactive one in one of inactiveChoirIds; a
    // ticked limit with neither passes no member.
    bool choirsTicked = false;
    QList<qint32> activeChoirIds;
    QList<qint32> inactiveChoirIds;

    // The "My Data" limits on u1 to u5: a member passes when its field
    // begins with the text (outer blanks removed, case ignored); a ticked
    // limit with an empty text is left out.
    bool myDataTicked[5] = {};
    QString myDataText[5];

    // Birthday and membership-anniversary month, as typed or chosen ("1"
    // to "12"); an empty text is left out, a text that is no month passes
    // no member.
    bool birthdayTicked = false;
    QString birthdayMonth;
    bool anniversaryTicked = false;
    QString anniversaryMonth;
};

// One row of the viewer's list: "Last, First Middle" and the id.
struct MemberListRow {
    qint32 memberId = 0;
    QString name;
};

namespace MemberSelection {

// Marks displayit: -1 on every member that passes all ticked limits, 0 on
// the others. The limits apply in the order sections, instruments,
// choirs, "My Data", birthday month, anniversary month; once a list limit
// passes nobody the later ones are not looked at. One transaction; a
// DbError leaves the marks as they were.
void mark(const MemberLimits &limits);

// Every member, or only the marked ones, by last, first and middle name
// (then id).
QVector<MemberListRow> list(bool filteredOnly);

// Whether a member with the id exists.
bool exists(qint32 memberId);

// The month a text names, read as a number ("5", " 5", "05", "5.0"): a
// whole number from 1 to 12; 0 when it names none ("5.5", "May", "13").
int monthOf(const QString &text);

} // namespace MemberSelection
