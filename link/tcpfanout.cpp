#include "tcpfanout.h"

#include "answerjudge.h"
#include "link.h"
#include "tcpproblems.h"
#include "tcptransport.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// One running target: its connection, the bound of the step it is in, and what came back.
// The connection and the timer are let go with deleteLater(), so an exchange may end inside
// one of their own signals.
class TcpFanOut::Exchange
{
public:
    enum class Step { Connecting, Writing, Answering };

    explicit Exchange(int index)
        : index(index)
        , transport(new TcpTransport)
        , timer(new QTimer)
    {
        timer->setSingleShot(true);
        // A coarse timer may end a bound up to 5 % early; "no answer within 2 s" means 2 s.
        timer->setTimerType(Qt::PreciseTimer);
        clock.start();
    }
    ~Exchange()
    {
        transport->disconnect();
        timer->disconnect();
        timer->stop();
        transport->close();
        transport->deleteLater();
        timer->deleteLater();
    }
    Exchange(const Exchange &) = delete;
    Exchange &operator=(const Exchange &) = delete;

    const int index;
    TcpTransport *const transport;
    QTimer *const timer;
    QElapsedTimer clock;
    Step step = Step::Connecting;
    QString where; // "host:port" as connected to
    qint64 queued = 0; // bytes of the packet handed to the connection
    TcpAnswerReader answers;
    QList<qint16> messages;
    bool arrivedAny = false;
};

TcpFanOut::TcpFanOut(QObject *parent)
    : QObject(parent)
{ }

TcpFanOut::~TcpFanOut() = default;

void TcpFanOut::setMaxConnections(int count)
{
    m_maxConnections = std::max(count, 1);
}

bool TcpFanOut::start(const QByteArray &packet, const QList<TcpTarget> &targets)
{
    if (m_running)
        return false;
    m_packet = packet;
    m_targets = targets;
    m_results.clear();
    m_results.reserve(targets.size());
    for (const TcpTarget &t : targets) {
        TargetOutcome o;
        o.address = t.address;
        o.port = t.port;
        o.pending = true;
        m_results.append(o);
    }
    m_next = 0;
    m_done = 0;
    m_cancelled = false;
    m_running = true;
    startNext();
    finishIfDone();
    return true;
}

void TcpFanOut::cancel()
{
    if (!m_running)
        return;
    m_cancelled = true;
    m_next = int(m_targets.size()); // nothing more starts
    std::vector<int> live;
    for (const auto &entry : m_live)
        live.push_back(entry.first);
    for (int index : live)
        finishTarget(index, TcpProblem::cancelled(m_language));
    for (int i = 0; i < m_results.size(); ++i) {
        if (m_results.at(i).pending)
            finishTarget(i, TcpProblem::cancelled(m_language));
    }
    finishIfDone();
}

SendOutcome TcpFanOut::outcome() const
{
    SendOutcome o;
    o.targets = m_results;
    o.cancelled = m_cancelled;
    o.fannedOut = true;
    return o;
}

void TcpFanOut::startNext()
{
    if (m_starting)
        return; // the loop below goes on
    m_starting = true;
    while (m_running && m_next < m_targets.size() && int(m_live.size()) < m_maxConnections)
        startTarget(m_next++);
    m_starting = false;
}

void TcpFanOut::startTarget(int index)
{
    const TcpTarget &target = m_targets.at(index);
    quint16 port = 0;
    if (!target.portNumber(&port)) {
        finishTarget(index, TcpProblem::badPort(m_language, target.port));
        return;
    }
    const QString host = target.address.trimmed();
    if (host.isEmpty()) {
        finishTarget(index, TcpProblem::noAddress(m_language));
        return;
    }

    auto owned = std::make_unique<Exchange>(index);
    Exchange &x = *owned;
    m_live.emplace(index, std::move(owned));
    x.where = host + QLatin1Char(':') + QString::number(port);
    connect(x.transport, &TcpTransport::connected, this, [this, &x] { onConnected(x); });
    connect(x.transport, &ByteTransport::written, this, [this, &x] { onWritten(x); });
    connect(x.transport, &ByteTransport::arrived, this,
        [this, &x](const QByteArray &bytes) { onArrived(x, bytes); });
    connect(x.transport, &ByteTransport::failed, this,
        [this, &x](const QString &reason) { onFailed(x, reason); });
    connect(x.timer, &QTimer::timeout, this, [this, &x] { onTimeout(x); });
    x.timer->start(Link::kConnectTimeout);
    x.transport->connectToHost(host, port);
}

