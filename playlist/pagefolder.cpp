#include "pagefolder.h"

#include <QDir>

#include <algorithm>

QString pageFilePattern()
{
    return QStringLiteral("*.rtf;*.bmp;*.jpg;*.gif");
}

QStringList listPageFiles(const QString &folder)
{
    const QDir dir(folder);
    // Without QDir::CaseSensitive the name filters match any letter case.
    QStringList names
        = dir.entryList(pageFilePattern().split(QLatin1Char(';')), QDir::Files, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}
