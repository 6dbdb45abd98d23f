#pragma once

#include "packetresult.h"

#include <QImage>
#include <QSize>

class QTextDocument;

namespace Page {

// Draws the page the way the sign samples it and the canvas shows it: one canvas unit per
// pixel, no anti-aliasing, no caret or selection, at a device pixel ratio of 1. Text without
// a colour of its own is red; the background is the page's. The document is laid out at the
// canvas width. The result is Format_RGB32 of size `canvas`.
QImage renderCanvas(QTextDocument *document, const QSize &canvas);

// What the sign shows of a rendered canvas: the picture frame packet of a page of
// textWidth x textHeight modules, decoded back into one pixel per LED (red, green, yellow or
// black, the last module column dark). Refused when the sizes do not fit a packet.
struct SignImage
{
    QImage image;
    PacketResult packet;
};
SignImage signImage(const QImage &canvas, int textWidth, int textHeight);

} // namespace Page
