#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Whole files written and read in one call, for tests that lay out folders on disk. A file that
// cannot be read reads as empty.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
