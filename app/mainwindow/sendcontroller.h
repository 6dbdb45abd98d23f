#pragma once

#include "sendjob.h"
#include "showsendjob.h"

#include <QObject>

class ControlRowSource;
class Link;
class PageSampler;
class ProgressSink;
class PromptSink;

// Runs the three send jobs for the window, one at a time, over the window's link, with the
// current settings. While one runs, sending() is true and another one is refused.
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

    // Gives the link the current settings and opens the link of kind `trance` (the serial
    // port for RS232 and BlueTooth); false when it could not be opened (the link said why).
    bool openLink(qint16 trance);
    // Closes every part of the link; a send still waiting is cancelled.
    void closeLink();

    // The settings a job runs with, taken from the base settings now.
    static SendJobSettings currentJobSettings();

signals:
    void sendingChanged(bool sending);

private:
    class Running;
    void prepareLink();

    PromptSink &m_prompts;
    ProgressSink &m_progress;
    PageSampler &m_sampler;
    Link *m_link;
    bool m_sending = false;
};
