#pragma once
// The spell checker behind F7 in the record windows: hunspell with the
// system's en_US dictionary and the user dictionary of the program folder.

#include <QString>

namespace SpellCheck {
void setUserDictionary(const QString &path);
QString userDictionary();
} // namespace SpellCheck
