#include "link.h"

#include "answerjudge.h"
#include "localtext.h"
#include "messages.h"
#include "promptsink.h"
#include "seriallinesettings.h"
#include "serialtransport.h"
#include "tcpfanout.h"
#include "tcpproblems.h"
#include "tcptransport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>

using namespace std::chrono_literals;

namespace {

// Delay counts beyond this would never end in practice; a count is capped rather than hang.
constexpr double kMaxDelayCount = 1e9;

int seconds(std::chrono::milliseconds d)
{
    return int(std::chrono::duration_cast<std::chrono::seconds>(d).count());
}

} // namespace

// What one exchange with one destination has seen so far. Filled by the transport's signals
// while the link waits.
struct Link::Exchange
{
    qint64 total = 0; // packet length
    qint64 written = 0; // bytes the system has taken
    bool failed = false; // the transport broke or the peer went away
    QString failReason;
    bool arrivedAny = false;
    bool answered = false; // an arrival carried a verdict
    QList<qint16> messages; // messages 7 and 8 to show, in arrival order
    TcpAnswerReader tcpAnswers;
};

class Link::BusyScope
{
public:
    explicit BusyScope(Link *link)
        : m_link(link)
    {
        m_link->m_busy = true;
        m_link->m_cancelRequested = false;
        emit m_link->busyChanged(true);
    }
    ~BusyScope()
    {
        m_link->m_busy = false;
        emit m_link->busyChanged(false);
    }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    Link *m_link;
};

Link::Link(PromptSink *prompts, QObject *parent)
    : QObject(parent)
    , m_prompts(prompts)
    , m_serial(new SerialTransport(this))
{ }

Link::~Link()
{
    m_serial->close();
    delete m_tcp;
}

bool Link::isSerialOpen() const
{
    return m_serial->isOpen();
}

bool Link::OpenTrance(qint16 Trance)
{
    if (Trance != TranceKind::kRs232 && Trance != TranceKind::kBlueTooth) {
        // TCP connects per send and other kinds have nothing to open; a serial port an
        // earlier choice held is let go, so other programs can use it.
        if (!m_busy)
            m_serial->close();
        return true;
    }
    if (m_busy) {
        m_prompts->inform(busyText(), PromptTitle(m_settings.Language), PromptIcon::Exclamation);
        return false;
    }
    m_serial->close();
    QString error;
    if (!openSerial(&error)) {
        showPortError(error);
        return false;
    }
    delete m_tcp;
    m_tcp = nullptr;
    return true;
}

void Link::CloseTrance(qint16 Trance)
{
    const bool serial = Trance == TranceKind::kRs232 || Trance == TranceKind::kBlueTooth
        || Trance == TranceKind::kAll;
    const bool tcp = Trance == TranceKind::kTcpIp || Trance == TranceKind::kAll;
    if (!serial && !tcp)
        return;
    if (m_busy) {
        m_cancelRequested = true;
        wake();
    }
    if (serial)
        m_serial->close();
    if (tcp && m_tcp)
        m_tcp->close();
}

SendOutcome Link::SendBuffer(const QByteArray &Buf, qint16 Trance)
{
    if (Trance == TranceKind::kRs232 || Trance == TranceKind::kBlueTooth)
        return SendSerial(Buf);
    if (Trance == TranceKind::kTcpIp)
        return SendTcp(Buf);
    return {};
}

