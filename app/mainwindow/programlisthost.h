#pragma once

#include "frmdocument.h"

class PromptSink;
class QString;

// What the program-list commands need of the window they run in: the default page window,
// the sizing of its canvas, and where they ask and note. The main window implements it.
class ProgramListHost
{
public:
    virtual ~ProgramListHost() = default;

    // The default page window if it is open, else null.
    virtual frmDocument *openDefaultDocument() const = 0;
    // Sizes the default page window's canvas for a page of Width x Height modules; a size that
    // does not fit is refused with a message.
    virtual frmDocument::SizeResult ChangeWindowState(qint16 Width, qint16 Height) = 0;

    virtual PromptSink &prompts() = 0;
    // A note in the status bar the operator need not answer.
    virtual void showNote(const QString &text) = 0;
};
