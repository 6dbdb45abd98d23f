#pragma once

#include <QString>

// The Chinese interface language name, as the settings file and the language menu store it.
inline const QString &chineseLanguageName()
{
    static const QString name = QStringLiteral("简体中文");
    return name;
}

// Picks the text of the user's language for messages the program composes itself (refusals,
// load problems): Chinese when `language` is the Chinese interface language, English
// otherwise.
inline QString localText(const QString &language, const QString &english, const QString &chinese)
{
    return language == chineseLanguageName() ? chinese : english;
}
