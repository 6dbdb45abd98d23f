#include "picturefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <vector>

namespace Page {

namespace {

// Larger files are not pictures of a page and would only exhaust memory.
constexpr qint64 kMaxPictureFileBytes = 256 * 1024 * 1024;
// A decoder's whole allowance: the largest allowed picture at four bytes a pixel, and room for
// the decoder's own rows.
constexpr int kAllocationLimitMegabytes = int(kMaxPicturePixels * 4 / (1024 * 1024)) + 64;

quint32 be32(const QByteArray &b, qsizetype at)
{
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(b.constData() + at));
}

quint16 be16(const QByteArray &b, qsizetype at)
{
    return qFromBigEndian<quint16>(reinterpret_cast<const uchar *>(b.constData() + at));
}

quint32 le32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(b.constData() + at));
}

quint16 le16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(b.constData() + at));
}

uchar byteAt(const QByteArray &b, qsizetype at)
{
    return uchar(b.at(at));
}

// Signature, then chunks of length, type, data and CRC, up to IEND.
bool pngComplete(const QByteArray &b)
{
    constexpr qsizetype kSignature = 8;
    constexpr qsizetype kChunkOverhead = 12;
    qsizetype at = kSignature;
    while (at + kChunkOverhead <= b.size()) {
        const qint64 length = be32(b, at);
        if (length > b.size() - at - kChunkOverhead)
            return false;
        if (b.mid(at + 4, 4) == "IEND")
            return true;
        at += kChunkOverhead + length;
    }
    return false;
}

// Whether a palette PNG names only colours of its PLTE chunk. libpng shows an index beyond
// the palette as colour 0 with no more than a warning, so the rows are inflated and
// unfiltered here (both interlaced and not) and every index is looked at. Other PNGs pass,
// and so does data that does not inflate: the decoder refuses that itself.
bool pngIndexesWithinPalette(const QByteArray &b)
{
    constexpr int kPaletteColourType = 3;
    constexpr qsizetype kSignature = 8;
    constexpr qsizetype kChunkOverhead = 12;
    qint64 width = 0;
    qint64 height = 0;
    int depth = 0;
    int colourType = 0;
    bool interlaced = false;
    int colours = 0;
    QByteArray compressed;
    for (qsizetype at = kSignature; at + kChunkOverhead <= b.size();) {
        const qint64 length = be32(b, at);
        if (length > b.size() - at - kChunkOverhead)
            break;
        const QByteArrayView type(b.constData() + at + 4, 4);
        if (type == "IHDR" && length >= 13) {
            width = be32(b, at + 8);
            height = be32(b, at + 12);
            depth = byteAt(b, at + 16);
            colourType = byteAt(b, at + 17);
            interlaced = byteAt(b, at + 20) != 0;
        } else if (type == "PLTE") {
            colours = int(length / 3);
        } else if (type == "IDAT") {
            compressed.append(b.constData() + at + 8, length);
        }
        at += kChunkOverhead + length;
    }
    if (colourType != kPaletteColourType || depth < 1 || depth > 8
        || !pictureSizeAllowed(width, height))
        return true;
    // The passes of Adam7, or the whole picture as one pass.
    struct Pass
    {
        int x, y, dx, dy;
    };
    static constexpr Pass kAdam7[] = { { 0, 0, 8, 8 }, { 4, 0, 8, 8 }, { 0, 4, 4, 8 },
        { 2, 0, 4, 4 }, { 0, 2, 2, 4 }, { 1, 0, 2, 2 }, { 0, 1, 1, 2 } };
    static constexpr Pass kWhole[] = { { 0, 0, 1, 1 } };
    const auto passes = interlaced ? QList<Pass>(std::begin(kAdam7), std::end(kAdam7))
                                   : QList<Pass>(std::begin(kWhole), std::end(kWhole));
    const auto rowBytes = [depth](qint64 pixels) { return (pixels * depth + 7) / 8; };
    qint64 expected = 0;
    for (const Pass &p : passes) {
        const qint64 w = width > p.x ? (width - p.x + p.dx - 1) / p.dx : 0;
        const qint64 h = height > p.y ? (height - p.y + p.dy - 1) / p.dy : 0;
        if (w > 0 && h > 0)
            expected += h * (1 + rowBytes(w));
    }
    // Deflate packs at most 1032 bytes into one: less data than that cannot hold the rows.
    constexpr qint64 kMaxDeflateRatio = 1032;
    if (expected > qint64(compressed.size()) * kMaxDeflateRatio + kMaxDeflateRatio)
        return false;
    QByteArray sized(4, '\0');
    qToBigEndian(quint32(qMin<qint64>(expected, 0x7fffffff)), sized.data());
    const QByteArray rows = qUncompress(sized + compressed);
    if (rows.size() < expected)
        return true;
    qsizetype at = 0;
    for (const Pass &p : passes) {
        const qint64 w = width > p.x ? (width - p.x + p.dx - 1) / p.dx : 0;
        const qint64 h = height > p.y ? (height - p.y + p.dy - 1) / p.dy : 0;
        if (w == 0 || h == 0)
            continue;
        const qsizetype stride = rowBytes(w);
        QByteArray previous(stride, '\0');
        QByteArray line(stride, '\0');
        for (qint64 y = 0; y < h; ++y) {
            const int filter = byteAt(rows, at);
            const uchar *in = reinterpret_cast<const uchar *>(rows.constData() + at + 1);
            at += 1 + stride;
            uchar *out = reinterpret_cast<uchar *>(line.data());
            const uchar *up = reinterpret_cast<const uchar *>(previous.constData());
            for (qsizetype i = 0; i < stride; ++i) {
                const int left = i > 0 ? out[i - 1] : 0; // one byte a pixel at most
                const int above = up[i];
                const int corner = i > 0 ? up[i - 1] : 0;
                int predicted = 0;
                switch (filter) {
                case 0:
                    break;
                case 1:
                    predicted = left;
                    break;
                case 2:
                    predicted = above;
                    break;
                case 3:
                    predicted = (left + above) / 2;
                    break;
                case 4: {
                    const int estimate = left + above - corner;
                    const int pa = qAbs(estimate - left);
                    const int pb = qAbs(estimate - above);
                    const int pc = qAbs(estimate - corner);
                    predicted = pa <= pb && pa <= pc ? left : pb <= pc ? above : corner;
                    break;
                }
                default:
                    return false; // no such filter: damaged
                }
                out[i] = uchar(in[i] + predicted);
            }
            for (qint64 x = 0; x < w; ++x) {
                const qint64 bit = x * depth;
                const int shift = 8 - depth - int(bit % 8);
                const int index = (out[bit / 8] >> shift) & ((1 << depth) - 1);
                if (index >= colours)
                    return false;
            }
            std::swap(previous, line);
        }
    }
    return true;
}

