#pragma once
// Files of the program folder: the executable's folder, unless a test
// points it elsewhere.

#include <QString>

namespace AppPaths {
QString programFolder();
void setProgramFolder(const QString &folder); // "" restores the default
// Program folder joined with a file name ("hxdata97.mdb" etc.).
QString inProgramFolder(const QString &fileName);

inline constexpr const char *DatabaseFile = "hxdata97.mdb";
inline constexpr const char *TemplateFile = "hxdataE97.mdb";
inline constexpr const char *HelpFile = "HXHelp.chm";
inline constexpr const char *UserDictionaryFile = "MyDictionary.dct";
} // namespace AppPaths
