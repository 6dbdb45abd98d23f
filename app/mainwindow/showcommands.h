#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class EffectPanel;
class MainStatusBar;
class ProgramList;
class SendController;
class ShowHost;
class ShowPlayback;
class SignPreviewPane;
class QWidget;
struct MainMenus;

// The show commands of the File menu and the effect panel: open a show into the program list,
// save the list as a show (under its name or a new one), the recently used shows, and send
// the show whole. It keeps the window title naming the show and asks before a list with
// unsaved changes is replaced or the program quits.
class ShowCommands : public QObject
{
    Q_OBJECT

public:
    // Most shows the Recent Shows menu lists.
    static constexpr int kMaxRecent = 8;

    // `window` is titled after the show; the menus, list, sends and panes are the window's.
    // All outlive the commands.
    ShowCommands(ShowHost &host, QWidget *window, const MainMenus &menus, ProgramList &list,
        SendController &sends, EffectPanel *effects, SignPreviewPane *preview,
        MainStatusBar *statusBar);

    // The show file the list was last opened from or saved to; "" for none.
    QString showPath() const { return m_path; }
    // Whether the list differs from the show last opened or saved (or, before any, from the
    // empty list of start-up).
    bool isModified() const;

    // Loads `path` into the program list after asking about unsaved changes. A bad show is
    // refused with a message naming the row and key, and the list stays as it was. True
    // when the show was loaded.
    bool openShowFile(const QString &path);

    // Recent shows, newest first, as BaseSet.ini keeps them.
    QStringList recentShows() const;

    // True when the list has no unsaved changes or the operator agrees to discard them.
    bool mayReplaceList();

public slots:
    // File > Open Show: a dialog, then openShowFile.
    void openShow();
    // File > Save Show: under the show's name, or as Save Show As for a list never saved.
    bool saveShow();
    // File > Save Show As: a dialog for the name, then the save.
    bool saveShowAs();
    // File > Send Show and "Send Show": every row's page, then the effect table; one summary.
    void sendShow();
    // Play beside the sign preview: the list from the current row on, looping; Stop.
    void playShow();
    void stopShow();
    // Window title: the show's name, marked while the list has unsaved changes.
    void updateTitle();

private:
    bool saveTo(const QString &path);
    void markSaved(const QString &path);
    void rememberRecent(const QString &path);
    void forgetRecent(const QString &path);
    void writeRecent(const QStringList &shows);
    void fillRecentMenu();
    QString language() const;

    ShowHost &m_host;
    QWidget *m_window;
    const MainMenus &m_menus;
    ProgramList &m_list;
    SendController &m_sends;
    MainStatusBar *m_statusBar;
    QString m_path;
    QList<QStringList> m_savedRows;
    bool m_titlePending = false;
    ShowPlayback *m_playback;

public:
    ShowPlayback &playback() { return *m_playback; }
};
