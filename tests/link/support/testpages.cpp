#include "testpages.h"

#include "getcolor.h"

#include <QRandomGenerator>

#include <iterator>

namespace TestPages {

QImage randomPage(int width, int height, quint32 seed)
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

QImage expectedLeds(const QImage &page, int textWidth, int textHeight)
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

QImage thresholded(const QImage &picture)
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

QByteArray picturePacket(const QImage &page, int textWidth, int textHeight, int row)
{
    const auto w = qint16(textWidth);
    const auto h = qint16(textHeight);
    return GetColor().SendPicMod(ImagePixelSource(page, 0, 2), w, h, w, h, 16, qint16(row)).bytes;
}

} // namespace TestPages
