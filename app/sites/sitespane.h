#pragma once

#include "sitessettings.h"
#include "sitetopics.h"

#include <QWidget>

#include <functional>

class QAction;
class QDockWidget;
class QLabel;
class QMainWindow;
class QPushButton;
class QTableView;
class SitesTable;
class SitesWatcher;

// The Sites pane: every site on the broker with its status, live, and per site (or for all
// sites) "Send message..." and "Publish schedule...". The table and the broker are the
// SitesTable's and the SitesWatcher's; the pane shows them and asks the operator.
class SitesPane : public QWidget
{
    Q_OBJECT

public:
    // Asks the operator for a schedule file to publish; "" when cancelled.
    using SchedulePicker = std::function<QString()>;

    explicit SitesPane(QWidget *parent = nullptr);
    ~SitesPane() override;

    // Puts a pane in a dock on the right of `window`, hidden; `toggle` (a checkable menu item)
    // shows and hides it, and is enabled only while a broker is configured.
    static SitesPane *install(QMainWindow *window, QAction *toggle);

    // Watches the broker of `settings` from now on; with sites off the pane hides and its menu
    // item is disabled. `problem` (a bad [Sites] section, in words) shows in the pane.
    void watch(const SitesSettings &settings, const QString &problem);
    void showTexts(const QString &language);
    void setLanguageFolder(const QString &folder) { m_languageFolder = folder; }
    void setSchedulePicker(SchedulePicker picker) { m_pickSchedule = std::move(picker); }

    // The site of the selected row ("all" for the "All sites" row); "" when none is selected.
    QString selectedSite() const;
    // Wide enough for the site, its state and the schedule in force at a glance.
    QSize sizeHint() const override { return { 560, 300 }; }
    // Publish to `site`, the outcome shown in the pane; false when nothing was published.
    bool sendMessageTo(const QString &site, const SiteTopics::SayRequest &request);
    bool publishScheduleTo(const QString &site, const QString &schedulePath);

    SitesTable *table() const { return m_table; }
    SitesWatcher *watcher() const { return m_watcher; }
    QDockWidget *dock() const { return m_dock; }
    QTableView *ListSites() const { return m_view; }
    QLabel *LblSitesState() const { return m_state; }
    QLabel *LblSitesNote() const { return m_note; }
    QPushButton *CmdSendMessage() const { return m_send; }
    QPushButton *CmdPublishSchedule() const { return m_publish; }

private:
    void askMessage();
    void askSchedule();
    void showConnection(bool connected, const QString &reason);
    void showNote(bool ok, const QString &text);
    void updateButtons();
    QString siteCaption(const QString &site) const;

    QString m_language;
    QString m_languageFolder;
    SitesSettings m_settings;
    SchedulePicker m_pickSchedule;
    SitesTable *m_table;
    SitesWatcher *m_watcher;
    QLabel *m_state;
    QTableView *m_view;
    QPushButton *m_send;
    QPushButton *m_publish;
    QLabel *m_note;
    QDockWidget *m_dock = nullptr;
    QAction *m_toggle = nullptr;
};
