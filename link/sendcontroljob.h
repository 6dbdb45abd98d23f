#pragma once

#include "sendjob.h"

class ControlRowSource;
class Link;
class PageSampler;
class PromptSink;

// "SendCtrl": sends the control packet, the effect records of every program-list row.
class SendControlJob
{
public:
    // `canvas` may be null when there is no page window to size. All must outlive the job.
    SendControlJob(Link &link, PromptSink &prompts, PageSampler *canvas = nullptr);

    // Runs the job once. An empty list shows message 2. Otherwise the page canvas is sized to
    // the sign, the packet is built from rows 1..n in list order ("1,2,...,n,") and goes to
    // the link; a row the packet cannot carry shows why and sends nothing. No progress.
    SendJobOutcome run(const ControlRowSource &list, const SendJobSettings &settings);

private:
    Link &m_link;
    PromptSink &m_prompts;
    PageSampler *m_canvas;
};
