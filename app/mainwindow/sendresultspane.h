#pragma once

#include "sendoutcome.h"
#include "tcptarget.h"

#include <QWidget>

class QLabel;
class QMainWindow;
class QProgressBar;
class SendController;
class QPushButton;
class QTableWidget;

// The results of a send to several TCP targets at once: a row per target in list order with
// its address and port, its result and the time it took, filled in as each target ends; a
// progress bar of targets done; the whole send's summary; and "Retry failed".
class SendResultsPane : public QWidget
{
    Q_OBJECT

public:
    enum Column { TargetColumn, ResultColumn, TimeColumn };

    explicit SendResultsPane(QWidget *parent = nullptr);

    // Puts a pane in a dock on the right of `window`, hidden until `sends` starts a send to
    // several targets, and lets it follow that send; "Retry failed" retries through `sends`.
    static SendResultsPane *install(QMainWindow *window, SendController *sends);

    // The language of the result texts.
    void setLanguage(const QString &language) { m_language = language; }

    // A new send: one pending row per target; the progress counts them all.
    void begin(const QList<TcpTarget> &targets);
    // A retry: `rows` are pending again; the progress counts them.
    void beginRetry(const QList<int> &rows);
    // Row `row` has ended.
    void showTarget(int row, const TargetOutcome &outcome);
    // The send has ended: the summary shows, and "Retry failed" is offered when a row did
    // not succeed.
    void end(const SendOutcome &fleet);
    // A later send or a change of the targets: these results can no longer be retried.
    void endRetry();
    // Sending elsewhere disables "Retry failed" meanwhile.
    void setSending(bool sending);

    QTableWidget *ListSendResults() const { return m_table; }
    QProgressBar *ProgressSendResults() const { return m_progress; }
    QLabel *LblSendSummary() const { return m_summary; }
    QPushButton *CmdRetryFailed() const { return m_retry; }

signals:
    void retryFailedClicked();

private:
    void setRow(int row, const TargetOutcome &outcome);
    void startProgress(int count);

    QString m_language;
    QTableWidget *m_table;
    QProgressBar *m_progress;
    QLabel *m_summary;
    QPushButton *m_retry;
    QList<bool> m_pending; // per row
    bool m_sending = false;
    bool m_canRetry = false;
};
