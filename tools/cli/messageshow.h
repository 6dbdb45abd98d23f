#pragma once

#include "messagepage.h"
#include "showsendjob.h"

#include <QString>

class Link;

// A message for the sign: what "vantrel-cli say" sends itself, and what it asks a running
// vantrel-agent to show for a while.
struct SayRequest
{
    QString text; // line breaks start new lines
    Page::MessageStyle style;
};

// "red", "green" or "yellow" (any case) as the LED colour; false for anything else.
bool parseMessageColour(const QString &text, QColor *colour);
// "left", "centre" (or "center") or "right" (any case); false for anything else.
bool parseMessageAlignment(const QString &text, Qt::Alignment *alignment);
// The names the two parsers read back.
QString messageColourName(const QColor &colour);
QString messageAlignmentName(Qt::Alignment alignment);

// Sends a drawn message to the link's targets as a one-row show: its page to slot 3, then an
// effect table of that one row entering with "stay", for a sign of widthModules x
// heightModules over link kind `trance`.
ShowSendReport sendMessageShow(Link &link, const QImage &canvas, int widthModules,
    int heightModules, qint16 trance, const QString &language);
