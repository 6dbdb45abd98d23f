#include "pixelsource.h"

#include <algorithm>

BgrColor bgrFromRgb(QRgb rgb)
{
    return BgrColor(qRed(rgb)) | (BgrColor(qGreen(rgb)) << 8) | (BgrColor(qBlue(rgb)) << 16);
}

QRgb rgbFromBgr(BgrColor bgr)
{
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void PixelSource::readRow(int y, int x0, int count, BgrColor *out) const
{
    for (int i = 0; i < count; ++i)
        out[i] = colorAt(x0 + i, y);
}

ImagePixelSource::ImagePixelSource(const QImage &image, int originX, int originY)
    : m_originX(originX)
    , m_originY(originY)
{
    // Alpha is not a colour the sign shows; a transparent pixel keeps its colour channels
    // only in ARGB32 (not premultiplied), so convert to that rather than RGB32.
    m_image = (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        ? image
        : image.convertToFormat(QImage::Format_ARGB32);
}

BgrColor ImagePixelSource::colorAt(int x, int y) const
{
    const int ix = x - m_originX;
    const int iy = y - m_originY;
    if (ix < 0 || iy < 0 || ix >= m_image.width() || iy >= m_image.height())
        return LedColor::kOutside;
    const QRgb *line = reinterpret_cast<const QRgb *>(m_image.constScanLine(iy));
    return bgrFromRgb(line[ix]);
}

void ImagePixelSource::readRow(int y, int x0, int count, BgrColor *out) const
{
    const int iy = y - m_originY;
    if (iy < 0 || iy >= m_image.height()) {
        std::fill(out, out + count, LedColor::kOutside);
        return;
    }
    const QRgb *line = reinterpret_cast<const QRgb *>(m_image.constScanLine(iy));
    // Split the row into the parts left of, on and right of the image, so the inner loop
    // has no bounds test.
    const int first = qBound(0, m_originX - x0, count);
    const int last = qBound(first, m_originX + m_image.width() - x0, count);
    std::fill(out, out + first, LedColor::kOutside);
    const QRgb *source = line + (x0 + first - m_originX);
    for (int i = first; i < last; ++i, ++source) {
        const QRgb rgb = *source;
        out[i] = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }
    std::fill(out + last, out + count, LedColor::kOutside);
}