SendOutcome Link::SendSerial(const QByteArray &Buf)
{
    SendOutcome outcome;
    if (m_busy) {
        outcome.refusedBusy = true;
        return outcome;
    }
    BusyScope busy(this);
    const QString &language = m_settings.Language;
    TargetOutcome target;
    target.address = m_settings.CommPort.trimmed();

    m_serial->close();
    QString error;
    if (!openSerial(&error)) {
        target.problem = error;
        outcome.targets.append(target);
        showPortError(error);
        return outcome;
    }
    target.address = m_serial->portName();

    Exchange exchange;
    exchange.total = Buf.size();
    WaitEnd writeEnd = WaitEnd::Event;
    {
        QObject scope; // drops the connections below when the exchange ends
        watch(*m_serial, exchange, &scope, true);
        emit sendProgress(0, exchange.total);
        if (!m_serial->write(Buf, &error)) {
            exchange.failed = true;
            exchange.failReason = error;
        } else {
            writeEnd = waitWritten(*m_serial, exchange);
            // Closing while bytes wait in the driver would cut the packet's tail at low speeds.
            if (writeEnd == WaitEnd::Event && !exchange.failed)
                writeEnd = waitDrained(*m_serial, exchange);
            if (writeEnd == WaitEnd::Event && !exchange.failed)
                m_serial->drain();
        }
        target.sent = writeEnd == WaitEnd::Event && !exchange.failed;
        if (target.sent) {
            target.answerWait
                = waitFor(kAnswerTimeout, [&] { return exchange.answered || exchange.failed; });
        }
        m_serial->close();
    }

    target.verdict = verdictOfMessages(exchange.messages);
    const QString port = target.address;
    if (m_cancelRequested || writeEnd == WaitEnd::Cancelled) {
        outcome.cancelled = true;
        target.problem = localText(language, QStringLiteral("The link was closed during the send."),
            QStringLiteral("发送过程中连接被关闭。"));
    } else if (!target.sent && writeEnd == WaitEnd::Timeout) {
        target.problem = localText(language,
            QStringLiteral("The serial port %1 took no data for %2 s.")
                .arg(port)
                .arg(seconds(kWriteStallTimeout)),
            QStringLiteral("串口 %1 在 %2 秒内未能发出数据。")
                .arg(port)
                .arg(seconds(kWriteStallTimeout)));
    } else if (!target.sent) {
        target.problem = localText(language,
            QStringLiteral("The serial port %1 could not be written: %2.")
                .arg(port, exchange.failReason),
            QStringLiteral("无法向串口 %1 写入数据：%2。").arg(port, exchange.failReason));
    } else if (target.verdict == Verdict::None) {
        target.problem = exchange.failed
            ? localText(language,
                QStringLiteral("The serial port %1 failed while waiting for the "
                               "answer: %2.")
                    .arg(port, exchange.failReason),
                QStringLiteral("等待应答时串口 %1 出错：%2。").arg(port, exchange.failReason))
            : localText(language,
                QStringLiteral("The sign on %1 did not answer within %2 s.")
                    .arg(port)
                    .arg(seconds(kAnswerTimeout)),
                QStringLiteral("%1 上的显示屏在 %2 秒内没有应答。")
                    .arg(port)
                    .arg(seconds(kAnswerTimeout)));
    }
    outcome.targets.append(target);

    showMessages(exchange.messages);
    if (!target.sent && !outcome.cancelled)
        showPortError(target.problem);
    return outcome;
}

SendOutcome Link::whenIdleOverTcp(const std::function<SendOutcome()> &send)
{
    if (m_busy) {
        SendOutcome refused;
        refused.refusedBusy = true;
        return refused;
    }
    BusyScope busy(this);
    delete m_tcp;
    m_tcp = nullptr;
    return send();
}

SendOutcome Link::SendTcp(const QByteArray &Buf)
{
    const QList<TcpTarget> targets = TcpTarget::ticked(m_settings.IpStr);
    if (targets.size() > 1)
        return sendToTargets(Buf, targets);
    return whenIdleOverTcp([&] { return sendOneByOne(Buf, targets); });
}

SendOutcome Link::sendOneByOne(const QByteArray &Buf, const QList<TcpTarget> &targets)
{
    SendOutcome outcome;
    for (const TcpTarget &row : targets) {
        QList<qint16> messages;
        const TargetOutcome target = sendToTarget(Buf, row.address, row.port, &messages);
        outcome.targets.append(target);
        if (m_cancelRequested) {
            outcome.cancelled = true;
            break;
        }
        showMessages(messages);
        if (!target.sent) {
            m_prompts->inform(QLatin1Char('[') + target.address + QLatin1Char(':') + target.port
                    + QLatin1Char(']') + PromptText(Msg::IpLinkError, m_settings.Language),
                PromptTitle(m_settings.Language), MsgIcon(Msg::IpLinkError));
        }
    }
    return outcome;
}

SendOutcome Link::sendToTargets(const QByteArray &Buf, const QList<TcpTarget> &targets)
{
    return whenIdleOverTcp([&] { return sendAtOnce(Buf, targets); });
}

