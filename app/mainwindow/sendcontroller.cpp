#include "sendcontroller.h"

#include "clearscreenjob.h"
#include "link.h"
#include "linksettings.h"
#include "sendcontroljob.h"
#include "sendpicturejob.h"

#include "basesettings.h"
#include "programfolder.h"

// Marks a job as running for its whole length, including the yields inside it.
class SendController::Running
{
public:
    explicit Running(SendController &owner)
        : m_owner(owner)
    {
        m_owner.m_sending = true;
        emit m_owner.sendingChanged(true);
    }
    ~Running()
    {
        m_owner.m_sending = false;
        emit m_owner.sendingChanged(false);
    }

private:
    SendController &m_owner;
};

SendController::SendController(
    PromptSink &prompts, ProgressSink &progress, PageSampler &sampler, QObject *parent)
    : QObject(parent)
    , m_prompts(prompts)
    , m_progress(progress)
    , m_sampler(sampler)
    , m_link(new Link(&prompts, this))
{ }

SendController::~SendController() = default;

SendJobSettings SendController::currentJobSettings()
{
    const BaseSettings &s = baseSettings();
    SendJobSettings job;
    job.ScreenWidth = s.ScreenWidth;
    job.ScreenHeight = s.ScreenHeight;
    job.PerPixel = s.PerPixel;
    job.Trance = s.Trance;
    job.pageFolder = programFolder();
    job.Language = s.Language;
    return job;
}

void SendController::prepareLink()
{
    m_link->setSettings(LinkSettings::fromBaseSettings(baseSettings()));
}

SendJobOutcome SendController::sendPicture(const ControlRowSource &list, int CurrentRow)
{
    if (m_sending)
        return { JobStatus::Busy, {}, {} };
    const Running running(*this);
    prepareLink();
    return SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
        .run(list, CurrentRow, currentJobSettings());
}

SendJobOutcome SendController::sendControlTable(const ControlRowSource &list)
{
    if (m_sending)
        return { JobStatus::Busy, {}, {} };
    const Running running(*this);
    prepareLink();
    return SendControlJob(*m_link, m_prompts, &m_sampler).run(list, currentJobSettings());
}

ShowSendReport SendController::sendShow(const ControlRowSource &list, ShowSendProgress *progress)
{
    if (m_sending) {
        ShowSendReport busy;
        busy.status = ShowSendReport::Status::Busy;
        return busy;
    }
    const Running running(*this);
    prepareLink();
    return ShowSendJob(*m_link, m_sampler, progress).run(list, currentJobSettings());
}

SendJobOutcome SendController::clearScreen()
{
    if (m_sending)
        return { JobStatus::Busy, {}, {} };
    const Running running(*this);
    prepareLink();
    return ClearScreenJob(*m_link, m_prompts).run(currentJobSettings());
}

bool SendController::openLink(qint16 trance)
{
    prepareLink();
    return m_link->OpenTrance(trance);
}

void SendController::closeLink()
{
    m_link->CloseTrance(TranceKind::kAll);
}
