#pragma once
// A member's city, zip code and school are stored as ids into three small
// tables (city, zip, school); the state is one of the fixed abbreviations
// of the state table. These routines turn texts into ids and ids into
// texts, learn a typed text that has no row yet, and list the values a
// member editor offers. One table describes the three lists, and one
// routine of each kind serves all three.
//
// Texts are matched without regard to letter case (Unicode upper-casing,
// as the database's ucase() does) and are never trimmed: "Springfield "
// is not "Springfield". When several rows hold the same text the first
// by id wins. No row: id 0, text "".

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QComboBox;

enum class AddressKind { City, Zip, School };

// The id of the first row whose text equals the text, case ignored; 0 when
// there is none. Database errors reach the caller.
qint32 LookupAddressId(AddressKind kind, const QString &text);
// The text of the row with the id (a Null text reads as ""); "" when there
// is no such row.
QString LookupAddressText(AddressKind kind, qint32 id);

// The id a member row stores for a typed text: 0 when the text is empty
// after trimming; otherwise the text as typed, cut to the list's width
// (city 50, zip code 10, school 100 characters), is
// looked up and, when no row holds it, added as a new row. Run inside the
// caller's transaction.
qint32 LearnAddressText(AddressKind kind, const QString &typed);

// Every non-empty text of the list in name order, each once whatever its
// letter case (spelled as the first of them in that order).
QStringList AddressValues(AddressKind kind);

// The state abbreviations in order, then one blank item " " (none).
void FillStateCombo(QComboBox *list);

qint32 GetCityID(const QString &text);
qint32 GetZipID(const QString &text);
qint32 GetSchoolID(const QString &text);
QString GetCityName(qint32 id);
QString GetZipText(qint32 id);
QString GetSchoolName(qint32 id);
