#pragma once

#include <QtGlobal>

#include <cmath>

// Document lengths are sign pixels at 96 DPI; RTF lengths are twips (1/1440 inch).
namespace RtfUnits {

constexpr int twipsPerPixel = 15;

// Lengths beyond this many twips (about 227 inches) are clamped when read.
constexpr int maxLengthTwips = 327670;

inline int clampTwips(int twips)
{
    return qBound(-maxLengthTwips, twips, maxLengthTwips);
}

inline qreal twipsToPixels(int twips)
{
    return qreal(clampTwips(twips)) / twipsPerPixel;
}

inline int pixelsToTwips(qreal pixels)
{
    const qreal twips = std::round(pixels * twipsPerPixel);
    if (!std::isfinite(twips))
        return 0;
    return int(qBound<qreal>(-maxLengthTwips, twips, maxLengthTwips));
}

} // namespace RtfUnits
