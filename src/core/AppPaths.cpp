#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString g_folder;
}

namespace AppPaths {

QString programFolder()
{
    if (!g_folder.isEmpty())
        return g_folder;
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString &folder)
{
    g_folder = folder;
}

QString inProgramFolder(const QString &fileName)
{
    return QDir(programFolder()).filePath(fileName);
}

} // namespace AppPaths
