#pragma once

#include <QImage>
#include <QtGlobal>

// A colour in the 0x00BBGGRR layout the sign's colour rules are written in.
using BgrColor = quint32;

namespace LedColor {
constexpr BgrColor kRed = 0x0000FF;
constexpr BgrColor kGreen = 0x00FF00;
constexpr BgrColor kYellow = 0x00FFFF;
// What a read outside the canvas returns: equal to none of the lit colours.
constexpr BgrColor kOutside = 0xFFFFFFFF;
} // namespace LedColor

BgrColor bgrFromRgb(QRgb rgb);
QRgb rgbFromBgr(BgrColor bgr);

// Reads the colours of a rendered page canvas, one canvas pixel per LED. The packet builder
// samples through this, never from a window.
class PixelSource
{
public:
    virtual ~PixelSource() = default;

    // Colour of canvas pixel (x, y); LedColor::kOutside outside the canvas.
    virtual BgrColor colorAt(int x, int y) const = 0;

    // Colours of `count` pixels of row y starting at column x0. The default reads them one
    // at a time; sources with direct access to their rows override it.
    virtual void readRow(int y, int x0, int count, BgrColor *out) const;
};

// A canvas held as an image. Canvas pixel (x, y) is image pixel (x - originX, y - originY),
// so a picture page can be placed with its top-left pixel on LED (0, 0) at canvas row 2.
class ImagePixelSource : public PixelSource
{
public:
    explicit ImagePixelSource(const QImage &image, int originX = 0, int originY = 0);

    BgrColor colorAt(int x, int y) const override;
    void readRow(int y, int x0, int count, BgrColor *out) const override;

private:
    QImage m_image; // Format_RGB32 or ARGB32; alpha is ignored
    int m_originX;
    int m_originY;
};
