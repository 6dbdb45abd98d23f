#pragma once

#include <QList>
#include <QString>

// One sign the agent keeps on its show: a TCP controller, or the serial port.
struct AgentTarget
{
    QString address; // TCP address, or the serial port's name
    QString port; // TCP port; empty for the serial port

    bool isSerial() const { return port.isEmpty(); }
    // "address:port" ("[v6 address]:port"), or the serial port's name.
    QString label() const;
    bool operator==(const AgentTarget &o) const { return address == o.address && port == o.port; }

    // "host:port" or "[v6 address]:port" as a TCP target; false when it is neither.
    static bool fromLabel(const QString &label, AgentTarget *target);
};

// How one target took a show.
struct TargetSendResult
{
    bool succeeded = false;
    QString result; // "succeeded", or how it failed: "failed", "not reached", "no answer", ...
    QString problem; // the failure in words (naming the packet); "" on success
};

// Sends a show whole to targets. The agent's logic sees only this, so a test can stand in
// for the link.
class ShowSender
{
public:
    virtual ~ShowSender() = default;
    // Sends the show at `showPath` to every target; one result per target, in order.
    virtual QList<TargetSendResult> send(const QString &showPath, const QList<AgentTarget> &targets)
        = 0;
    // Ends a send in progress as soon as it can (the agent is stopping).
    virtual void cancel() { }
};
