#include "agentstatepane.h"

#include "agentstatus.h"
#include "localtext.h"
#include "sendoutcome.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kColumns = 6; // target, show, result, time, next retry, last failure

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

// The agent writes results in English (the link's words for a target, or its own); they are
// shown in the interface language. A word this window does not know is shown as it stands.
QString resultWords(const QString &result, const QString &language)
{
    static const std::pair<const char *, const char *> ownWords[]
        = { { "succeeded", "成功" }, { "failed", "失败" }, { "pending", "等待中" },
              { "refused", "被拒绝" }, { "busy", "忙" }, { "cancelled", "已取消" } };
    for (const auto &[english, chinese] : ownWords) {
        if (result == QLatin1String(english))
            return localText(language, result, QString::fromUtf8(chinese));
    }
    for (const TargetResult r : { TargetResult::Succeeded, TargetResult::Failed,
             TargetResult::NotReached, TargetResult::NoAnswer, TargetResult::BrokenOff }) {
        if (result == TargetOutcome::resultText(r, QStringLiteral("English")))
            return TargetOutcome::resultText(r, language);
    }
    return result;
}

} // namespace

AgentStatePane::AgentStatePane(const QString &folder, const QString &language, QWidget *parent)
    : QWidget(parent)
    , m_path(QDir(folder).filePath(AgentStatusFile::fileName()))
    , m_language(language)
{
    setObjectName(QStringLiteral("AgentState"));
    m_summary = new QLabel;
    m_summary->setObjectName(QStringLiteral("LblAgentSummary"));
    m_summary->setProperty("languageText", false);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_targets = new QTableWidget(0, kColumns);
    m_targets->setObjectName(QStringLiteral("ListAgentTargets"));
    m_targets->setHorizontalHeaderLabels(
        { QStringLiteral("Target"), QStringLiteral("Show"), QStringLiteral("Result"),
            QStringLiteral("Time"), QStringLiteral("Next retry"), QStringLiteral("Last failure") });
    m_targets->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_targets->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_targets->verticalHeader()->setVisible(false);
    m_targets->horizontalHeader()->setStretchLastSection(true);

    m_refresh = new QPushButton(QStringLiteral("Refresh"));
    m_refresh->setObjectName(QStringLiteral("CmdAgentRefresh"));
    connect(m_refresh, &QPushButton::clicked, this, &AgentStatePane::refresh);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_refresh);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_targets, 1);
    layout->addLayout(buttons);

    // The agent writes a new file and renames it over the old, so a watch on the file itself
    // would end with the first write; the folder's watch sees every replacement.
    m_watcher = new QFileSystemWatcher(this);
    m_watcher->addPath(folder);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &AgentStatePane::refresh);
    refresh();
}

void AgentStatePane::setLanguage(const QString &language)
{
    m_language = language;
    refresh();
}

void AgentStatePane::refresh()
{
    const AgentStatusFile::ReadResult read = AgentStatusFile::read(m_path, m_language);
    m_targets->setRowCount(0);
    if (!read.ok) {
        m_summary->setText(read.message);
        return;
    }
    const AgentStatus &status = read.status;
    const QString schedule = QDir::toNativeSeparators(status.schedule);
    const QString inForce = status.entry.isEmpty()
        ? localText(m_language, QStringLiteral("nothing"), QStringLiteral("无"))
        : status.entry + (status.show.isEmpty() ? QString() : QStringLiteral(" — ") + status.show);
    m_summary->setText(localText(m_language,
        QStringLiteral("Schedule: %1\nIn force: %2, since %3\nWritten: %4")
            .arg(schedule, inForce, timeText(status.since), timeText(status.updated)),
        QStringLiteral("时间表：%1\n生效：%2，自 %3 起\n写入时间：%4")
            .arg(schedule, inForce, timeText(status.since), timeText(status.updated))));
    m_targets->setRowCount(int(status.targets.size()));
    for (int row = 0; row < status.targets.size(); ++row) {
        const AgentTargetStatus &t = status.targets.at(row);
        const QString texts[kColumns] = { t.target, t.show, resultWords(t.result, m_language),
            timeText(t.time), timeText(t.nextRetry), t.failure };
        for (int column = 0; column < kColumns; ++column) {
            auto *item = new QTableWidgetItem(texts[column]);
            item->setToolTip(texts[column]);
            if (column == 2 && !t.succeeded())
                item->setForeground(Qt::darkRed);
            m_targets->setItem(row, column, item);
        }
    }
    m_targets->resizeColumnsToContents();
}
