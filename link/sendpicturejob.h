#pragma once

#include "sendjob.h"

#include <QByteArray>

class ControlRowSource;
class Link;
class PageSampler;
class ProgressSink;
class PromptSink;

// "SendChar": sends the picture frame packet of the selected program-list row.
class SendPictureJob
{
public:
    // All four must outlive the job.
    SendPictureJob(Link &link, PromptSink &prompts, ProgressSink &progress, PageSampler &sampler);

    // Runs the job once for row `CurrentRow` (1-based; 0 when no row was clicked) of `list`.
    // In order: an empty list shows message 2; the progress is set to 0 of 1, "0%", and the
    // event loop runs once; no row shows message 3; a row that no longer exists, a TWidth or
    // THeight that is not a 16-bit whole number, a page that cannot be loaded (read from the
    // settings' page folder joined with "/" and the File Path text) or a value the packet
    // cannot carry shows why and sends nothing. Otherwise the packet for slot CurrentRow + 2
    // goes to the link, the progress follows a serial write, and it ends at "100%" whatever
    // the answer.
    SendJobOutcome run(
        const ControlRowSource &list, int CurrentRow, const SendJobSettings &settings);

    // The picture frame packet of row `row` of `list` (slot row + 2): its TWidth and THeight
    // read as 16-bit whole numbers, its page read from the settings' page folder joined with
    // "/" and the File Path text, and sampled by `sampler`. A size the packet cannot carry is
    // refused before a page is drawn for it. Empty when the row builds no packet; `refusal`
    // then says why in the settings' language. A show names the row in every refusal
    // (RowNamed::Always); a single send names it where the cell is at fault. Sends nothing.
    enum class RowNamed { Always, ForCells };
    static QByteArray rowPacket(const ControlRowSource &list, int row,
        const SendJobSettings &settings, PageSampler &sampler, RowNamed named, QString *refusal);

private:
    void refuse(const QString &text, const SendJobSettings &settings);

    Link &m_link;
    PromptSink &m_prompts;
    ProgressSink &m_progress;
    PageSampler &m_sampler;
};
