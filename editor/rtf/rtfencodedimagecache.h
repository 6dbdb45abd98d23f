#pragma once

#include <QByteArray>
#include <QImage>

// Remembers the PNG data pictures were read from, by QImage::cacheKey(), so that saving a
// document whose pictures were not edited writes the same bytes instead of encoding every
// picture again (encoding costs a hundred times more than copying). An edited image has a
// new cache key and is encoded afresh. Thread-safe; bounded in size.
class RtfEncodedImageCache
{
public:
    static constexpr qint64 maxBytes = 64ll * 1024 * 1024; // oldest entries go first
    // Smaller pictures encode in well under a millisecond; they are not worth keeping.
    static constexpr qint64 minBytes = 16 * 1024;

    static void remember(const QImage &image, const QByteArray &png);
    // The PNG data `image` was decoded from, or empty.
    static QByteArray find(const QImage &image);
};
