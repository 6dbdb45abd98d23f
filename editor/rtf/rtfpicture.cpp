#include "rtfpicture.h"

#include "rtfencodedimagecache.h"
#include "rtfunits.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <cmath>

namespace {

constexpr qreal defaultPictureSide = 96; // pixels, when a picture states no size at all
constexpr int maxScale = 10000; // percent
constexpr qreal himetricPerInch = 2540;
constexpr qreal pixelsPerInch = 96;
constexpr int bmpFileHeaderSize = 14;
constexpr int bmpInfoHeaderSize = 40;

struct HexTable
{
    signed char value[256];
    constexpr HexTable()
        : value()
    {
        for (int i = 0; i < 256; ++i)
            value[i] = -1;
        for (int i = 0; i < 10; ++i)
            value['0' + i] = static_cast<signed char>(i);
        for (int i = 0; i < 6; ++i) {
            value['a' + i] = static_cast<signed char>(10 + i);
            value['A' + i] = static_cast<signed char>(10 + i);
        }
    }
};
constexpr HexTable hexTable;

bool sizeAllowed(qint64 width, qint64 height, qint64 maxPixels)
{
    return width > 0 && height > 0 && width <= RtfPicture::maxImageSide
        && height <= RtfPicture::maxImageSide && width * height <= maxPixels;
}

// The chunks of a PNG that make its pixels (header, palette, transparency, data), checked
// against the data: libpng allocates what a chunk declares before reading it, so a few
// corrupt bytes could cost gigabytes. Empty when the structure is broken.
QByteArray pixelChunksOfPng(const QByteArray &png)
{
    const QByteArrayView signature("\x89PNG\r\n\x1a\n");
    if (!png.startsWith(signature))
        return QByteArray();
    QByteArray out(png.left(signature.size()));
    qsizetype at = signature.size();
    while (at + 12 <= png.size()) {
        const uchar *p = reinterpret_cast<const uchar *>(png.constData() + at);
        const qint64 length = qFromBigEndian<quint32>(p);
        if (length > png.size() - at - 12)
            return QByteArray();
        const QByteArrayView type(png.constData() + at + 4, 4);
        if (type == "IHDR" || type == "PLTE" || type == "tRNS" || type == "IDAT" || type == "IEND")
            out.append(png.constData() + at, 12 + length);
        at += 12 + length;
        if (type == "IEND")
            return out;
    }
    return QByteArray();
}

QImage readImage(QByteArray data, const char *format, qint64 maxPixels, QString *error)
{
    if (data.startsWith("\x89PNG")) {
        data = pixelChunksOfPng(data);
        if (data.isEmpty()) {
            *error = QStringLiteral("PNG picture data is damaged");
            return QImage();
        }
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(int(RtfPicture::maxImagePixels * 4 / (1024 * 1024)));
    const QByteArray detected = reader.format();
    if (detected != "png" && detected != "jpeg" && detected != "bmp") {
        *error = QStringLiteral("picture data is not PNG, JPEG or BMP");
        return QImage();
    }
    const QSize size = reader.size();
    // Checked before decoding: a few bytes can declare a picture of a gigabyte.
    if (size.isValid() && !sizeAllowed(size.width(), size.height(), maxPixels)) {
        *error = QStringLiteral("picture of %1×%2 pixels is too large")
                     .arg(size.width())
                     .arg(size.height());
        return QImage();
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        *error = QStringLiteral("picture data cannot be decoded: %1").arg(reader.errorString());
        return QImage();
    }
    if (!sizeAllowed(image.width(), image.height(), maxPixels)) {
        *error = QStringLiteral("picture is too large");
        return QImage();
    }
    return image;
}

} // namespace

bool RtfPicture::apply(RtfKeyword keyword, int value)
{
    using K = RtfKeyword;
    switch (keyword) {
    case K::PngBlip:
        format = Png;
        break;
    case K::JpegBlip:
        format = Jpeg;
        break;
    case K::DiBitmap:
        format = DeviceIndependentBitmap;
        break;
    case K::WBitmap:
        format = DeviceBitmap;
        break;
    case K::EmfBlip:
    case K::WMetafile:
    case K::MacPict:
    case K::PmMetafile:
        format = Metafile;
        break;
    case K::WbmBitsPixel:
        bitsPerPixel = value;
        break;
    case K::WbmWidthBytes:
        widthBytes = value;
        break;
    case K::PicW:
        width = value;
        break;
    case K::PicH:
        height = value;
        break;
    case K::PicWGoal:
        goalWidth = RtfUnits::clampTwips(value);
        break;
    case K::PicHGoal:
        goalHeight = RtfUnits::clampTwips(value);
        break;
    case K::PicScaleX:
        scaleX = value;
        break;
    case K::PicScaleY:
        scaleY = value;
        break;
    default:
        return false;
    }
    return true;
}

void RtfPicture::appendHex(QByteArrayView hex)
{
    const qsizetype start = m_data.size();
    m_data.resize(start + hex.size() / 2 + 1);
    char *out = m_data.data() + start;
    int pending = m_pendingNibble;
    for (char c : hex) {
        const int v = hexTable.value[static_cast<unsigned char>(c)];
        if (v < 0)
            continue;
        if (pending < 0) {
            pending = v;
        } else {
            *out++ = static_cast<char>(pending * 16 + v);
            pending = -1;
        }
    }
    m_pendingNibble = pending;
    m_data.resize(out - m_data.data());
}

QImage RtfPicture::decode(QString *error, qint64 maxPixels) const
{
    maxPixels = qMin(maxPixels, maxImagePixels);
    switch (format) {
    case Png: {
        const QImage image = readImage(m_data, "png", maxPixels, error);
        RtfEncodedImageCache::remember(image, m_data);
        return image;
    }
    case Jpeg:
        return readImage(m_data, "jpeg", maxPixels, error);
    case DeviceIndependentBitmap:
        return decodeDib(maxPixels, error);
    case DeviceBitmap:
        return decodeDeviceBitmap(maxPixels, error);
    case Metafile:
        *error = QStringLiteral("metafile picture shown as a placeholder");
        return QImage();
    case UnknownFormat:
        break;
    }
    *error = QStringLiteral("picture of unknown type");
    return QImage();
}

QImage RtfPicture::decodeDib(qint64 maxPixels, QString *error) const
{
    // Packed DIB: BITMAPINFOHEADER, colour table, bits. Qt reads it once the file header
    // that a .bmp file has in front is added.
    if (m_data.size() < bmpInfoHeaderSize) {
        *error = QStringLiteral("bitmap data is truncated");
        return QImage();
    }
    const uchar *d = reinterpret_cast<const uchar *>(m_data.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(d);
    const qint32 w = qFromLittleEndian<qint32>(d + 4);
    const qint32 h = qFromLittleEndian<qint32>(d + 8);
    const quint16 bits = qFromLittleEndian<quint16>(d + 14);
    const quint32 compression = qFromLittleEndian<quint32>(d + 16);
    quint32 colorsUsed = qFromLittleEndian<quint32>(d + 32);
    const qint64 absHeight = h < 0 ? -qint64(h) : qint64(h);
    if (headerSize < bmpInfoHeaderSize || headerSize > quint32(m_data.size())
        || !sizeAllowed(w, absHeight, maxPixels)) {
        *error = QStringLiteral("bitmap header is invalid or the bitmap is too large");
        return QImage();
    }
    if (colorsUsed == 0 && bits <= 8)
        colorsUsed = 1u << bits;
    if (colorsUsed > 256)
        colorsUsed = 256;
    qint64 offset = bmpFileHeaderSize + qint64(headerSize) + qint64(colorsUsed) * 4;
    constexpr quint32 bitFields = 3;
    if (compression == bitFields && headerSize == bmpInfoHeaderSize)
        offset += 12;

    QByteArray file(bmpFileHeaderSize, '\0');
    uchar *f = reinterpret_cast<uchar *>(file.data());
    f[0] = 'B';
    f[1] = 'M';
    qToLittleEndian<quint32>(quint32(bmpFileHeaderSize + m_data.size()), f + 2);
    qToLittleEndian<quint32>(quint32(offset), f + 10);
    file.append(m_data);
    return readImage(file, "bmp", maxPixels, error);
}

QImage RtfPicture::decodeDeviceBitmap(qint64 maxPixels, QString *error) const
{
    // A Windows 3 device-dependent bitmap: rows of raw pixels, top row first.
    const int bpp = bitsPerPixel;
    if (!sizeAllowed(width, height, maxPixels) || (bpp != 1 && bpp != 24 && bpp != 32)) {
        *error = QStringLiteral("device bitmap of this size or depth is not supported");
        return QImage();
    }
    const qint64 stride = widthBytes > 0 ? widthBytes : ((qint64(width) * bpp + 15) / 16) * 2;
    if (stride * 8 < qint64(width) * bpp || stride * height > m_data.size()) {
        *error = QStringLiteral("device bitmap data is truncated");
        return QImage();
    }
    QImage image(width, height, QImage::Format_RGB32);
    const uchar *data = reinterpret_cast<const uchar *>(m_data.constData());
    for (int y = 0; y < height; ++y) {
        const uchar *row = data + y * stride;
        QRgb *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bpp == 1) {
                const bool set = row[x / 8] & (0x80 >> (x % 8));
                out[x] = set ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            } else {
                const uchar *p = row + x * (bpp / 8);
                out[x] = qRgb(p[2], p[1], p[0]);
            }
        }
    }
    return image;
}

