#pragma once

#include "pixelsource.h"

#include <QString>

#include <memory>

// Turns a page file into the canvas the picture packet is sampled from. The window loads the
// page into its default page window and renders it; the command-line tool renders it off
// screen.
class PageSampler
{
public:
    virtual ~PageSampler() = default;

    // The canvas of the page at `pagePath` for a page of textWidth x textHeight modules, one
    // canvas pixel per LED, with LED row 0 on canvas row 2. Null with `error` set (a sentence
    // in the user's language) when the file is missing or is not a page.
    virtual std::unique_ptr<PixelSource> samplePage(
        const QString &pagePath, qint16 textWidth, qint16 textHeight, QString *error)
        = 0;

    // Sizes the default page window's canvas to the whole sign (ScreenWidth x PerPixel + 2 by
    // ScreenHeight x PerPixel + 2 units), as the control job does before it builds its packet.
    // Samplers without a window have nothing to size.
    virtual void fitCanvasToScreen(qint16 screenWidth, qint16 screenHeight, qint16 perPixel)
    {
        Q_UNUSED(screenWidth)
        Q_UNUSED(screenHeight)
        Q_UNUSED(perPixel)
    }
};
