#pragma once
// What the member library's reads share: the lists of distinct texts.

#include <QString>
#include <QStringList>

namespace MemberTables {

// The non-empty texts of the statement's first column in the order it
// returns them, each once whatever its letter case (the first spelling
// stays). A Null counts as empty.
QStringList distinctTexts(const QString &sql);

} // namespace MemberTables
