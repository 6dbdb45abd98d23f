#include "clearscreenjob.h"

#include "getcolor.h"
#include "link.h"
#include "messages.h"
#include "promptsink.h"

ClearScreenJob::ClearScreenJob(Link &link, PromptSink &prompts)
    : m_link(link)
    , m_prompts(prompts)
{ }

SendJobOutcome ClearScreenJob::run(const SendJobSettings &settings)
{
    SendJobOutcome outcome;
    if (m_link.isBusy()) {
        outcome.status = JobStatus::Busy;
        return outcome;
    }
    const QString &language = settings.Language;
    if (!m_prompts.confirm(PromptText(Msg::ConfirmClearScreen, language), PromptTitle(language))) {
        outcome.status = JobStatus::Cancelled;
        return outcome;
    }
    outcome.packet = GetColor().ClearScreen();
    outcome.send = m_link.SendBuffer(outcome.packet, settings.Trance);
    outcome.status = outcome.send.refusedBusy ? JobStatus::Busy : JobStatus::Sent;
    return outcome;
}
