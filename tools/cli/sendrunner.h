#pragma once

#include "clipagesampler.h"
#include "consoleprompts.h"
#include "link.h"
#include "progresssink.h"
#include "sendjob.h"
#include "sendsetup.h"

class ControlRowSource;

// Runs the send jobs for vantrel-cli and turns their outcome into an exit status.
class SendRunner
{
public:
    explicit SendRunner(const SendSetup &setup);

    // The picture job for one page file sent as program-list row `slotRow` (1..253).
    int sendPage(const QString &pagePath, qint16 textWidth, qint16 textHeight, int slotRow,
        qint16 screenWidth, qint16 screenHeight, qint16 perPixel,
        Page::PictureMode pictures = Page::PictureMode::Threshold);
    // The control job for the rows of `list`.
    int sendControl(const ControlRowSource &list);
    // The clear job, asking first.
    int sendClear();

private:
    class QuietProgress : public ProgressSink
    {
    public:
        void setMaximum(int) override { }
        void setValue(int) override { }
        void setLabelText(const QString &) override { }
    };

    SendJobSettings jobSettings() const;
    int exitStatus(const SendJobOutcome &outcome) const;

    SendSetup m_setup;
    ConsolePrompts m_prompts;
    QuietProgress m_progress;
    Link m_link;
};
