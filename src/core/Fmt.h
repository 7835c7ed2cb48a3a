#pragma once
// Text, date and number conventions shared by every window and report.
// Dates are stored as ISO text and shown month first, always through the
// explicit formats below, never through the system locale.

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

namespace Fmt {

// Null or missing reads as "".
QString nz(const QVariant &v);

// Storage form of a date: "yyyy-MM-dd"; an invalid date is stored as Null.
QVariant dateToDb(const QDate &d);
// A stored value read back as a date; invalid when it is not one.
QDate dateFromDb(const QVariant &v);

// "MM/dd/yyyy", "MM/yyyy" and "MM/dd".
QString mdy(const QDate &d);
QString my(const QDate &d);
QString md(const QDate &d);

// Reads what a user typed as a month/day/year date: "3/5/2001",
// "03/05/2001", "3-5-2001"; two-digit years count from 1930 to 2029.
// Anything else (including impossible dates) is std::nullopt.
std::optional<QDate> parseMdy(const QString &text);
bool isDate(const QString &text);

// The system's long date form as the reports print it, in US English:
// "Tuesday, December 8, 2026".
QString longDate(const QDate &d);
QString shortTime(const QTime &t);

// Numbers as the editors show them: currency "$1,234.50" and whole
// numbers "1,000". parseNumber reads back both forms, plain numbers and
// a leading minus or parentheses; nullopt when the text is not a number.
QString currency(double value);
QString wholeNumber(double value);
std::optional<double> parseNumber(const QString &text);
bool isNumeric(const QVariant &v);

// The shortest plain decimal text of a stored number: 12.5, 3, 0.25.
QString plainNumber(double value);

// A stored number, also when an imported file holds it as text ("$12.50");
// nullopt for Null and for what is no number.
std::optional<double> storedNumber(const QVariant &v);
// Storage form of a number that may be missing: none is stored as Null.
QVariant numberToDb(const std::optional<double> &value);
QVariant numberToDb(const std::optional<qint64> &value);

// What a cost or copies box of an editor holds: valid with no value (an
// empty box, stored as Null), valid with a value, or not valid (text the
// editor refuses).
struct CostInput {
    bool valid = true;
    std::optional<double> value;
};
struct CopiesInput {
    bool valid = true;
    std::optional<qint64> value;
};
// Reads a cost box as the editors show it ("$1,234.50", "1234.5",
// "($3.00)"), to the cent; an empty box is no value.
CostInput parseCost(const QString &text);
// Reads a copies box as the editors show it ("1,200", "12"): a whole
// number; an empty box is no value.
CopiesInput parseCopies(const QString &text);

// The text without the blanks (U+0020) at its ends; other white space
// stays, as the database's trim() leaves it.
QString trimBlanks(const QString &text);

// Left(Trim(text), n) and Left(text, n), counting characters: a character
// outside the Basic Multilingual Plane (two UTF-16 units) counts once and
// is never cut in half.
QString trimCut(const QString &text, int n);
QString cut(const QString &text, int n);
// The number of characters of a text, counted as cut() counts them.
int length(const QString &text);

// Control characters have no place in text a person reads: a stored name
// may hold one (typed or imported), which a font draws as a box. What the
// reports print and the grids show keeps only tabs and line feeds, so the
// preview, the PDF, every export and every list show the same text; the
// stored text stays as it is.
bool isControl(char16_t u);
// The text without its control characters; the text itself when it has
// none.
QString withoutControls(const QString &text);

} // namespace Fmt