QSizeF RtfPicture::displaySize(const QImage &image) const
{
    // Computed in whole twips, the unit the writer stores, so that sizes survive a round trip.
    auto side = [&](int goal, int own, int imageSide, int scale) {
        qreal twips;
        if (goal > 0)
            twips = goal;
        else if (imageSide > 0)
            twips = qreal(imageSide) * RtfUnits::twipsPerPixel;
        else if (own > 0 && format == Metafile)
            twips = qMin<qreal>(own, RtfUnits::maxLengthTwips) * RtfUnits::twipsPerPixel
                * pixelsPerInch / himetricPerInch;
        else if (own > 0)
            twips = qreal(qMin(own, maxImageSide)) * RtfUnits::twipsPerPixel;
        else
            twips = defaultPictureSide * RtfUnits::twipsPerPixel;
        if (scale > 0 && scale != 100)
            twips = twips * qMin(scale, maxScale) / 100.0;
        const qreal pixels = std::round(twips) / RtfUnits::twipsPerPixel;
        return qBound<qreal>(1, pixels, maxImageSide);
    };
    return QSizeF(side(goalWidth, width, image.width(), scaleX),
        side(goalHeight, height, image.height(), scaleY));
}

QImage RtfPicture::placeholder(const QSizeF &size)
{
    qreal w = qMax<qreal>(1, size.width());
    qreal h = qMax<qreal>(1, size.height());
    const qreal factor = qMin<qreal>(1, maxPlaceholderSide / qMax(w, h));
    const int iw = qMax(1, qRound(w * factor));
    const int ih = qMax(1, qRound(h * factor));
    QImage image(iw, ih, QImage::Format_RGB32);
    const QRgb fill = qRgb(192, 192, 192);
    const QRgb ink = qRgb(96, 96, 96);
    image.fill(fill);
    for (int x = 0; x < iw; ++x) {
        image.setPixel(x, 0, ink);
        image.setPixel(x, ih - 1, ink);
    }
    for (int y = 0; y < ih; ++y) {
        image.setPixel(0, y, ink);
        image.setPixel(iw - 1, y, ink);
    }
    const int steps = qMax(iw, ih);
    for (int i = 0; i < steps; ++i) {
        const int x = steps > 1 ? int(qint64(i) * (iw - 1) / (steps - 1)) : 0;
        const int y = steps > 1 ? int(qint64(i) * (ih - 1) / (steps - 1)) : 0;
        image.setPixel(x, y, ink);
        image.setPixel(iw - 1 - x, y, ink);
    }
    return image;
}
