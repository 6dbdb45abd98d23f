#pragma once

#include <QDate>
#include <QWidget>

#include <functional>

class AgentStatePane;
class PromptSink;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;
class ScheduleEditor;
class WeekChart;

// What the Schedule window asks of the program that opens it: where prompts go, the file
// dialogs ("description|pattern" filters, "" when cancelled) and the interface language.
struct ScheduleWindowServices
{
    std::function<PromptSink &()> prompts;
    std::function<QString(const QString &title, const QString &filter, const QString &folder)>
        openFileName;
    std::function<QString(const QString &title, const QString &filter, const QString &folder,
        const QString &initialName, const QString &defaultSuffix)>
        saveFileName;
    std::function<QString()> language;
};

// Tools > Schedule: a schedule's entries as a table (first match wins, so they can be moved),
// its default show, open, save and save as, the entry in force now, and a week chart; on a
// second tab what vantrel-agent last did. The editing itself is ScheduleEditor's; this window
// passes on what the operator does and shows the result. Not modal: the main window stays
// usable beside it; when it closes, this window closes first.
class ScheduleWindow : public QWidget
{
    Q_OBJECT

public:
    // Shows files and the agent's state from `programFolder`; texts from the language file in
    // `languageFolder`.
    ScheduleWindow(const ScheduleWindowServices &services, const QString &programFolder,
        const QString &languageFolder, QWidget *parent = nullptr);

    // The window of `owner`, raised; made when it has none. Closed, it is deleted.
    static ScheduleWindow *showFrom(QWidget *owner, const ScheduleWindowServices &services);

    // Opens `path` after asking about unsaved changes; false when it was not opened.
    bool openFile(const QString &path);
    // True when there are no unsaved changes or the operator agrees to lose them.
    bool mayDiscardChanges();

    ScheduleEditor *editor() const { return m_editor; }
    WeekChart *chart() const { return m_chart; }
    AgentStatePane *agentState() const { return m_agent; }
    QTableView *entryTable() const { return m_table; }
    // "Entry2 — breakfast.vshow" after "In force now:".
    QString inForceText() const;

public slots:
    void openSchedule();
    bool saveSchedule();
    bool saveScheduleAs();
    void addEntry();
    void removeEntry();
    void moveEntryUp() { moveEntry(-1); }
    void moveEntryDown() { moveEntry(1); }
    // Shows the week before, after, or holding today.
    void showWeek(int weeksFromNow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildUi();
    void applyTexts();
    void showSchedule();
    void showInForce();
    void moveEntry(int step);
    void commitDefaultShow();
    void browseDefaultShow();
    void refuse(const QString &message);
    QString pickShow(const QString &title);
    QString language() const;
    PromptSink &prompts() const;

    ScheduleWindowServices m_services;
    QString m_languageFolder;
    ScheduleEditor *m_editor = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTableView *m_table = nullptr;
    QLineEdit *m_defaultShow = nullptr;
    QLabel *m_inForce = nullptr;
    QLabel *m_week = nullptr;
    WeekChart *m_chart = nullptr;
    AgentStatePane *m_agent = nullptr;
    QTimer *m_minuteTimer = nullptr;
    int m_weekOffset = 0; // weeks from the one holding today
};
