#include "sitespane.h"

#include "languageapplier.h"
#include "languagefile.h"
#include "localtext.h"
#include "schedulefile.h"
#include "sendmessagedialog.h"
#include "sitestable.h"
#include "siteswatcher.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

SitesPane::SitesPane(QWidget *parent)
    : QWidget(parent)
    , m_table(new SitesTable(this))
    , m_watcher(new SitesWatcher(m_table, this))
    , m_state(new QLabel(this))
    , m_view(new QTableView(this))
    , m_send(new QPushButton(QStringLiteral("Send message..."), this))
    , m_publish(new QPushButton(QStringLiteral("Publish schedule..."), this))
    , m_note(new QLabel(this))
{
    setObjectName(QStringLiteral("SitesPane"));
    m_state->setObjectName(QStringLiteral("LblSitesState"));
    m_note->setObjectName(QStringLiteral("LblSitesNote"));
    // Both are filled at run time, never from the language file.
    for (QLabel *label : { m_state, m_note }) {
        label->setProperty("languageText", false);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_view->setObjectName(QStringLiteral("ListSites"));
    m_view->setModel(m_table);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_send->setObjectName(QStringLiteral("CmdSendMessage"));
    m_publish->setObjectName(QStringLiteral("CmdPublishSchedule"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_send);
    buttons->addWidget(m_publish);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_note);

    connect(m_send, &QPushButton::clicked, this, &SitesPane::askMessage);
    connect(m_publish, &QPushButton::clicked, this, &SitesPane::askSchedule);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &SitesPane::updateButtons);
    connect(m_watcher, &SitesWatcher::connectionChanged, this, &SitesPane::showConnection);
    m_pickSchedule = [this] {
        return QFileDialog::getOpenFileName(
            this, m_publish->text(), QString(), ScheduleFile::dialogFilter(m_language));
    };
    updateButtons();
}

SitesPane::~SitesPane() = default;

SitesPane *SitesPane::install(QMainWindow *window, QAction *toggle)
{
    auto *pane = new SitesPane;
    auto *dock = new QDockWidget(window);
    dock->setObjectName(QStringLiteral("SitesBar"));
    dock->setWidget(pane);
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
        | QDockWidget::DockWidgetFloatable);
    window->addDockWidget(Qt::RightDockWidgetArea, dock);
    dock->hide();
    pane->m_dock = dock;
    pane->m_toggle = toggle;
    toggle->setCheckable(true);
    toggle->setEnabled(false);
    connect(toggle, &QAction::toggled, dock, &QDockWidget::setVisible);
    connect(dock, &QDockWidget::visibilityChanged, toggle, [dock, toggle] {
        // visibilityChanged also comes for a dock tabbed behind another: follow the dock's
        // own state, not what is on screen.
        toggle->setChecked(!dock->isHidden());
    });
    return pane;
}

void SitesPane::watch(const SitesSettings &settings, const QString &problem)
{
    m_settings = settings;
    m_note->clear();
    QString reason;
    if (!m_watcher->start(settings, m_language, &reason))
        showNote(false, reason);
    if (!problem.isEmpty())
        showNote(false, problem);
    showConnection(false, {});
    if (m_toggle)
        m_toggle->setEnabled(settings.enabled);
    if (m_dock && !settings.enabled)
        m_dock->hide();
    updateButtons();
}

void SitesPane::showTexts(const QString &language)
{
    m_language = language;
    m_table->setLanguage(language);
    m_watcher->setLanguage(language);
    // A floating dock is a window of its own, which the main window's language pass leaves
    // out: the pane takes its texts itself.
    if (m_dock && LanguageSectionExists(m_languageFolder, language))
        ApplyLanguage(m_dock, language, m_languageFolder);
    if (m_dock)
        m_dock->setWindowTitle(
            localText(language, QStringLiteral("Sites"), QStringLiteral("站点")));
    showConnection(m_watcher->isConnected(), {});
}

QString SitesPane::selectedSite() const
{
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : m_table->siteAt(rows.first().row());
}

QString SitesPane::siteCaption(const QString &site) const
{
    return site == SiteTopics::allSites()
        ? localText(m_language, QStringLiteral("all sites"), QStringLiteral("所有站点"))
        : site;
}

bool SitesPane::sendMessageTo(const QString &site, const SiteTopics::SayRequest &request)
{
    QString reason;
    const bool ok = m_watcher->sendMessage(site, request, &reason);
    showNote(ok,
        ok ? localText(m_language,
            QStringLiteral("Message sent to %1: \"%2\".").arg(siteCaption(site), request.text),
            QStringLiteral("消息已发送到 %1：“%2”。").arg(siteCaption(site), request.text))
           : reason);
    return ok;
}

bool SitesPane::publishScheduleTo(const QString &site, const QString &schedulePath)
{
    QString reason;
    const bool ok = m_watcher->publishSchedule(site, schedulePath, &reason);
    const QString name = QFileInfo(schedulePath).fileName();
    showNote(ok,
        ok ? localText(m_language,
            QStringLiteral("%1 published to %2.").arg(name, siteCaption(site)),
            QStringLiteral("%1 已发布到 %2。").arg(name, siteCaption(site)))
           : reason);
    return ok;
}

void SitesPane::askMessage()
{
    const QString site = selectedSite();
    if (site.isEmpty())
        return;
    SendMessageDialog dialog(
        m_table->data(m_table->index(m_view->currentIndex().row(), SitesTable::SiteColumn))
            .toString(),
        m_languageFolder, m_language, this);
    if (dialog.exec() == QDialog::Accepted)
        sendMessageTo(site, dialog.request());
}

void SitesPane::askSchedule()
{
    const QString site = selectedSite();
    if (site.isEmpty())
        return;
    const QString path = m_pickSchedule();
    if (!path.isEmpty())
        publishScheduleTo(site, path);
}

void SitesPane::showConnection(bool connected, const QString &reason)
{
    if (!m_settings.enabled) {
        m_state->setText(
            localText(m_language, QStringLiteral("No broker is configured (Set > Sites)."),
                QStringLiteral("未配置代理服务器（设置 > 站点）。")));
    } else if (connected) {
        m_state->setText(
            localText(m_language, QStringLiteral("Connected to %1.").arg(m_settings.broker),
                QStringLiteral("已连接到 %1。").arg(m_settings.broker)));
    } else {
        const QString why = reason.isEmpty() ? QString() : QStringLiteral(": ") + reason;
        m_state->setText(localText(m_language,
            QStringLiteral("Not connected to %1%2").arg(m_settings.broker, why),
            QStringLiteral("未连接到 %1%2").arg(m_settings.broker, why)));
    }
    updateButtons();
}

void SitesPane::showNote(bool ok, const QString &text)
{
    m_note->setStyleSheet(ok ? QString() : QStringLiteral("color: #b00000"));
    m_note->setText(text);
}

void SitesPane::updateButtons()
{
    const bool can = m_watcher->isConnected() && !selectedSite().isEmpty();
    m_send->setEnabled(can);
    m_publish->setEnabled(can);
}
