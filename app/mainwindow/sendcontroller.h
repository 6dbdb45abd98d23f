#pragma once

#include "sendjob.h"
#include "showsendjob.h"
#include "tcptarget.h"

#include <QObject>

class ControlRowSource;
class Link;
class PageSampler;
class ProgressSink;
class PromptSink;

// Runs the three send jobs for the window, one at a time, over the window's link, with the
// current settings. While one runs, sending() is true and another one is refused.
//
// A send to several TCP targets at once (a fleet) is reported as it goes through the fleet
// signals, and as one summary prompt at its end instead of a prompt per answer. Its packet is
// kept, so that retryFailed() can send it again to the targets that did not succeed.
class SendController : public QObject
{
    Q_OBJECT

public:
    // All three must outlive the controller.
    SendController(PromptSink &prompts, ProgressSink &progress, PageSampler &sampler,
        QObject *parent = nullptr);
    ~SendController() override;

    Link &link() { return *m_link; }
    const Link &link() const { return *m_link; }
    bool sending() const { return m_sending; }

    // "SendChar": the page of row `CurrentRow` as a picture frame packet.
    SendJobOutcome sendPicture(const ControlRowSource &list, int CurrentRow);
    // "SendCtrl": the effect table of all rows.
    SendJobOutcome sendControlTable(const ControlRowSource &list);
    // "Send Show": every row's page, then the effect table, with one report and no prompt
    // per answer. `progress` may be null.
    ShowSendReport sendShow(const ControlRowSource &list, ShowSendProgress *progress);
    // "&Screen Clear": asks, then clears the sign.
    SendJobOutcome clearScreen();
    // "Retry failed": the packet of the last fleet send again, to those of its targets that
    // did not answer success; their rows take the new results. Busy while a send runs;
    // NothingToSend when there is no fleet send or every target succeeded.
    SendJobOutcome retryFailed();

    // The last fleet send, its targets in list order with the newest result of each.
    const SendOutcome &lastFleet() const { return m_fleet; }
    // Rows of lastFleet() that retryFailed() would send to.
    QList<int> failedRows() const;
    // The TCP targets or the link kind may have changed (the settings were accepted): when
    // they differ from those of the last fleet send, its retry ends.
    void targetsMayHaveChanged();

    // Gives the link the current settings and opens the link of kind `trance` (the serial
    // port for RS232 and BlueTooth); false when it could not be opened (the link said why).
    bool openLink(qint16 trance);
    // Closes every part of the link; a send still waiting is cancelled.
    void closeLink();

    // The settings a job runs with, taken from the base settings now.
    static SendJobSettings currentJobSettings();

signals:
    void sendingChanged(bool sending);
    // A fleet send to `targets` begins; every row is pending.
    void fleetStarted(const QList<TcpTarget> &targets);
    // A retry begins: `rows` of the last fleet are pending again.
    void fleetRetryStarted(const QList<int> &rows);
    // Row `row` of the fleet has ended with `outcome`.
    void fleetTargetFinished(int row, const TargetOutcome &outcome);
    // The fleet send (or its retry) has ended; `fleet` holds every row's newest result.
    void fleetFinished(const SendOutcome &fleet);
    // The last fleet send can no longer be retried: a later send began or its targets changed.
    void retryEnded();

private:
    class Running;
    void prepareLink();
    // A new send begins: the results of the last fleet send are no longer the ones to retry.
    void endRetry();
    static QString targetsKey();
    void fleetSendBegins(const QList<TcpTarget> &targets);
    void fleetTargetEnds(int index, const TargetOutcome &outcome);
    // Keeps a fleet send's packet and results and shows its summary; other sends pass.
    SendJobOutcome fleetSendEnds(const SendJobOutcome &outcome);

    PromptSink &m_prompts;
    ProgressSink &m_progress;
    PageSampler &m_sampler;
    Link *m_link;
    bool m_sending = false;
    bool m_sendingShow = false;
    SendOutcome m_fleet;
    QByteArray m_fleetPacket;
    QString m_fleetTargetsKey; // the link kind and target list the fleet packet went to
    QList<int> m_rowOfIndex; // fleet row of each target of the send under way
    QList<int> m_retryRows; // set while a retry is being started
};
