#pragma once

#include "getcolor.h"

#include <QByteArray>
#include <QImage>
#include <QRandomGenerator>

#include <iterator>

// Pages with every kind of pixel (the three lit colours, near colours, white, blue) and what
// a sign shows for them.
namespace TestPages {

// A width x height page of colours picked by `seed`.
inline QImage randomPage(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    const QRgb colours[] = { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0), qRgb(254, 0, 0),
        qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 255), qRgb(255, 255, 1) };
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[random.bounded(int(std::size(colours)))]);
    }
    return image;
}

// The LEDs of a page of textWidth x textHeight modules whose top-left pixel is LED (0, 0):
// exact red, green and yellow lit, everything else dark, the last module column always dark.
inline QImage expectedLeds(const QImage &page, int textWidth, int textHeight)
{
    const QRgb lit[] = { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0) };
    QImage leds(textWidth * 16, textHeight * 16, QImage::Format_RGB32);
    leds.fill(Qt::black);
    for (int y = 0; y < leds.height() && y < page.height(); ++y) {
        for (int x = 0; x < (textWidth - 1) * 16 && x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y) | 0xFF000000;
            for (QRgb l : lit) {
                if (c == l)
                    leds.setPixel(x, y, c);
            }
        }
    }
    return leds;
}

// A picture as a picture page shows it: each pixel's red element lit where its red is 128 or
// more, its green where its green is (the editor's default picture conversion).
inline QImage thresholded(const QImage &picture)
{
    QImage leds(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            leds.setPixel(x, y, qRgb(qRed(c) >= 128 ? 255 : 0, qGreen(c) >= 128 ? 255 : 0, 0));
        }
    }
    return leds;
}

// The picture frame packet of `page` on a sign of its own size, for program-list row `row`.
inline QByteArray picturePacket(const QImage &page, int textWidth, int textHeight, int row)
{
    const auto w = qint16(textWidth);
    const auto h = qint16(textHeight);
    return GetColor().SendPicMod(ImagePixelSource(page, 0, 2), w, h, w, h, 16, qint16(row)).bytes;
}

} // namespace TestPages
