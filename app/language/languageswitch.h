#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

struct BaseSettings;
struct IniWriteFailure;
class QAction;

// Writes `name` as the stored interface language ("Language"/"Language" of the settings file
// at `iniPath`) when the file holds another value. False when the file could not be written
// (`failure` says why); it is then unchanged.
bool SaveLanguage(const QString &name, const QString &iniPath, IniWriteFailure *failure = nullptr);

// The interface language switch of the main window: the Language menu's three items call
// SetLanguage with "English", "简体中文" and "jap", and start-up calls it once with the
// stored language.
class LanguageSwitch
{
public:
    // The language menu items are the actions of `mainWindow` named "English", "chinese"
    // and "jap"; a missing one is passed over. `settings` gets the Language field, which is
    // stored in the settings file `iniPath`; Language.lng is read from `languageFolder`.
    LanguageSwitch(QWidget *mainWindow, BaseSettings *settings, const QString &iniPath,
        const QString &languageFolder);
    // With the global settings record, its file and the language file in use.
    explicit LanguageSwitch(QWidget *mainWindow);

    // "English" and "简体中文": checks that language's item and unchecks the other two, puts
    // that section's texts on the main window and sets the Language field. "jap": moves only
    // the check mark; the texts and the Language field stay. Any other name changes nothing.
    // In every case the name is then stored with SaveLanguage; the result is whether the file
    // holds it (`failure` says why not).
    bool SetLanguage(const QString &name, IniWriteFailure *failure = nullptr);

private:
    void check(const QString &actionName);
    QAction *action(const QString &objectName) const;

    QPointer<QWidget> m_window;
    BaseSettings *m_settings;
    QString m_iniPath;
    QString m_languageFolder;
};
