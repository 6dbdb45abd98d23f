#pragma once

#include "sendjob.h"

#include <QByteArray>
#include <QList>
#include <QString>

class ControlRowSource;
class Link;
class PageSampler;

// What a show send has done so far: the window's progress bar and note, the tool's lines.
class ShowSendProgress
{
public:
    virtual ~ShowSendProgress() = default;
    // Packet `step` of `steps` is about to go: rows 1..n are steps 1..n, the effect table is
    // step n + 1 (`row` 0).
    virtual void showSendStep(int step, int steps, int row) = 0;
    // The packet of `row` (0: the effect table) has been sent; `send` is what the signs said.
    virtual void showSendResult(int row, const SendOutcome &send) = 0;
};

// The packets of a whole show, built before anything is sent.
struct ShowPackets
{
    QList<QByteArray> pictures; // row k's picture frame packet (slot k + 2) at index k - 1
    QByteArray control; // the effect records of every row
};

// How a show send ended and what every packet met.
struct ShowSendReport
{
    enum class Status {
        Sent, // every packet went to the link; see steps
        Refused, // a row builds no packet (or the list is empty): nothing was sent
        Busy, // another send was running: nothing was sent
        Cancelled, // the link was closed part-way: later packets were not sent
    };
    struct Step
    {
        int row = 0; // 1..n, 0 for the effect table
        SendOutcome send;
    };

    Status status = Status::Refused;
    QString refusal; // why nothing was sent, naming the row; "" otherwise
    int rowCount = 0;
    QList<Step> steps; // in the order sent

    // Sent, and every packet answered "set succeed!" by every target.
    bool allSucceeded() const;
    // One text for the operator: the refusal, or every failure by row and target, or that
    // all went well. In the user's language.
    QString summary(const QString &language) const;
};

// "Send Show": the picture frame packet of every row (slot row + 2) in row order, then the
// control packet of all rows, each over the link as "SendChar" and "SendCtrl" send them.
// Every packet is built before the first one is sent, so a row that builds none stops the
// whole send. The link's prompt per answer is held back while the job runs: the caller shows
// the report's one summary.
class ShowSendJob
{
public:
    // `progress` may be null. All must outlive the job.
    ShowSendJob(Link &link, PageSampler &sampler, ShowSendProgress *progress = nullptr);

    // Builds the show's packets without sending: false, with `refusal` naming the row (in the
    // settings' language), when any row builds none.
    bool prepare(const ControlRowSource &list, const SendJobSettings &settings,
        ShowPackets *packets, QString *refusal);

    ShowSendReport run(const ControlRowSource &list, const SendJobSettings &settings);

private:
    Link &m_link;
    PageSampler &m_sampler;
    ShowSendProgress *m_progress;
};