// Marker segments with their lengths; after each start-of-scan the entropy-coded data runs to
// the next marker that is not a stuffed 0xFF00 or a restart marker. Complete at end-of-image.
bool jpegComplete(const QByteArray &b)
{
    constexpr uchar kMarker = 0xFF;
    constexpr uchar kStartOfImage = 0xD8;
    constexpr uchar kEndOfImage = 0xD9;
    constexpr uchar kStartOfScan = 0xDA;
    constexpr uchar kRestartFirst = 0xD0;
    constexpr uchar kRestartLast = 0xD7;
    constexpr uchar kTem = 0x01;
    if (b.size() < 4 || byteAt(b, 0) != kMarker || byteAt(b, 1) != kStartOfImage)
        return false;
    qsizetype at = 2;
    while (at + 1 < b.size()) {
        if (byteAt(b, at) != kMarker) { // stray bytes between segments, as decoders allow
            ++at;
            continue;
        }
        const uchar marker = byteAt(b, at + 1);
        if (marker == kMarker) { // fill bytes
            ++at;
            continue;
        }
        if (marker == kEndOfImage)
            return true;
        if ((marker >= kRestartFirst && marker <= kRestartLast) || marker == kTem) {
            at += 2;
            continue;
        }
        if (at + 4 > b.size())
            return false;
        const qsizetype length = be16(b, at + 2);
        if (length < 2 || at + 2 + length > b.size())
            return false;
        at += 2 + length;
        if (marker != kStartOfScan)
            continue;
        while (at + 1 < b.size()) {
            if (byteAt(b, at) == kMarker) {
                const uchar next = byteAt(b, at + 1);
                if (next != 0 && !(next >= kRestartFirst && next <= kRestartLast))
                    break;
                at += 2;
            } else {
                ++at;
            }
        }
    }
    return false;
}

