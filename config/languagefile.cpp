#include "languagefile.h"

#include "classinifile.h"
#include "textencoding.h"

#include <QDir>
#include <QFile>

QString languageFileName()
{
    return QStringLiteral("Language.lng");
}

bool LanguageFileExists(const QString &folder)
{
    // A directory listing, not a path lookup, so that a case-insensitive file system still
    // tells "language.lng" apart from "Language.lng".
    const QStringList found = QDir(folder).entryList({ languageFileName() }, QDir::Files);
    return found.contains(languageFileName(), Qt::CaseSensitive);
}

QString GetLanguageText(const QString &folder, const QString &section, const QString &key)
{
    if (!LanguageFileExists(folder))
        return QStringLiteral("Unknow");
    classIniFile ini;
    ini.setINIFileName(folder + QLatin1Char('/') + languageFileName());
    QString text;
    if (!ini.findIniKey(section, key, &text, kMaxLanguageTextBytes))
        return key;
    return text;
}

bool LanguageSectionExists(const QString &folder, const QString &section)
{
    if (!LanguageFileExists(folder))
        return false;
    QFile file(folder + QLatin1Char('/') + languageFileName());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = decodeSettingsText(file.readAll()).text;
    const QString wanted = section.trimmed();
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const QStringView trimmed = line.trimmed();
        if (!trimmed.startsWith(QLatin1Char('[')))
            continue;
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        if (close > 0
            && trimmed.mid(1, close - 1).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList splitLanguageList(const QString &text)
{
    return text.split(QLatin1Char(','), Qt::KeepEmptyParts);
}
