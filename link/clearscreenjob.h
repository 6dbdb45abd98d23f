#pragma once

#include "sendjob.h"

class Link;
class PromptSink;

// "&Screen Clear": asks, then sends the clear-screen packet.
class ClearScreenJob
{
public:
    // Both must outlive the job.
    ClearScreenJob(Link &link, PromptSink &prompts);

    // Asks message 9 with OK and Cancel; only on OK the clear-screen packet goes to the link.
    // The program list plays no part.
    SendJobOutcome run(const SendJobSettings &settings);

private:
    Link &m_link;
    PromptSink &m_prompts;
};