void TcpFanOut::onConnected(Exchange &x)
{
    m_results[x.index].connected = true;
    m_results[x.index].connectWait = WaitEnd::Event;
    x.step = Exchange::Step::Writing;
    x.timer->start(Link::kWriteStallTimeout);
    writeMore(x);
}

void TcpFanOut::writeMore(Exchange &x)
{
    const qint64 total = m_packet.size();
    while (x.queued < total && x.transport->bytesToWrite() < kWriteChunk) {
        const qint64 n = std::min(kWriteChunk, total - x.queued);
        QString error;
        // The connection copies what it queues; the packet itself is not copied.
        if (!x.transport->write(
                QByteArray::fromRawData(m_packet.constData() + x.queued, qsizetype(n)), &error)) {
            onFailed(x, error);
            return;
        }
        x.queued += n;
    }
    if (x.queued == total && x.transport->bytesToWrite() == 0) {
        m_results[x.index].sent = true;
        x.step = Exchange::Step::Answering;
        if (x.answers.decided()) {
            // The answer came while the packet's tail was still going out.
            m_results[x.index].answerWait = WaitEnd::Event;
            finishTarget(x.index, TcpProblem::unjudgedAnswer(m_language, x.where));
            return;
        }
        x.timer->start(Link::kAnswerTimeout);
    }
}

void TcpFanOut::onWritten(Exchange &x)
{
    if (x.step != Exchange::Step::Writing)
        return;
    x.timer->start(Link::kWriteStallTimeout); // it moved: the stall bound starts again
    writeMore(x);
}

void TcpFanOut::onArrived(Exchange &x, const QByteArray &bytes)
{
    x.arrivedAny = true;
    if (x.answers.decided())
        return; // the first answer decided; the rest is not read into the verdict
    x.messages += x.answers.feed(bytes);
    if (x.answers.decided() && x.step == Exchange::Step::Answering) {
        m_results[x.index].answerWait = WaitEnd::Event;
        finishTarget(x.index, TcpProblem::unjudgedAnswer(m_language, x.where));
    }
}

void TcpFanOut::onFailed(Exchange &x, const QString &reason)
{
    TargetOutcome &o = m_results[x.index];
    switch (x.step) {
    case Exchange::Step::Connecting:
        o.connectWait = WaitEnd::Event;
        finishTarget(x.index, TcpProblem::unreachable(m_language, x.where, reason));
        return;
    case Exchange::Step::Writing:
        finishTarget(x.index, TcpProblem::unreachable(m_language, x.where, reason));
        return;
    case Exchange::Step::Answering:
        o.answerWait = WaitEnd::Event;
        o.broken = x.messages.isEmpty();
        finishTarget(x.index, TcpProblem::closedWithoutAnswer(m_language, x.where, reason));
        return;
    }
}

void TcpFanOut::onTimeout(Exchange &x)
{
    TargetOutcome &o = m_results[x.index];
    switch (x.step) {
    case Exchange::Step::Connecting:
        o.connectWait = WaitEnd::Timeout;
        finishTarget(
            x.index, TcpProblem::connectTimeout(m_language, x.where, Link::kConnectTimeout));
        return;
    case Exchange::Step::Writing:
        finishTarget(
            x.index, TcpProblem::writeStall(m_language, x.where, Link::kWriteStallTimeout));
        return;
    case Exchange::Step::Answering:
        o.answerWait = WaitEnd::Timeout;
        finishTarget(x.index,
            x.arrivedAny ? TcpProblem::unjudgedAnswer(m_language, x.where)
                         : TcpProblem::noAnswer(m_language, x.where, Link::kAnswerTimeout));
        return;
    }
}

void TcpFanOut::finishTarget(int index, const QString &problem)
{
    TargetOutcome &o = m_results[index];
    if (!o.pending)
        return;
    const auto live = m_live.find(index);
    if (live != m_live.end()) {
        const Exchange &x = *live->second;
        o.verdict = verdictOfMessages(x.messages);
        o.elapsed = std::chrono::milliseconds(x.clock.elapsed());
    }
    if (o.verdict == Verdict::None)
        o.problem = problem;
    o.pending = false;
    if (live != m_live.end())
        m_live.erase(live); // closes the connection
    ++m_done;
    emit targetFinished(index, o);
    startNext();
    finishIfDone();
}

void TcpFanOut::finishIfDone()
{
    if (!m_running || m_starting || m_done < m_results.size())
        return;
    m_running = false;
    emit finished();
}