SendOutcome Link::sendAtOnce(const QByteArray &Buf, const QList<TcpTarget> &targets)
{
    TcpFanOut fan;
    fan.setLanguage(m_settings.Language);
    connect(&fan, &TcpFanOut::targetFinished, this, &Link::targetFinished);
    connect(&fan, &TcpFanOut::finished, this, &Link::wake);
    emit targetsStarted(targets);
    fan.start(Buf, targets);
    while (fan.isRunning()) {
        if (m_cancelRequested) {
            fan.cancel();
            break;
        }
        QEventLoop loop;
        m_waitLoop = &loop;
        loop.exec();
        m_waitLoop = nullptr;
    }
    SendOutcome outcome = fan.outcome();
    outcome.cancelled = outcome.cancelled || m_cancelRequested;
    return outcome;
}

TargetOutcome Link::sendToTarget(
    const QByteArray &Buf, const QString &address, const QString &portText, QList<qint16> *messages)
{
    const QString &language = m_settings.Language;
    TargetOutcome target;
    target.address = address;
    target.port = portText;
    m_sockState = SockStateValue::kNoAnswer;

    quint16 port = 0;
    if (!TcpTarget { address, portText }.portNumber(&port)) {
        target.problem = TcpProblem::badPort(language, portText);
        return target;
    }
    const QString host = address.trimmed();
    if (host.isEmpty()) {
        target.problem = TcpProblem::noAddress(language);
        return target;
    }

    Exchange exchange;
    exchange.total = Buf.size();
    WaitEnd writeEnd = WaitEnd::NotRun;
    {
        QObject scope; // drops the connections below when the exchange ends
        m_tcp = new TcpTransport(this);
        watch(*m_tcp, exchange, &scope, false);
        connect(m_tcp, &TcpTransport::connected, &scope, [this] {
            m_sockState = SockStateValue::kConnected;
            wake();
        });
        connect(m_tcp, &ByteTransport::failed, &scope, [this] {
            m_sockState = SockStateValue::kError;
            wake();
        });
        m_tcp->connectToHost(host, port);
        target.connectWait
            = waitFor(kConnectTimeout, [this] { return m_sockState != SockStateValue::kNoAnswer; });
        if (m_sockState == SockStateValue::kConnected && !m_cancelRequested) {
            QString error;
            if (m_tcp->write(Buf, &error)) {
                writeEnd = waitWritten(*m_tcp, exchange);
                target.sent = writeEnd == WaitEnd::Event && m_tcp->bytesToWrite() == 0
                    && !(exchange.failed && exchange.written < exchange.total);
            } else {
                exchange.failed = true;
                exchange.failReason = error;
            }
        }
        // A target that was not sent to has nothing to answer; waiting would only slow the
        // targets after it.
        if (target.sent) {
            target.answerWait
                = waitFor(kAnswerTimeout, [&] { return exchange.answered || exchange.failed; });
        }
        m_tcp->close();
        delete m_tcp;
        m_tcp = nullptr;
    }

    *messages = exchange.messages;
    target.verdict = verdictOfMessages(exchange.messages);
    target.connected = m_sockState == SockStateValue::kConnected;
    target.broken = target.sent && exchange.failed;
    const QString where = host + QLatin1Char(':') + QString::number(port);
    if (m_cancelRequested) {
        target.problem = TcpProblem::cancelled(language);
    } else if (target.connectWait == WaitEnd::Timeout) {
        target.problem = TcpProblem::connectTimeout(language, where, kConnectTimeout);
    } else if (!target.sent && writeEnd == WaitEnd::Timeout) {
        target.problem = TcpProblem::writeStall(language, where, kWriteStallTimeout);
    } else if (!target.sent) {
        target.problem = TcpProblem::unreachable(language, where, exchange.failReason);
    } else if (target.verdict == Verdict::None) {
        if (exchange.failed)
            target.problem = TcpProblem::closedWithoutAnswer(language, where, exchange.failReason);
        else if (exchange.arrivedAny)
            target.problem = TcpProblem::unjudgedAnswer(language, where);
        else
            target.problem = TcpProblem::noAnswer(language, where, kAnswerTimeout);
    }
    return target;
}

void Link::Delay(double Times)
{
    if (!(Times >= 0))
        return; // negative (or not a number): no yield
    const double last = std::min(std::floor(Times), kMaxDelayCount);
    for (double i = 0; i <= last; i += 1)
        QCoreApplication::processEvents();
}

