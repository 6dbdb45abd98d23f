#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &overriddenFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString programFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString &folder)
{
    overriddenFolder() = QDir::cleanPath(folder);
}

QString programFilePath(const QString &name)
{
    return programFolder() + QLatin1Char('/') + name;
}
