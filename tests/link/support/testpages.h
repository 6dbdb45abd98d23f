#pragma once

#include <QByteArray>
#include <QImage>

// Pages with every kind of pixel (the three lit colours, near colours, white, blue) and what
// a sign shows for them.
namespace TestPages {

// A width x height page of colours picked by `seed`.
QImage randomPage(int width, int height, quint32 seed);

// The LEDs of a page of textWidth x textHeight modules whose top-left pixel is LED (0, 0):
// exact red, green and yellow lit, everything else dark, the last module column always dark.
QImage expectedLeds(const QImage &page, int textWidth, int textHeight);

// A picture as a picture page shows it: each pixel's red element lit where its red is 128 or
// more, its green where its green is (the editor's default picture conversion).
QImage thresholded(const QImage &picture);

// The picture frame packet of `page` on a sign of its own size, for program-list row `row`.
QByteArray picturePacket(const QImage &page, int textWidth, int textHeight, int row);

} // namespace TestPages