WaitEnd Link::waitFor(std::chrono::milliseconds bound, const std::function<bool()> &done,
    std::chrono::milliseconds poll)
{
    const QDeadlineTimer deadline(bound);
    for (;;) {
        if (done())
            return WaitEnd::Event;
        if (m_cancelRequested)
            return WaitEnd::Cancelled;
        if (deadline.hasExpired())
            return WaitEnd::Timeout;
        auto remaining
            = std::chrono::ceil<std::chrono::milliseconds>(deadline.remainingTimeAsDuration());
        if (poll > 0ms)
            remaining = std::min(remaining, poll);
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(remaining);
        m_waitLoop = &loop;
        loop.exec();
        m_waitLoop = nullptr;
    }
}

WaitEnd Link::waitWritten(ByteTransport &transport, Exchange &exchange)
{
    // Bounded by stalls, not by the whole write: a long packet at a low speed takes as long
    // as it takes, but a port that takes nothing is stuck.
    for (;;) {
        if (exchange.failed || transport.bytesToWrite() == 0)
            return WaitEnd::Event;
        const qint64 before = exchange.written;
        const WaitEnd end = waitFor(kWriteStallTimeout, [&] {
            return exchange.failed || transport.bytesToWrite() == 0 || exchange.written != before;
        });
        if (end != WaitEnd::Event)
            return end;
    }
}

WaitEnd Link::waitDrained(SerialTransport &transport, Exchange &exchange)
{
    for (;;) {
        const qint64 before = transport.bytesInFlight();
        if (exchange.failed || before == 0)
            return WaitEnd::Event;
        const WaitEnd end = waitFor(
            kWriteStallTimeout,
            [&] { return exchange.failed || transport.bytesInFlight() < before; },
            kDrainPollInterval);
        if (end != WaitEnd::Event)
            return end;
    }
}

void Link::wake()
{
    if (m_waitLoop)
        m_waitLoop->quit();
}

void Link::watch(ByteTransport &transport, Exchange &exchange, QObject *scope, bool serial)
{
    connect(&transport, &ByteTransport::arrived, scope,
        [this, &exchange, serial](const QByteArray &bytes) {
            exchange.arrivedAny = true;
            // One verdict per packet: what a sign sends after its first answer is dropped.
            if (exchange.answered)
                return;
            const QList<qint16> found
                = serial ? serialAnswerMessages(bytes) : exchange.tcpAnswers.feed(bytes);
            if (!found.isEmpty()) {
                exchange.messages
                    = { verdictOfMessages(found) == Verdict::Failure ? Msg::SetFailed
                                                                     : Msg::SetSucceeded };
                exchange.answered = true;
                wake();
            } else if (!serial && exchange.tcpAnswers.decided()) {
                exchange.answered = true; // a complete answer that is neither: unjudged
                wake();
            }
        });
    connect(&transport, &ByteTransport::written, scope, [this, &exchange, serial](qint64 count) {
        exchange.written += count;
        if (serial)
            emit sendProgress(std::min(exchange.written, exchange.total), exchange.total);
        wake();
    });
    connect(&transport, &ByteTransport::failed, scope, [this, &exchange](const QString &reason) {
        if (!exchange.failed) {
            exchange.failed = true;
            exchange.failReason = reason;
        }
        wake();
    });
}

bool Link::openSerial(QString *error)
{
    const QString &language = m_settings.Language;
    QString portName;
    SerialLineSettings line;
    if (!serialPortNameFor(m_settings.CommPort, &portName, error, language)
        || !SerialLineSettings::parse(m_settings.CommSettings, &line, error, language))
        return false;
    return m_serial->open(portName, line, error, language);
}

void Link::showMessages(const QList<qint16> &messages)
{
    const QString &language = m_settings.Language;
    for (qint16 number : messages)
        m_prompts->inform(PromptText(number, language), PromptTitle(language), MsgIcon(number));
}

void Link::showPortError(const QString &reason)
{
    const QString &language = m_settings.Language;
    QString text = PromptText(Msg::PortInitError, language);
    if (!reason.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + reason;
    m_prompts->inform(text, PromptTitle(language), MsgIcon(Msg::PortInitError));
}

QString Link::busyText() const
{
    return localText(m_settings.Language,
        QStringLiteral("A send is still running; wait until it has ended."),
        QStringLiteral("上一次发送尚未结束，请稍候。"));
}
