#pragma once
// What the member library's reads share: the member report's choir link
// table (the save and the deletion write the links through LinkTables),
// the character-exact cut the member's text columns are stored with, and
// the lists of distinct texts.

#include <QString>
#include <QStringList>

namespace MemberTables {

// A link table of a member: its name and the column holding the linked id.
struct LinkTable {
    const char *table;
    const char *column;
};

inline constexpr LinkTable Choirs{"chr_m_l", "choirid"};

// The first n characters of a text. A character outside the Basic
// Multilingual Plane counts once and is never split in half.
inline QString cut(const QString &text, int n)
{
    if (n <= 0)
        return QString();
    int chars = 0;
    int i = 0;
    while (i < text.size() && chars < n) {
        i += (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        ++chars;
    }
    return text.left(i);
}

// The non-empty texts of the statement's first column in the order it
// returns them, each once whatever its letter case (the first spelling
// stays). A Null counts as empty.
QStringList distinctTexts(const QString &sql);

} // namespace MemberTables
