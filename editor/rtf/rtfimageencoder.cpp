#include "rtfimageencoder.h"

#include "rtfencodedimagecache.h"
#include "rtfunits.h"

#include <QBuffer>
#include <QTextDocument>
#include <QUrl>

namespace {

constexpr int hexLineLength = 128; // characters of picture data per line
// Qt maps PNG quality to zlib effort: 50 compresses as well as the default on photos and
// flat LED graphics at a third of the time.
constexpr int pngQuality = 50;

constexpr char hexDigits[] = "0123456789abcdef";

} // namespace

QImage RtfImageEncoder::resolve(const QTextDocument &document, const QString &name)
{
    if (name.isEmpty())
        return QImage();
    const QUrl url(name);
    const QVariant resource = document.resource(QTextDocument::ImageResource, url);
    QImage image;
    if (resource.typeId() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.typeId() == QMetaType::QByteArray)
        image.loadFromData(resource.toByteArray());
    else if (resource.canConvert<QImage>())
        image = resource.value<QImage>();
    if (image.isNull())
        image.load(url.isLocalFile() ? url.toLocalFile() : name);
    return image;
}

QByteArray RtfImageEncoder::pictGroup(const QImage &image, const QSizeF &size)
{
    QByteArray png = RtfEncodedImageCache::find(image);
    if (png.isEmpty()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG", pngQuality);
    }

    const qreal w = size.width() > 0 ? size.width() : image.width();
    const qreal h = size.height() > 0 ? size.height() : image.height();
    QByteArray out;
    out.reserve(png.size() * 2 + png.size() / hexLineLength * 2 + 128);
    out.append("{\\pict\\pngblip\\picw");
    out.append(QByteArray::number(image.width()));
    out.append("\\pich");
    out.append(QByteArray::number(image.height()));
    out.append("\\picwgoal");
    out.append(QByteArray::number(RtfUnits::pixelsToTwips(w)));
    out.append("\\pichgoal");
    out.append(QByteArray::number(RtfUnits::pixelsToTwips(h)));
    out.append('\n');
    const qsizetype start = out.size();
    const qsizetype lines = (png.size() * 2 + hexLineLength - 1) / hexLineLength;
    out.resize(start + png.size() * 2 + lines);
    char *dst = out.data() + start;
    int column = 0;
    for (char byte : png) {
        const unsigned char b = static_cast<unsigned char>(byte);
        *dst++ = hexDigits[b >> 4];
        *dst++ = hexDigits[b & 0xF];
        column += 2;
        if (column == hexLineLength) {
            *dst++ = '\n';
            column = 0;
        }
    }
    if (column != 0)
        *dst++ = '\n';
    out.resize(dst - out.data());
    out.append('}');
    return out;
}
