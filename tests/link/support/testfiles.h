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

// A show of one row, page `page`, for an 8 x 1 sign.
inline QByteArray oneRowShow(
    const QByteArray &page, const QByteArray &speed = "3", const QByteArray &effect = "0")
{
    return "[Show]\nVersion=1\n\n[Row1]\nFile Path=" + page + "\nEffect=" + effect + "\nSpeed="
        + speed + "\nTimes=0\nRepeat=1\nEEffect=0\nESpeed=3\nETime=0\nERepeat=1\nTWidth=8\n"
        + "THeight=1\n";
}
