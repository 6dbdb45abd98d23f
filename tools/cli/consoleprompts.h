#pragma once

#include "promptsink.h"

// Prompts as lines: each message on stdout, a question answered by --yes, or on a terminal
// by the user typing OK.
class ConsolePrompts : public PromptSink
{
public:
    explicit ConsolePrompts(bool assumeYes)
        : m_assumeYes(assumeYes)
    { }

    void inform(const QString &text, const QString &title, PromptIcon icon) override;
    bool confirm(const QString &text, const QString &title) override;

private:
    bool m_assumeYes;
};
