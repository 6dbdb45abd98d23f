#pragma once

#include "fieldresolver.h"

#include <QObject>
#include <QPointer>

#include <functional>

class MainStatusBar;
class PageWindows;
class QAction;
class QFileSystemWatcher;
class QMdiArea;
class QTimer;
class SignPreviewPane;
class frmDocument;
struct FieldChoice;
struct MainMenus;

// Fields in the page windows: Insert > Field puts one at the caret of the active page, in the
// caret's format; View > Show Values switches the canvases and the sign preview between the
// fields' values (as they are sent) and the fields as typed, remembered in BaseSet.ini. Shown
// values are drawn anew at every minute and when a file in the program folder or its values
// folder changes; field problems become a note in the status bar.
class FieldCommands : public QObject
{
    Q_OBJECT

public:
    // `language` gives the interface language; the menus, page windows, area, preview and
    // status bar (for notes) are the window's and outlive the commands.
    FieldCommands(const MainMenus &menus, PageWindows *pages, QMdiArea *area,
        SignPreviewPane *preview, MainStatusBar *bar, std::function<QString()> language,
        QObject *parent = nullptr);

    // Where fields take their values from now: this moment, the program folder, the language.
    Fields::FieldContext context() const;

    // Shows the remembered choice (after the settings are loaded) and starts watching.
    void followSettings();
    // View > Show Values: values (true) or the fields as typed; stored in BaseSet.ini.
    void setShowValues(bool show);

    // Insert > Field: the dialog, then insertField with the operator's choice.
    void openInsertFieldDialog();
    // Types `choice`'s field at the caret of the active page, in the caret's format. False
    // when there is no page or the choice is not a field.
    bool insertField(const FieldChoice &choice);

    // Draws every shown value anew.
    void refreshValues();

private:
    void adopt(frmDocument *page);
    void watchFolders();
    void scheduleMinute();
    void reportProblems(const QList<Fields::FieldProblem> &problems);

    QAction *m_showValuesAction;
    PageWindows *m_pages;
    QMdiArea *m_area;
    SignPreviewPane *m_preview;
    MainStatusBar *m_bar;
    QString m_shownProblems; // the note on field problems last shown
    std::function<QString()> m_language;
    QFileSystemWatcher *m_watcher;
    QTimer *m_settle; // changes of files come in bursts: one redraw for a burst
    QTimer *m_minute;
};
