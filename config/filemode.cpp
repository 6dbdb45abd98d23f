#include "filemode.h"

#include <QFileInfo>

bool fileModeAllowsReading(const QString &path)
{
    const QFileInfo info(path);
    constexpr QFile::Permissions anyRead = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    return info.exists() && info.isReadable() && (info.permissions() & anyRead);
}

bool fileModeAllowsWriting(const QString &path)
{
    const QFileInfo info(path);
    constexpr QFile::Permissions anyWrite
        = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.exists() && info.isWritable() && (info.permissions() & anyWrite);
}
