#include "languagefile.h"

#include "classinifile.h"

#include <QDir>
#include <QFileInfo>

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

QStringList splitLanguageList(const QString &text)
{
    return text.split(QLatin1Char(','), Qt::KeepEmptyParts);
}
