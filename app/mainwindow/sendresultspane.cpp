#include "sendresultspane.h"

#include "basesettings.h"
#include "localtext.h"
#include "sendcontroller.h"

#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Result colours: green for success, red for failure of any kind, none while pending.
QColor resultColour(TargetResult result)
{
    switch (result) {
    case TargetResult::Succeeded:
        return QColor(0, 128, 0);
    case TargetResult::Pending:
        return {};
    default:
        return QColor(192, 0, 0);
    }
}

} // namespace

SendResultsPane::SendResultsPane(QWidget *parent)
    : QWidget(parent)
    , m_table(new QTableWidget(0, 3, this))
    , m_progress(new QProgressBar(this))
    , m_summary(new QLabel(this))
    , m_retry(new QPushButton(QStringLiteral("Retry failed"), this))
{
    setObjectName(QStringLiteral("SendResultsPane"));
    auto *title = new QLabel(QStringLiteral("Results per sign"), this);
    title->setObjectName(QStringLiteral("LblSendResults"));

    m_table->setObjectName(QStringLiteral("ListSendResults"));
    m_table->setHorizontalHeaderLabels(
        { QStringLiteral("Target"), QStringLiteral("Result"), QStringLiteral("Time") });
    m_table->verticalHeader()->setVisible(false);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setSectionResizeMode(TargetColumn, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(ResultColumn, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(TimeColumn, QHeaderView::ResizeToContents);
    // Room for about ten signs at a glance; more scroll.
    m_table->setMinimumSize(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 40,
        m_table->verticalHeader()->defaultSectionSize() * 11);

    m_progress->setObjectName(QStringLiteral("ProgressSendResults"));
    m_progress->setFormat(QStringLiteral("%v / %m"));
    m_progress->setValue(0);
    m_summary->setObjectName(QStringLiteral("LblSendSummary"));
    m_summary->setProperty("languageText", false); // filled at run time
    m_summary->setWordWrap(true);
    m_retry->setObjectName(QStringLiteral("CmdRetryFailed"));
    m_retry->setEnabled(false);
    connect(m_retry, &QPushButton::clicked, this, &SendResultsPane::retryFailedClicked);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(title);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_summary);
    layout->addWidget(m_retry, 0, Qt::AlignRight);
}

SendResultsPane *SendResultsPane::install(QMainWindow *window, SendController *sends)
{
    auto *pane = new SendResultsPane;
    auto *dock = new QDockWidget(window);
    dock->setObjectName(QStringLiteral("SendResultsDock"));
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    dock->setWidget(pane);
    window->addDockWidget(Qt::RightDockWidgetArea, dock);
    dock->hide();

    connect(sends, &SendController::fleetStarted, pane, [pane, dock](const QList<TcpTarget> &t) {
        pane->setLanguage(baseSettings().Language);
        pane->begin(t);
        dock->show();
        dock->raise();
    });
    connect(sends, &SendController::fleetRetryStarted, pane, [pane, dock](const QList<int> &rows) {
        pane->beginRetry(rows);
        dock->show();
    });
    connect(sends, &SendController::fleetTargetFinished, pane, &SendResultsPane::showTarget);
    connect(sends, &SendController::fleetFinished, pane, &SendResultsPane::end);
    connect(sends, &SendController::sendingChanged, pane, &SendResultsPane::setSending);
    connect(sends, &SendController::retryEnded, pane, &SendResultsPane::endRetry);
    connect(pane, &SendResultsPane::retryFailedClicked, sends, [sends] { sends->retryFailed(); });
    return pane;
}

void SendResultsPane::begin(const QList<TcpTarget> &targets)
{
    m_table->setRowCount(int(targets.size()));
    m_pending = QList<bool>(targets.size(), true);
    for (int row = 0; row < targets.size(); ++row) {
        TargetOutcome pending;
        pending.address = targets.at(row).address;
        pending.port = targets.at(row).port;
        pending.pending = true;
        setRow(row, pending);
    }
    m_summary->clear();
    m_canRetry = false;
    m_retry->setEnabled(false);
    startProgress(int(targets.size()));
}

void SendResultsPane::beginRetry(const QList<int> &rows)
{
    for (int row : rows) {
        if (row < 0 || row >= m_table->rowCount())
            continue;
        m_pending[row] = true;
        for (int column : { ResultColumn, TimeColumn }) {
            m_table->item(row, column)
                ->setText(column == ResultColumn
                        ? TargetOutcome::resultText(TargetResult::Pending, m_language)
                        : QString());
            m_table->item(row, column)->setForeground(QBrush());
        }
    }
    m_summary->clear();
    m_canRetry = false;
    m_retry->setEnabled(false);
    startProgress(int(rows.size()));
}

void SendResultsPane::showTarget(int row, const TargetOutcome &outcome)
{
    if (row < 0 || row >= m_table->rowCount())
        return;
    setRow(row, outcome);
    if (m_pending.at(row) && !outcome.pending) {
        m_pending[row] = false;
        m_progress->setValue(m_progress->value() + 1);
    }
}

void SendResultsPane::end(const SendOutcome &fleet)
{
    for (int row = 0; row < fleet.targets.size(); ++row)
        showTarget(row, fleet.targets.at(row));
    m_progress->setValue(m_progress->maximum());
    m_summary->setText(fleet.summaryText(m_language));
    m_canRetry = fleet.count(TargetResult::Succeeded) < fleet.targets.size();
    m_retry->setEnabled(m_canRetry && !m_sending);
}

void SendResultsPane::endRetry()
{
    if (!m_canRetry)
        return;
    m_canRetry = false;
    m_retry->setEnabled(false);
    m_summary->setText(m_summary->text() + QLatin1Char('\n')
        + localText(m_language,
            QStringLiteral("A later send or a change of the targets ended the retry of these "
                           "results."),
            QStringLiteral("之后的发送或目标的更改已结束对这些结果的重试。")));
}

void SendResultsPane::setSending(bool sending)
{
    m_sending = sending;
    m_retry->setEnabled(m_canRetry && !m_sending);
}

void SendResultsPane::setRow(int row, const TargetOutcome &outcome)
{
    const TargetResult result = outcome.result();
    const QString texts[] = {
        outcome.label(),
        TargetOutcome::resultText(result, m_language),
        result == TargetResult::Pending ? QString() : outcome.elapsedText(),
    };
    for (int column = 0; column < 3; ++column) {
        QTableWidgetItem *item = m_table->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            m_table->setItem(row, column, item);
        }
        item->setText(texts[column]);
        if (column == TimeColumn)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    QTableWidgetItem *resultItem = m_table->item(row, ResultColumn);
    const QColor colour = resultColour(result);
    resultItem->setForeground(colour.isValid() ? QBrush(colour) : QBrush());
    resultItem->setToolTip(outcome.problem);
    m_table->item(row, TargetColumn)->setToolTip(outcome.problem);
}

void SendResultsPane::startProgress(int count)
{
    m_progress->setRange(0, std::max(count, 1));
    m_progress->setValue(0);
}
