#pragma once

#include "promptsink.h"

// Passes prompts on to a sink that can be exchanged at any time, so the link (which keeps the
// sink it was given) follows the window when tests put a recording sink in place.
class PromptRelay : public PromptSink
{
public:
    explicit PromptRelay(PromptSink *target)
        : m_target(target)
    { }

    void setTarget(PromptSink *target) { m_target = target; }
    PromptSink *target() const { return m_target; }

    void inform(const QString &text, const QString &title, PromptIcon icon) override
    {
        if (m_target)
            m_target->inform(text, title, icon);
    }
    bool confirm(const QString &text, const QString &title) override
    {
        return m_target && m_target->confirm(text, title);
    }

private:
    PromptSink *m_target;
};
