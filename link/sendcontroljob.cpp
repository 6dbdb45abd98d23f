#include "sendcontroljob.h"

#include "getcolor.h"
#include "link.h"
#include "messages.h"
#include "pagesampler.h"
#include "promptsink.h"
#include "rowsource.h"

#include <algorithm>
#include <limits>

SendControlJob::SendControlJob(Link &link, PromptSink &prompts, PageSampler *canvas)
    : m_link(link)
    , m_prompts(prompts)
    , m_canvas(canvas)
{ }

SendJobOutcome SendControlJob::run(const ControlRowSource &list, const SendJobSettings &settings)
{
    SendJobOutcome outcome;
    if (m_link.isBusy()) {
        outcome.status = JobStatus::Busy;
        return outcome;
    }
    const QString &language = settings.Language;
    if (list.rowCount() == 0) {
        m_prompts.inform(
            PromptText(Msg::AddTheFile, language), PromptTitle(language), MsgIcon(Msg::AddTheFile));
        return outcome;
    }
    if (m_canvas)
        m_canvas->fitCanvasToScreen(settings.ScreenWidth, settings.ScreenHeight, settings.PerPixel);

    // More rows than a 16-bit count are refused by the builder through their row numbers.
    const int rows = std::min(list.rowCount(), int(std::numeric_limits<qint16>::max()));
    const PacketResult packet
        = GetColor().CtrlCommandSend(list, qint16(rows), GetColor::allRowNumbers(rows));
    if (!packet.ok) {
        m_prompts.inform(
            packet.refusal.message(language), PromptTitle(language), PromptIcon::Exclamation);
        outcome.status = JobStatus::Refused;
        return outcome;
    }
    outcome.packet = packet.bytes;
    outcome.send = m_link.SendBuffer(outcome.packet, settings.Trance);
    outcome.status = outcome.send.refusedBusy ? JobStatus::Busy : JobStatus::Sent;
    return outcome;
}
