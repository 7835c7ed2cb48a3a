#pragma once
// One choir member as the member editor shows and stores it, and the
// reads and writes the editor makes, kept apart from the window so they
// can be tested on their own.

#include "LinkTables.h"
#include "NameIndex.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

struct MemberRecord {
    // Characters a text column keeps when it is stored.
    static constexpr int NameWidth = 20;   // LName, FName, MName
    static constexpr int StreetWidth = 100;
    static constexpr int StateWidth = 2;   // after trimming
    static constexpr int PhoneWidth = 14;
    static constexpr int ParentWidth = 100;
    static constexpr int EmailWidth = 100;

    // Sex codes as stored.
    enum Sex { SexNone = 0, Male = 1, Female = 2 };

    qint32 id = 0;
    QString lastName;
    QString firstName;
    QString middleName;
    QString street1;
    QString street2;
    QString city;   // the text: the save stores the id it learns for it
    QString state;
    QString zip;    // the text, as city
    QString homePhone;
    QString cellPhone;
    QString workPhone; // column FPhone
    QString school; // the text, as city
    QString grade;  // a grade list text; "" for none
    // As typed: stored only when it reads as a number, otherwise the
    // stored age stays (a new member gets none).
    QString age;
    int sex = SexNone;
    QString parent;
    QString email;
    QString memo;
    QString u[5];
    QDate birthday;   // invalid: none (Null)
    QDate aniversary; // the membership date; invalid: none

    // "Male" 1, "Female" 2, anything else 0; and back: 1 "Male",
    // 2 "Female", any other code the blank item " ".
    static int sexCode(const QString &text);
    static QString sexText(int code);
};

// A choir the member sings in, and whether the membership is active.
struct MemberChoir {
    qint32 choirId = 0;
    bool active = false;
};

// The ticked rows of the member's three grids, written back whole on save.
struct MemberLinks {
    QList<qint32> sections;    // vocalsm ids
    QList<MemberChoir> choirs;
    QList<qint32> instruments; // orchestration ids

    // The same links as the editor's grids give them (LinkTables).
    QList<LinkChoice> choices() const;
};

// The texts the member editor offers in its four editable lists.
struct MemberComboValues {
    QStringList cities;
    QStringList zips;
    QStringList schools;
    QStringList lastNames;
};

// A member of the editor's list: the id, the last name as stored (the
// letter it files under) and the name-list key "Last, First Middle" (each
// name trimmed; a member without a middle name keeps the trailing blank).
struct MemberListEntry {
    qint32 id = 0;
    QString lastName;
    QString key;
};

namespace MemberData {

// The member with the id, nullopt when there is none. The city, zip code
// and school are read as texts (an id naming no row reads as ""); the age
// as its number when it is one; a date only when it is one. Database errors
// reach the caller.
std::optional<MemberRecord> load(qint32 id);

// Writes the member in one transaction: the city, zip code and school
// texts learnt into their tables when new, the member row (a new one when
// adding, else the row of record.id) with every text cut to its width, and
// the section, choir and instrument links rewritten whole (a choir's
// isactive -1 when active, else 0; a kind missing from the choices is
// written as none ticked). Returns the member's id. On failure (also when
// the member to update no longer exists) nothing is written and DbError
// reaches the caller.
qint32 save(const MemberRecord &record, const QList<LinkChoice> &links, bool adding);

// The cities, zip codes, schools and last names in name order, each
// non-empty value once whatever its letter case.
MemberComboValues comboValues();

// The member editor's list statement, in no order: the editor's index
// sorts by last, first and middle name (their key columns, so as the
// viewer and the report order members), then by id. Each row reads the
// id, the last, first and middle names as stored (the index forms the
// name-list key of them, as listKey() does; the last name's first
// character gives the letter: one that begins with a blank files under
// A) and the three name keys (NameIndex::Order::Keys).
QString listQuery();

// Every member in the editor's order, with its name-list key.
QVector<MemberListEntry> memberList();

// The name-list key of a member: Trim(last) ", " Trim(first) " " Trim(middle),
// each name trimmed of blanks at its ends as the list statement trims them.
QString listKey(const QString &lastName, const QString &firstName, const QString &middleName);
// The key of a member as the list statement reads it once the record is
// stored (each name cut to its width first).
QString storedListKey(const MemberRecord &record);
// The member as the list statement reads it once it is stored: its key,
// its last name and its three name keys.
NameIndex::Entry storedListEntry(const MemberRecord &record);

} // namespace MemberData

// Deletes a member with its choir, section and instrument links, in one
// transaction: on failure nothing is deleted and the DbError reaches the
// caller. Nothing else refers to a member.
void DeleteMember(qint32 memberId);
