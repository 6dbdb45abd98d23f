#pragma once

#include <QWidget>

class QFileSystemWatcher;
class QLabel;
class QPushButton;
class QTableWidget;

// What vantrel-agent last did, from "agent-status.ini" in the program folder: the entry in
// force and, per target, the show it has, when, the result, the next retry and the last
// failure. Read again whenever the file changes (the agent replaces it whole, so the folder
// is watched) and on Refresh.
class AgentStatePane : public QWidget
{
    Q_OBJECT

public:
    // Reads "agent-status.ini" in `folder`; messages in `language`.
    AgentStatePane(const QString &folder, const QString &language, QWidget *parent = nullptr);

    void setLanguage(const QString &language);
    // Reads the file again and shows it.
    void refresh();

    QTableWidget *ListAgentTargets() const { return m_targets; }
    QLabel *summary() const { return m_summary; }

private:
    QString m_path;
    QString m_language;
    QLabel *m_summary = nullptr;
    QTableWidget *m_targets = nullptr;
    QPushButton *m_refresh = nullptr;
    QFileSystemWatcher *m_watcher = nullptr;
};
