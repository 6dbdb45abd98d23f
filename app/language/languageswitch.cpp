#include "languageswitch.h"

#include "basesettings.h"
#include "classinifile.h"
#include "languageapplier.h"
#include "localtext.h"
#include "programfolder.h"
#include "qttranslations.h"

#include <QAction>

namespace {

const QString kEnglish = QStringLiteral("English");
const QString kJapanese = QStringLiteral("jap");
const QString kLanguageKey = QStringLiteral("Language");

const QString kEnglishItem = QStringLiteral("English");
const QString kChineseItem = QStringLiteral("chinese");
const QString kJapaneseItem = QStringLiteral("jap");

} // namespace

bool SaveLanguage(const QString &name, const QString &iniPath, IniWriteFailure *failure)
{
    classIniFile ini;
    ini.setINIFileName(iniPath);
    // The file already says so: nothing to write, and a read-only file that holds the choice
    // is no trouble.
    QString stored;
    if (ini.findIniKey(kLanguageKey, kLanguageKey, &stored) && stored == name.trimmed()) {
        if (failure)
            *failure = {};
        return true;
    }
    ini.WriteIniKey(kLanguageKey, kLanguageKey, name);
    if (failure)
        *failure = ini.lastWriteFailure();
    return ini.lastWriteSucceeded();
}

LanguageSwitch::LanguageSwitch(QWidget *mainWindow, BaseSettings *settings,
    const QString &iniPath, const QString &languageFolder)
    : m_window(mainWindow)
    , m_settings(settings)
    , m_iniPath(iniPath)
    , m_languageFolder(languageFolder)
{ }

LanguageSwitch::LanguageSwitch(QWidget *mainWindow)
    : LanguageSwitch(mainWindow, &baseSettings(), baseSettingsPath(), languageFolder())
{ }

QAction *LanguageSwitch::action(const QString &objectName) const
{
    return m_window ? m_window->findChild<QAction *>(objectName) : nullptr;
}

void LanguageSwitch::check(const QString &actionName)
{
    for (const QString &name : { kEnglishItem, kChineseItem, kJapaneseItem }) {
        if (QAction *item = action(name)) {
            item->setCheckable(true);
            item->setChecked(name == actionName);
        }
    }
}

bool LanguageSwitch::SetLanguage(const QString &name, IniWriteFailure *failure)
{
    if (name == kEnglish || name == chineseLanguageName()) {
        check(name == kEnglish ? kEnglishItem : kChineseItem);
        ApplyLanguage(m_window, name, m_languageFolder);
        useQtTranslationsFor(name);
        if (m_settings)
            m_settings->Language = name;
    } else if (name == kJapanese) {
        check(kJapaneseItem);
    }
    return SaveLanguage(name, m_iniPath, failure);
}
