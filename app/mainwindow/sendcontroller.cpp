#include "sendcontroller.h"

#include "clearscreenjob.h"
#include "link.h"
#include "linksettings.h"
#include "sendcontroljob.h"
#include "sendpicturejob.h"

#include "basesettings.h"
#include "messages.h"
#include "programfolder.h"
#include "promptsink.h"

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
{
    connect(m_link, &Link::targetsStarted, this, &SendController::fleetSendBegins);
    connect(m_link, &Link::targetFinished, this, &SendController::fleetTargetEnds);
}

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

QString SendController::targetsKey()
{
    const BaseSettings &s = baseSettings();
    return QString::number(s.Trance) + QLatin1Char('|') + s.IpStr;
}

void SendController::endRetry()
{
    const bool hadFleet = !m_fleet.targets.isEmpty() || !m_fleetPacket.isEmpty();
    m_fleet = {};
    m_fleetPacket.clear();
    m_fleetTargetsKey.clear();
    if (hadFleet)
        emit retryEnded();
}

void SendController::targetsMayHaveChanged()
{
    if (!m_sending && !m_fleetTargetsKey.isEmpty() && m_fleetTargetsKey != targetsKey())
        endRetry();
}

SendJobOutcome SendController::sendPicture(const ControlRowSource &list, int CurrentRow)
{
    if (m_sending)
        return { JobStatus::Busy, {}, {} };
    endRetry();
    const Running running(*this);
    prepareLink();
    return fleetSendEnds(SendPictureJob(*m_link, m_prompts, m_progress, m_sampler)
                             .run(list, CurrentRow, currentJobSettings()));
}

SendJobOutcome SendController::sendControlTable(const ControlRowSource &list)
{
    if (m_sending)
        return { JobStatus::Busy, {}, {} };
    endRetry();
    const Running running(*this);
    prepareLink();
    return fleetSendEnds(
        SendControlJob(*m_link, m_prompts, &m_sampler).run(list, currentJobSettings()));
}

ShowSendReport SendController::sendShow(const ControlRowSource &list, ShowSendProgress *progress)
{
    if (m_sending) {
        ShowSendReport busy;
        busy.status = ShowSendReport::Status::Busy;
        return busy;
    }
    endRetry();
    const Running running(*this);
    prepareLink();
    // The show reports every packet's targets in its own summary; the fleet results and
    // "Retry failed" keep to the last single send.
    m_sendingShow = true;
    const ShowSendReport report
        = ShowSendJob(*m_link, m_sampler, progress).run(list, currentJobSettings());
    m_sendingShow = false;
    return report;
}

SendJobOutcome SendController::clearScreen()
{
    if (m_sending)
        return { JobStatus::Busy, {}, {} };
    endRetry();
    const Running running(*this);
    prepareLink();
    return fleetSendEnds(ClearScreenJob(*m_link, m_prompts).run(currentJobSettings()));
}

SendJobOutcome SendController::retryFailed()
{
    if (m_sending)
        return { JobStatus::Busy, {}, {} };
    targetsMayHaveChanged();
    const QList<int> rows = failedRows();
    if (rows.isEmpty())
        return {};
    const Running running(*this);
    prepareLink();
    QList<TcpTarget> targets;
    for (int row : rows)
        targets.append({ m_fleet.targets.at(row).address, m_fleet.targets.at(row).port });
    m_retryRows = rows;
    SendJobOutcome outcome;
    outcome.packet = m_fleetPacket;
    outcome.send = m_link->sendToTargets(m_fleetPacket, targets);
    m_retryRows.clear();
    outcome.status = outcome.send.refusedBusy ? JobStatus::Busy : JobStatus::Sent;
    return fleetSendEnds(outcome);
}

QList<int> SendController::failedRows() const
{
    QList<int> rows;
    for (int row = 0; row < m_fleet.targets.size(); ++row) {
        if (m_fleet.targets.at(row).result() != TargetResult::Succeeded)
            rows.append(row);
    }
    return rows;
}

void SendController::fleetSendBegins(const QList<TcpTarget> &targets)
{
    if (m_sendingShow)
        return;
    m_rowOfIndex.clear();
    if (!m_retryRows.isEmpty() && m_retryRows.size() == targets.size()) {
        m_rowOfIndex = m_retryRows;
        for (int row : std::as_const(m_rowOfIndex))
            m_fleet.targets[row].pending = true;
        emit fleetRetryStarted(m_rowOfIndex);
        return;
    }
    m_fleet = {};
    m_fleet.fannedOut = true;
    for (int i = 0; i < targets.size(); ++i) {
        TargetOutcome pending;
        pending.address = targets.at(i).address;
        pending.port = targets.at(i).port;
        pending.pending = true;
        m_fleet.targets.append(pending);
        m_rowOfIndex.append(i);
    }
    emit fleetStarted(targets);
}

void SendController::fleetTargetEnds(int index, const TargetOutcome &outcome)
{
    if (m_sendingShow)
        return;
    if (index < 0 || index >= m_rowOfIndex.size())
        return;
    const int row = m_rowOfIndex.at(index);
    m_fleet.targets[row] = outcome;
    emit fleetTargetFinished(row, outcome);
}

SendJobOutcome SendController::fleetSendEnds(const SendJobOutcome &outcome)
{
    if (outcome.status != JobStatus::Sent || !outcome.send.fannedOut)
        return outcome;
    m_fleetPacket = outcome.packet;
    m_fleetTargetsKey = targetsKey();
    // The live results already stand in their rows; the outcome settles any that a cancel
    // ended without a signal.
    for (int i = 0; i < outcome.send.targets.size() && i < m_rowOfIndex.size(); ++i)
        m_fleet.targets[m_rowOfIndex.at(i)] = outcome.send.targets.at(i);
    m_fleet.cancelled = outcome.send.cancelled;
    m_rowOfIndex.clear();
    emit fleetFinished(m_fleet);
    if (m_fleet.cancelled)
        return outcome; // the link was closed, mostly because the window is closing
    const QString language = baseSettings().Language;
    const bool allSucceeded = failedRows().isEmpty();
    m_prompts.inform(m_fleet.summaryText(language), PromptTitle(language),
        allSucceeded ? PromptIcon::Information : PromptIcon::Exclamation);
    return outcome;
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
