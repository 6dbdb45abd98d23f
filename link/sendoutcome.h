#pragma once

#include <QList>
#include <QString>

#include <chrono>

// What a sign answered about one packet.
enum class Verdict {
    None, // no answer came, or none that could be judged
    Success, // "set succeed!"
    Failure, // "set failed!" (also when the same answer carried success as well)
};

// How one of the link's waits ended.
enum class WaitEnd {
    NotRun, // the wait was not needed
    Event, // the awaited event came (connect, error, answer, peer gone)
    Timeout, // the time bound ran out first
    Cancelled, // the link was closed during the wait
};

// How the exchange with one destination ended, as a results list shows it.
enum class TargetResult {
    Pending, // not finished yet
    Succeeded, // the sign answered "set succeed!"
    Failed, // the sign answered "set failed!"
    NotReached, // no connection: bad address or port, refused, unresolved, connect timed out
    NoAnswer, // the packet went out and no answer that could be judged came in time
    BrokenOff, // the connection broke, stalled or was closed before an answer came
};

// One destination of a send: a TCP target row or the serial port.
struct TargetOutcome
{
    QString address; // TCP address as the target row holds it, or the serial port name
    QString port; // TCP port as the target row holds it; empty for serial
    bool sent = false; // the whole packet was handed to the connection or port
    Verdict verdict = Verdict::None;
    // Why the packet was not sent or no answer came, in the user's language; "" otherwise.
    QString problem;
    WaitEnd connectWait = WaitEnd::NotRun; // TCP only
    WaitEnd answerWait = WaitEnd::NotRun;
    bool connected = false; // TCP: the connection was made
    bool broken = false; // the connection or port failed after the packet went out
    bool pending = false; // the exchange is still running; the fields above may change
    std::chrono::milliseconds elapsed { 0 }; // from the connect to the end of the exchange

    // "address:port" for TCP, the port name for serial.
    QString label() const;
    // The time it took in seconds with two decimals, e.g. "0.12 s".
    QString elapsedText() const;
    // How the exchange ended; Pending until it has.
    TargetResult result() const;

    // The result as a results list shows it: the catalogue's "set succeed!" and "set failed!",
    // else "not reached", "no answer", "broken off" or "sending…" in `language`.
    static QString resultText(TargetResult result, const QString &language);
};

// The result of one SendBuffer call.
struct SendOutcome
{
    QList<TargetOutcome> targets; // in the order they were tried
    bool refusedBusy = false; // another send was running; nothing was done
    bool cancelled = false; // the link was closed while this send waited
    // The targets were sent to at once and reported together (a results list and one
    // summary) rather than one prompt per answer.
    bool fannedOut = false;

    // True only when there was at least one target and every target answered success.
    bool allSucceeded() const;
    // How many targets ended with `result`.
    int count(TargetResult result) const;
    // One line on the whole send, e.g. "40 targets: 30 succeeded, 2 failed, 5 not reached,
    // 3 no answer, 0 broken off.", in `language`.
    QString summaryText(const QString &language) const;
};
