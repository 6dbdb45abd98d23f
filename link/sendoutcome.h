#pragma once

#include <QList>
#include <QString>

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

    // "address:port" for TCP, the port name for serial.
    QString label() const;
};

// The result of one SendBuffer call.
struct SendOutcome
{
    QList<TargetOutcome> targets; // in the order they were tried
    bool refusedBusy = false; // another send was running; nothing was done
    bool cancelled = false; // the link was closed while this send waited

    // True only when there was at least one target and every target answered success.
    bool allSucceeded() const;
};
