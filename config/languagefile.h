#pragma once

#include <QString>
#include <QStringList>

// The interface texts of Language.lng in the program folder: one section per language
// ("English", "简体中文") for the main window and one per language with "Basic" appended for
// the settings dialog, keyed by control name.

QString languageFileName(); // "Language.lng"

// True when the folder holds a file named exactly "Language.lng" (letter case counts).
bool LanguageFileExists(const QString &folder);

// Longest text returned, in bytes of the file's encoding.
constexpr int kMaxLanguageTextBytes = 254;

// The text of `key` in `section`: "Unknow" when there is no language file, the key itself
// when the section or key is missing.
QString GetLanguageText(const QString &folder, const QString &section, const QString &key);

// True when the folder's language file has a section named `section` (letter case ignored,
// as in every lookup). A window whose section is missing keeps its own texts rather than
// showing control names.
bool LanguageSectionExists(const QString &folder, const QString &section);

// A list-carrying text split at every "," (no trimming, empty entries kept).
QStringList splitLanguageList(const QString &text);
