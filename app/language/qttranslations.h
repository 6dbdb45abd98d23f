#pragma once

#include <QString>

// Qt's own texts (the buttons of message boxes, the file and colour dialogs) in the interface
// language: Qt's Simplified Chinese catalogue is installed for "简体中文" and removed for any
// other language, so they read in English. The catalogue comes from Qt's translations folder
// (Debian's qt6-translations-l10n). True when Qt's texts now follow `language`; false when
// its Chinese catalogue is missing, and Qt's texts stay English.
bool useQtTranslationsFor(const QString &language);
