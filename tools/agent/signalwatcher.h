#pragma once

#include <QObject>

class QSocketNotifier;

// SIGHUP, SIGTERM and SIGINT as Qt signals: the handlers only write the signal's number to a
// pipe, which the event loop reads (nothing else is safe inside a signal handler).
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    // False when the pipe or the handlers could not be set up.
    bool isWatching() const { return m_notifier != nullptr; }

signals:
    void reloadRequested(); // SIGHUP
    void stopRequested(); // SIGTERM, SIGINT

private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
};
