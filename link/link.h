#pragma once

#include "linksettings.h"
#include "sendoutcome.h"
#include "tcptarget.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class ByteTransport;
class PromptSink;
class QEventLoop;
class SerialTransport;
class TcpTransport;

// Values of SockState().
namespace SockStateValue {
constexpr qint16 kNoAnswer = 0; // set before each connect
constexpr qint16 kConnected = 1; // the connect event came
constexpr qint16 kError = 2; // the socket reported an error
} // namespace SockStateValue

// Link kinds (the Trance setting).
namespace TranceKind {
constexpr qint16 kRs232 = 0;
constexpr qint16 kBlueTooth = 1;
constexpr qint16 kTcpIp = 2;
constexpr qint16 kAll = 10; // CloseTrance only: serial and TCP
} // namespace TranceKind

// Carries packets to the sign over the serial line (RS232 or Bluetooth serial) or over TCP to
// every ticked target, and turns the sign's answers into prompts. The window and the
// command-line tool each own one; it reads no global settings.
//
// Sends run on the calling thread and wait in nested event loops, so the caller's interface
// stays live. Only one send runs at a time: a send started during another one's waits is
// refused (SendOutcome::refusedBusy), never interleaved. Answers are judged only during the
// send that asked for them, and shown once that send has closed its port or connection.
class Link : public QObject
{
    Q_OBJECT

public:
    // A TCP connect is given up when neither the connect nor an error came within this.
    static constexpr std::chrono::milliseconds kConnectTimeout { 3000 };
    // The wait for the sign's answer after a packet has gone out.
    static constexpr std::chrono::milliseconds kAnswerTimeout { 2000 };
    // A port or connection that takes no byte of the packet for this long is stuck.
    static constexpr std::chrono::milliseconds kWriteStallTimeout { 5000 };
    // How often the serial output queue is looked at while it drains.
    static constexpr std::chrono::milliseconds kDrainPollInterval { 2 };

    // `prompts` must outlive the link.
    explicit Link(PromptSink *prompts, QObject *parent = nullptr);
    ~Link() override;

    void setSettings(const LinkSettings &settings) { m_settings = settings; }
    // Sends the link's prompts to `prompts` from now on and returns the sink used until now;
    // a job that reports once for many packets holds the per-answer prompts back this way.
    PromptSink *exchangePrompts(PromptSink *prompts)
    {
        PromptSink *previous = m_prompts;
        m_prompts = prompts;
        return previous;
    }
    const LinkSettings &settings() const { return m_settings; }

    // Opens the link of kind `Trance`. For RS232 and BlueTooth it (re)opens the serial port
    // with CommPort and CommSettings; any other kind has nothing to open. False, after showing
    // message 5 with the reason, when the port cannot be opened or its settings are wrong.
    bool OpenTrance(qint16 Trance);

    // Closes the link of kind `Trance`: 0 and 1 the serial port, 2 the TCP connection, 10
    // both. A send in progress is cancelled.
    void CloseTrance(qint16 Trance);

    // Sends one packet: SendSerial for kinds 0 and 1, SendTcp for kind 2, nothing for any
    // other kind (an outcome without targets). `Buf` is not changed.
    SendOutcome SendBuffer(const QByteArray &Buf, qint16 Trance);

    // Reopens the serial port, writes the packet, waits until every byte has left the port,
    // waits for the answer (at most kAnswerTimeout, less when it comes) and closes the port.
    // A port that cannot be opened or written shows message 5 with the reason.
    SendOutcome SendSerial(const QByteArray &Buf);

    // Sends the packet over one connection per ticked target row of IpStr. Rows whose flag
    // is not exactly "1", or that lack a port or flag field, are skipped. With one target:
    // its answer is shown, and a target not sent to (bad port, refused, no connect within
    // kConnectTimeout) is shown as "[address:port]" followed by message 13. With more, the
    // send is sendToTargets().
    SendOutcome SendTcp(const QByteArray &Buf);

    // Sends the packet to every target at once, each over its own connection (TcpFanOut),
    // and returns when all have ended. Nothing is shown: the results come through
    // targetsStarted() and targetFinished() as they happen and in the outcome (fannedOut
    // set, targets in list order), for the caller to show together.
    SendOutcome sendToTargets(const QByteArray &Buf, const QList<TcpTarget> &targets);

    // Yields to the event loop once for each count from 0 up to Times (Delay(10000) yields
    // 10001 times); a negative count yields none. A count of yields, not a time span.
    static void Delay(double Times);

    // The state of the current or last TCP connect: a SockStateValue.
    qint16 SockState() const { return m_sockState; }

    bool isBusy() const { return m_busy; }
    bool isSerialOpen() const;

signals:
    // A send started (true) or ended (false); the window disables its send controls meanwhile.
    void busyChanged(bool busy);
    // Bytes of the packet taken by the serial port so far, of `total`.
    void sendProgress(qint64 written, qint64 total);
    // A send to several targets at once begins; targetFinished() follows for each.
    void targetsStarted(const QList<TcpTarget> &targets);
    // Target `index` (0-based, in the order of targetsStarted()) has ended with `outcome`.
    void targetFinished(int index, const TargetOutcome &outcome);

private:
    class BusyScope;
    struct Exchange;

    WaitEnd waitFor(std::chrono::milliseconds bound, const std::function<bool()> &done,
        std::chrono::milliseconds poll = std::chrono::milliseconds(0));
    WaitEnd waitWritten(ByteTransport &transport, Exchange &exchange);
    WaitEnd waitDrained(SerialTransport &transport, Exchange &exchange);
    void wake();
    void watch(ByteTransport &transport, Exchange &exchange, QObject *scope, bool serial);
    bool openSerial(QString *error);
    // Runs `send` with the link busy and no connection left from an earlier TCP send; a link
    // already busy runs nothing and answers refusedBusy.
    SendOutcome whenIdleOverTcp(const std::function<SendOutcome()> &send);
    // The ticked targets one after the other, each answer shown as it comes.
    SendOutcome sendOneByOne(const QByteArray &Buf, const QList<TcpTarget> &targets);
    // The targets all at once, their results for the caller to show together.
    SendOutcome sendAtOnce(const QByteArray &Buf, const QList<TcpTarget> &targets);
    TargetOutcome sendToTarget(const QByteArray &Buf, const QString &address,
        const QString &portText, QList<qint16> *messages);
    void showMessages(const QList<qint16> &messages);
    void showPortError(const QString &reason);
    QString busyText() const;

    PromptSink *m_prompts;
    LinkSettings m_settings;
    SerialTransport *m_serial;
    TcpTransport *m_tcp = nullptr; // the connection of the target being sent to
    QEventLoop *m_waitLoop = nullptr;
    qint16 m_sockState = SockStateValue::kNoAnswer;
    bool m_busy = false;
    bool m_cancelRequested = false;
};
