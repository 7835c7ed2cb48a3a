#include "SpellCheck.h"

namespace {
QString g_userDictionary;
}

namespace SpellCheck {

void setUserDictionary(const QString &path)
{
    g_userDictionary = path;
}

QString userDictionary()
{
    return g_userDictionary;
}

} // namespace SpellCheck
