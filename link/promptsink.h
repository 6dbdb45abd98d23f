#pragma once

#include "messages.h"

#include <QString>

// Where the links and send jobs put what the operator must read or answer. The window shows
// message boxes; the command-line tool prints lines. Callers never know which.
class PromptSink
{
public:
    virtual ~PromptSink() = default;

    // Shows `text` under `title` with the box style `icon` and returns when the operator has
    // read it (a box) or at once (a printed line).
    virtual void inform(const QString &text, const QString &title, PromptIcon icon) = 0;

    // Asks a question with OK and Cancel; true only when the answer is OK.
    virtual bool confirm(const QString &text, const QString &title) = 0;
};
