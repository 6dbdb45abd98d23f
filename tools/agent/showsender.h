#pragma once

#include "messageshow.h"

#include <QDateTime>
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

// Sends shows, pages of shows and messages to targets. The agent's logic sees only this, so
// a test can stand in for the link. Every call gives one result per target, in order; fields
// are filled at `moment`.
class ShowSender
{
public:
    virtual ~ShowSender() = default;
    // The show at `showPath` whole: every page, then its effect table.
    virtual QList<TargetSendResult> send(
        const QString &showPath, const QList<AgentTarget> &targets, const QDateTime &moment)
        = 0;
    // Only the picture packets of `rows` (1-based, slot row + 2) of the show: pages whose
    // text changed, on signs that already have the show.
    virtual QList<TargetSendResult> sendPages(const QString &showPath, const QList<int> &rows,
        const QList<AgentTarget> &targets, const QDateTime &moment)
        = 0;
    // A message as "vantrel-cli say" sends it: a one-row show of the sign's size.
    virtual QList<TargetSendResult> sendMessage(
        const SayRequest &message, const QList<AgentTarget> &targets)
        = 0;
    // Ends a send in progress as soon as it can (the agent is stopping).
    virtual void cancel() { }
};