// Whether the LZW codes of one GIF image (its sub-blocks' data, joined) name only colours of
// a table of `colours` entries. Each code's string is tracked by its first and its largest
// index only, so the check costs one step per code, not per pixel. Codes that no decoder could
// read count as damage too.
bool gifCodesWithinPalette(const QByteArray &codes, int minimumCodeSize, int colours)
{
    constexpr int kMaxCodes = 4096;
    constexpr int kMaxCodeWidth = 12;
    if (minimumCodeSize < 2 || minimumCodeSize > 8)
        return false;
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    std::vector<uchar> first(kMaxCodes);
    std::vector<uchar> largest(kMaxCodes);
    for (int i = 0; i < clear; ++i) {
        first[i] = uchar(i);
        largest[i] = uchar(i);
    }
    int next = end + 1;
    int width = minimumCodeSize + 1;
    int previous = -1;
    quint32 bits = 0;
    int held = 0;
    qsizetype at = 0;
    for (;;) {
        while (held < width && at < codes.size()) {
            bits |= quint32(byteAt(codes, at++)) << held;
            held += 8;
        }
        if (held < width)
            return true; // the data ended without an end code, as decoders allow
        const int code = int(bits & ((1u << width) - 1));
        bits >>= width;
        held -= width;
        if (code == clear) {
            next = end + 1;
            width = minimumCodeSize + 1;
            previous = -1;
            continue;
        }
        if (code == end)
            return true;
        int shown = code;
        if (previous < 0) {
            if (code >= clear)
                return false;
        } else if (next < kMaxCodes) {
            if (code > next)
                return false;
            const uchar added = code < next ? first[code] : first[previous];
            first[next] = first[previous];
            largest[next] = std::max(largest[previous], added);
            shown = code < next ? code : next;
            ++next;
            if (next == (1 << width) && width < kMaxCodeWidth)
                ++width;
        } else if (code >= next) {
            return false;
        }
        if (largest[shown] >= colours)
            return false;
        previous = code;
    }
}

// Header, screen descriptor and colour table, then extension and image blocks (each ending
// in an empty sub-block) up to the trailer. Every image must name only colours of its table.
bool gifComplete(const QByteArray &b)
{
    constexpr qsizetype kHeader = 6 + 7;
    constexpr uchar kExtension = 0x21;
    constexpr uchar kImage = 0x2C;
    constexpr uchar kTrailer = 0x3B;
    constexpr uchar kColourTableFlag = 0x80;
    if (b.size() < kHeader)
        return false;
    qsizetype at = kHeader;
    const int globalColours = byteAt(b, 10) & kColourTableFlag ? 2 << (byteAt(b, 10) & 0x07) : 0;
    at += 3 * globalColours;
    const auto skipSubBlocks = [&b](qsizetype *pos, QByteArray *data = nullptr) {
        while (*pos < b.size()) {
            const int length = byteAt(b, *pos);
            if (data)
                data->append(b.mid(*pos + 1, length));
            *pos += 1 + length;
            if (length == 0)
                return *pos <= b.size();
        }
        return false;
    };
    while (at < b.size()) {
        const uchar block = byteAt(b, at);
        if (block == kTrailer)
            return true;
        if (block == kExtension) {
            at += 2;
            if (!skipSubBlocks(&at))
                return false;
        } else if (block == kImage) {
            constexpr qsizetype kDescriptor = 10;
            if (at + kDescriptor > b.size())
                return false;
            const uchar flags = byteAt(b, at + 9);
            at += kDescriptor;
            const int colours = flags & kColourTableFlag ? 2 << (flags & 0x07) : globalColours;
            at += flags & kColourTableFlag ? 3 * colours : 0;
            if (at >= b.size())
                return false;
            const int minimumCodeSize = byteAt(b, at);
            at += 1;
            QByteArray codes;
            if (!skipSubBlocks(&at, &codes)
                || !gifCodesWithinPalette(codes, minimumCodeSize, colours))
                return false;
        } else {
            return false;
        }
    }
    return false;
}

