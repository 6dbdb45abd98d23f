#pragma once

#include "rtfkeywords.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

// A \pict group: its properties and data as read, and the image it shows.
class RtfPicture
{
public:
    enum Format { UnknownFormat, Png, Jpeg, DeviceIndependentBitmap, DeviceBitmap, Metafile };

    // Decoded images larger than these are refused (placeholders are scaled down instead).
    static constexpr int maxImageSide = 16384; // pixels
    static constexpr qint64 maxImagePixels = 64ll * 1024 * 1024;
    static constexpr int maxPlaceholderSide = 512; // pixels of the grey placeholder image

    Format format = UnknownFormat;
    int width = 0; // \picw: pixels for bitmaps, 0.01 mm for metafiles
    int height = 0;
    int goalWidth = 0; // \picwgoal, twips
    int goalHeight = 0;
    int scaleX = 100; // \picscalex, percent
    int scaleY = 100;
    int bitsPerPixel = 1; // \wbmbitspixel
    int widthBytes = 0; // \wbmwidthbytes

    // Applies a picture property word (\pngblip, \picwN, …); false when the word is not one.
    bool apply(RtfKeyword keyword, int value);

    // Hex digits of the picture data; whitespace and stray characters are skipped.
    void appendHex(QByteArrayView hex);
    void appendBinary(QByteArrayView bytes) { m_data.append(bytes); }
    const QByteArray &data() const { return m_data; }

    // The image of a raster picture; a null image with `error` set when it cannot be shown
    // or has more than `maxPixels` pixels (never more than maxImagePixels).
    QImage decode(QString *error, qint64 maxPixels = maxImagePixels) const;
    // Size to show the picture at, in pixels, from its goal size and scale; `image` is the
    // decoded image or null.
    QSizeF displaySize(const QImage &image) const;

    // A grey box with a border and a diagonal cross standing for a picture that cannot be
    // decoded (a metafile), at most maxPlaceholderSide pixels wide or high.
    static QImage placeholder(const QSizeF &size);

private:
    QImage decodeDib(qint64 maxPixels, QString *error) const;
    QImage decodeDeviceBitmap(qint64 maxPixels, QString *error) const;

    QByteArray m_data;
    int m_pendingNibble = -1;
};
