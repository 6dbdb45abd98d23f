#pragma once

#include <QObject>

#include <functional>

class EffectPanel;
class ProgramList;
class QWidget;
struct IniWriteFailure;
struct MainMenus;

// Set > Language: switches the interface language of the main window, stores the choice in
// BaseSet.ini, and notes when the language file is missing or the choice could not be stored.
class LanguageCommands : public QObject
{
    Q_OBJECT

public:
    // `window` carries the texts and the Language menu items `menus`; the effect panel keeps
    // showing the effects of the current row of `list`. `note` shows a status-bar note. All
    // outlive the commands.
    LanguageCommands(QWidget *window, const MainMenus &menus, EffectPanel *effects,
        const ProgramList &list, std::function<void(const QString &)> note,
        QObject *parent = nullptr);

    // "English", "简体中文" or "jap" (the check mark only).
    void SetLanguage(const QString &name);

signals:
    // The language file's texts are on; the texts the program composes itself follow.
    void languageChanged(const QString &language);

private:
    void noteProblem(const QString &name, const IniWriteFailure &failure);

    QWidget *m_window;
    EffectPanel *m_effects;
    const ProgramList &m_list;
    std::function<void(const QString &)> m_note;
};
