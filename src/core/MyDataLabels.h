#pragma once
// The captions of the five "My Data" user fields u1 to u5 of each kind of
// record (table labels, one row per datatype: 1 collection, 2 anthem,
// 3 member). The editors, the viewers and the reports read them here and
// the editors rename them here.

#include <QString>
#include <array>
#include <optional>

namespace MyDataLabels {

// The five captions (index 0 for u1), a Null caption read as ""; nullopt
// when the datatype has no labels row. Database errors reach the caller.
std::optional<std::array<QString, 5>> read(int datatype);

// Stores a new caption of user field n (1 to 5), cut to 20 characters;
// returns the caption stored. Database errors reach the caller.
QString rename(int datatype, int n, const QString &caption);

// Captions are cut to this many characters.
constexpr int CaptionWidth = 20;

} // namespace MyDataLabels
