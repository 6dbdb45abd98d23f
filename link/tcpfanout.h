#pragma once

#include "sendoutcome.h"
#include "tcptarget.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <map>
#include <memory>

// Sends one packet to many TCP targets at once, each over its own connection with the steps,
// time bounds and answer judging of a single-target send: connect (at most
// Link::kConnectTimeout), write the packet (a stall of Link::kWriteStallTimeout breaks it
// off), wait for the answer (at most Link::kAnswerTimeout). At most maxConnections() targets
// are connected at a time; the others wait their turn in list order. A target's answer is
// read only from its own connection, so it can never be credited to another target.
//
// Runs on the caller's event loop and never blocks: start() returns at once, the results
// come in through targetFinished() and finished(). The packet is held once; each connection
// is handed at most kWriteChunk bytes of it at a time.
//
//     TcpFanOut fan;
//     connect(&fan, &TcpFanOut::targetFinished, ...); // (index, outcome), as each ends
//     connect(&fan, &TcpFanOut::finished, ...);       // fan.outcome() has every target
//     fan.start(packet, TcpTarget::ticked(settings.IpStr));
class TcpFanOut : public QObject
{
    Q_OBJECT

public:
    // Connections open at the same time, unless set otherwise.
    static constexpr int kDefaultMaxConnections = 64;
    // Bytes of the packet queued on one connection at a time.
    static constexpr qint64 kWriteChunk = 8192;

    explicit TcpFanOut(QObject *parent = nullptr);
    ~TcpFanOut() override;

    // The language of the problem texts (see TargetOutcome::problem).
    void setLanguage(const QString &language) { m_language = language; }
    // At most this many connections at a time (at least 1); takes effect at the next start().
    void setMaxConnections(int count);
    int maxConnections() const { return m_maxConnections; }

    // Starts sending `packet` to every target, in list order as connections become free.
    // False, doing nothing, while a send is still running. With no targets, finished() comes
    // at once.
    bool start(const QByteArray &packet, const QList<TcpTarget> &targets);

    // Ends every exchange still running or waiting; they are reported as cancelled (broken
    // off or not reached), and finished() follows.
    void cancel();

    bool isRunning() const { return m_running; }
    bool wasCancelled() const { return m_cancelled; }
    // Targets whose exchange has ended, of results().size().
    int doneCount() const { return m_done; }
    // One outcome per target, in list order; pending ones have `pending` set.
    const QList<TargetOutcome> &results() const { return m_results; }
    // The results as a send's outcome (fannedOut set).
    SendOutcome outcome() const;

signals:
    // Target `index` (0-based, list order) has ended with `outcome`.
    void targetFinished(int index, const TargetOutcome &outcome);
    // Every target has ended (or the send was cancelled).
    void finished();

private:
    class Exchange;

    void startNext();
    void startTarget(int index);
    void onConnected(Exchange &x);
    void writeMore(Exchange &x);
    void onWritten(Exchange &x);
    void onArrived(Exchange &x, const QByteArray &bytes);
    void onFailed(Exchange &x, const QString &reason);
    void onTimeout(Exchange &x);
    // Ends target `index` with its outcome as it stands; `problem` says why when it is not
    // a verdict.
    void finishTarget(int index, const QString &problem);
    void finishIfDone();

    QString m_language;
    int m_maxConnections = kDefaultMaxConnections;
    QByteArray m_packet;
    QList<TcpTarget> m_targets;
    QList<TargetOutcome> m_results;
    std::map<int, std::unique_ptr<Exchange>> m_live; // by target index
    int m_next = 0; // first target not started yet
    int m_done = 0;
    bool m_running = false;
    bool m_cancelled = false;
    bool m_starting = false; // inside startNext(): targets that end at once do not recurse
};
