#pragma once

#include "pagedocument.h"

#include <QColor>
#include <QImage>
#include <QString>

// A short message drawn on a page of the sign's size: one colour, one font, centred (or
// aligned left or right) across the lit LEDs and centred from top to bottom. What
// "vantrel-cli say" sends.
namespace Page {

// The largest and smallest pixel sizes a message is drawn at: the page's default font is 16
// pixels (one module) high; below 8 pixels letters are no longer legible on LEDs.
constexpr int kMessagePixelSize = 16;
constexpr int kSmallestMessagePixelSize = 8;

struct MessageStyle
{
    QColor colour = ledRed();
    QString family; // "" for the page's default font; Chinese falls back to chineseFontFamily()
    Qt::Alignment alignment = Qt::AlignHCenter; // AlignLeft, AlignHCenter or AlignRight
    bool shrink = false; // a text too large is drawn at the largest size that fits
};

struct MessageDrawing
{
    bool fits = false;
    int pixelSize = 0; // of the font drawn (or, when it does not fit, tried last)
    int neededWidth = 0; // LEDs across the text takes at pixelSize
    int neededHeight = 0; // LED rows it takes
    int litWidth = 0; // LEDs across the sign lights: the last module column stays dark
    int litHeight = 0;
    QImage canvas; // (16 x W + 2) x (16 x H + 2), as renderCanvas draws pages; when it fits

    // Why the text does not fit, with the size it needs, in `language`; "" when it fits.
    QString refusal(const QString &text, const QString &language) const;
};

// Draws `text` (line breaks start new lines) for a sign of widthModules x heightModules.
MessageDrawing drawMessage(
    const QString &text, const MessageStyle &style, int widthModules, int heightModules);

} // namespace Page