// Run-length bitmap data runs to its end-of-bitmap code, or at least through the end of its
// last row; a file cut short would otherwise decode with its lower rows silently blank.
bool bmpRunsComplete(const QByteArray &b, qint64 pixels, qint64 height, bool fourBit)
{
    constexpr uchar kEscape = 0;
    constexpr uchar kEndOfLine = 0;
    constexpr uchar kEndOfBitmap = 1;
    constexpr uchar kDelta = 2;
    qint64 rowsEnded = 0;
    qint64 at = pixels;
    while (at + 2 <= b.size()) {
        const uchar count = byteAt(b, at);
        const uchar code = byteAt(b, at + 1);
        at += 2;
        if (count != kEscape)
            continue;
        if (code == kEndOfBitmap)
            return true;
        if (code == kEndOfLine) {
            if (++rowsEnded >= height)
                return true;
        } else if (code == kDelta) {
            at += 2;
        } else {
            const qint64 bytes = fourBit ? (code + 1) / 2 : code;
            at += (bytes + 1) & ~qint64(1); // absolute runs are padded to whole words
        }
    }
    return false;
}

// An uncompressed bitmap holds all its rows after its pixel offset; a run-length one runs to
// its end; other compressions (JPEG or PNG inside) pass.
bool bmpComplete(const QByteArray &b)
{
    constexpr qsizetype kFileHeader = 14;
    constexpr quint32 kRgb = 0;
    constexpr quint32 kBitFields = 3;
    constexpr quint32 kCoreHeader = 12;
    if (b.size() < kFileHeader + 4)
        return false;
    const qint64 pixels = le32(b, 10);
    const quint32 infoSize = le32(b, kFileHeader);
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    quint32 compression = kRgb;
    if (infoSize == kCoreHeader) {
        if (b.size() < kFileHeader + 12)
            return false;
        width = le16(b, 18);
        height = le16(b, 20);
        bits = le16(b, 24);
    } else {
        if (b.size() < kFileHeader + 20)
            return false;
        width = qint32(le32(b, 18));
        height = qAbs(qint64(qint32(le32(b, 22))));
        bits = le16(b, 28);
        compression = le32(b, 30);
    }
    constexpr quint32 kRle8 = 1;
    constexpr quint32 kRle4 = 2;
    if (compression == kRle8 || compression == kRle4)
        return bmpRunsComplete(b, pixels, height, compression == kRle4);
    if (compression != kRgb && compression != kBitFields)
        return true;
    // Sizes no picture of a page has cannot run to their end in any file this reads.
    constexpr int kMaxBits = 32;
    if (bits < 1 || bits > kMaxBits || !pictureSizeAllowed(qAbs(width), height))
        return false;
    const qint64 stride = ((qAbs(width) * bits + 31) / 32) * 4;
    return pixels + stride * height <= b.size();
}

// The size the header claims, read from the bytes themselves: a decoder may refuse to say
// for a size it cannot handle. False when the header is too short or the format unknown.
bool claimedSize(const QByteArray &b, const QByteArray &format, qint64 *width, qint64 *height)
{
    if (format == "png" && b.size() >= 24) {
        *width = be32(b, 16);
        *height = be32(b, 20);
        return true;
    }
    if (format == "gif" && b.size() >= 10) {
        *width = le16(b, 6);
        *height = le16(b, 8);
        return true;
    }
    if (format == "bmp" && b.size() >= 26) {
        if (le32(b, 14) == 12) {
            *width = le16(b, 18);
            *height = le16(b, 20);
        } else {
            // Signed: a negative height is a top-down bitmap, a negative width is wrong.
            *width = qint32(le32(b, 18));
            *height = qAbs(qint64(qint32(le32(b, 22))));
        }
        return true;
    }
    if (format == "jpeg") {
        // The first start-of-frame marker (0xC0..0xCF but 0xC4, 0xC8, 0xCC) holds the size.
        qsizetype at = 2;
        while (at + 9 <= b.size() && byteAt(b, at) == 0xFF) {
            const uchar marker = byteAt(b, at + 1);
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
                && marker != 0xCC) {
                *width = be16(b, at + 7);
                *height = be16(b, at + 5);
                return true;
            }
            if (marker == 0xDA || marker == 0xD9)
                break;
            at += 2 + be16(b, at + 2);
        }
    }
    return false;
}

