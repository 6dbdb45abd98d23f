#pragma once

#include <QImage>
#include <QString>

// The LEDs a row's picture frame packet carries, for the preview to play.
struct PreviewPage
{
    QImage leds; // one pixel per LED: red, green, yellow or black; null when refused
    QString problem; // why there is no page, in the user's language
};

// Loads the page file as the program list loads it (by name), renders it at textWidth x
// textHeight modules, samples it into the picture frame packet for a sign of screenWidth x
// screenHeight and decodes that packet back into LEDs: the dark last module column included.
PreviewPage renderPreviewPage(const QString &pagePath, int textWidth, int textHeight,
    int screenWidth, int screenHeight, int perPixel, const QString &language);