// The one picture format the content itself names, before any decoder sees it: a decoder
// asked to guess would take SVG (which may expand to gigabytes and load other files), XPM and
// the rest. Empty for anything that is not BMP, JPEG, GIF or PNG.
QByteArray formatByContent(const QByteArray &b)
{
    if (b.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (b.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (b.startsWith("GIF87a") || b.startsWith("GIF89a"))
        return "gif";
    if (b.startsWith("BM") && b.size() >= 18) {
        constexpr quint32 kCoreHeader = 12;
        const quint32 infoSize = le32(b, 14);
        if (infoSize == kCoreHeader || (infoSize >= 40 && infoSize <= 124))
            return "bmp";
    }
    return {};
}

// A header's claim as "W x H" in whole numbers, however far out of range.
QString sizeText(qint64 width, qint64 height)
{
    return QStringLiteral("%1 x %2").arg(width).arg(height);
}

// Palette indexes beyond the palette have no colour: a decoder shows them as whatever follows
// in memory (often black or yellow), so the picture is damaged, not drawn.
bool indexesWithinPalette(const QImage &image)
{
    if (image.format() != QImage::Format_Indexed8)
        return true;
    const int colours = image.colorCount();
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] >= colours)
                return false;
        }
    }
    return true;
}

} // namespace

bool isPlainFile(const QString &path, QString *reason)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return true; // opening says why a missing file cannot be read
    *reason = info.isDir() ? QStringLiteral("it is a folder")
                           : QStringLiteral("it is a device or pipe, not a file");
    return false;
}

bool looksLikePicture(const QByteArray &bytes)
{
    return !formatByContent(bytes).isEmpty();
}

bool pictureSizeAllowed(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide
        && width * height <= kMaxPicturePixels;
}

bool pictureDataComplete(const QByteArray &bytes, const QByteArray &format)
{
    if (format == "png")
        return pngComplete(bytes) && pngIndexesWithinPalette(bytes);
    if (format == "jpeg")
        return jpegComplete(bytes);
    if (format == "gif")
        return gifComplete(bytes);
    if (format == "bmp")
        return bmpComplete(bytes);
    return true;
}

FileResult readPictureData(const QByteArray &bytes, const QString &path, QImage *image)
{
    const QByteArray format = formatByContent(bytes);
    if (format.isEmpty())
        return FileResult::failure(FileResult::Kind::NotAPicture, path, QString());
    // The header's claim, before a single pixel is decoded.
    qint64 width = 0;
    qint64 height = 0;
    if (claimedSize(bytes, format, &width, &height)) {
        if (width <= 0 || height <= 0)
            return FileResult::failure(
                FileResult::Kind::PictureDamaged, path, sizeText(width, height));
        if (!pictureSizeAllowed(width, height))
            return FileResult::failure(
                FileResult::Kind::PictureTooLarge, path, sizeText(width, height));
    }
    if (!pictureDataComplete(bytes, format))
        return FileResult::failure(FileResult::Kind::PictureDamaged, path, QString());
    // The largest picture allowed must decode; Qt's default limit (128 MB) would call an
    // allowed 8000 x 8000 picture damaged.
    QImageReader::setAllocationLimit(kAllocationLimitMegabytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull() || !indexesWithinPalette(decoded))
        return FileResult::failure(FileResult::Kind::PictureDamaged, path, reader.errorString());
    if (!pictureSizeAllowed(decoded.width(), decoded.height()))
        return FileResult::failure(
            FileResult::Kind::PictureTooLarge, path, sizeText(decoded.width(), decoded.height()));
    *image = decoded;
    FileResult ok;
    ok.path = path;
    return ok;
}

FileResult readPictureFile(const QString &path, QImage *image)
{
    QString reason;
    if (!isPlainFile(path, &reason))
        return FileResult::failure(FileResult::Kind::CannotRead, path, reason);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(FileResult::Kind::CannotRead, path, file.errorString());
    if (file.size() > kMaxPictureFileBytes)
        return FileResult::failure(FileResult::Kind::CannotRead, path,
            QStringLiteral("the file is larger than a picture of a page can be"));
    return readPictureData(file.readAll(), path, image);
}

} // namespace Page
