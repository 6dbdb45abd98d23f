#include "ledpicture.h"

#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

namespace Page {

namespace {

constexpr QRgb kDark = 0xFF000000;
constexpr QRgb kRedBit = 0x00FF0000;
constexpr QRgb kGreenBit = 0x0000FF00;

// The classic recursive 8 x 8 ordered-dither matrix, 0..63.
constexpr int kBayer[8][8] = {
    { 0, 32, 8, 40, 2, 34, 10, 42 },
    { 48, 16, 56, 24, 50, 18, 58, 26 },
    { 12, 44, 4, 36, 14, 46, 6, 38 },
    { 60, 28, 52, 20, 62, 30, 54, 22 },
    { 3, 35, 11, 43, 1, 33, 9, 41 },
    { 51, 19, 59, 27, 49, 17, 57, 25 },
    { 15, 47, 7, 39, 13, 45, 5, 37 },
    { 63, 31, 55, 23, 61, 29, 53, 21 },
};

// The level a channel must reach at each cell: 2..254, so 0 never lights and 255 always
// does, whatever the cell (a converted picture dithers to itself).
struct DitherLevels
{
    int level[8][8];
    constexpr DitherLevels()
        : level()
    {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                level[y][x] = kBayer[y][x] * 4 + 2;
    }
};
constexpr DitherLevels kDitherLevels;

// Premultiplied or opaque pixels, so a channel's value already counts its alpha.
QImage opaqueOrPremultiplied(const QImage &picture)
{
    if (picture.format() == QImage::Format_RGB32
        || picture.format() == QImage::Format_ARGB32_Premultiplied)
        return picture;
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QString uniqueResourceName(const QTextDocument &document, const QString &hint)
{
    static int counter = 0;
    QString name;
    do {
        name = QStringLiteral("vantrel-picture://%1/%2").arg(++counter).arg(hint);
    } while (document.resource(QTextDocument::ImageResource, QUrl(name)).isValid());
    return name;
}

} // namespace

QImage toLedColours(const QImage &picture, PictureMode mode)
{
    if (picture.isNull())
        return QImage();
    const QImage source = opaqueOrPremultiplied(picture);
    QImage out(source.size(), QImage::Format_RGB32);
    const int width = source.width();
    for (int y = 0; y < source.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        QRgb *led = reinterpret_cast<QRgb *>(out.scanLine(y));
        if (mode == PictureMode::Threshold) {
            for (int x = 0; x < width; ++x) {
                const QRgb p = in[x];
                led[x] = kDark | (qRed(p) >= kLitLevel ? kRedBit : 0)
                    | (qGreen(p) >= kLitLevel ? kGreenBit : 0);
            }
        } else {
            const int *row = kDitherLevels.level[y & 7];
            for (int x = 0; x < width; ++x) {
                const QRgb p = in[x];
                const int level = row[x & 7];
                led[x] = kDark | (qRed(p) >= level ? kRedBit : 0)
                    | (qGreen(p) >= level ? kGreenBit : 0);
            }
        }
    }
    return out;
}

bool isInLedColours(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = line[x];
            if (qAlpha(p) != 255 || (qRed(p) != 0 && qRed(p) != 255)
                || (qGreen(p) != 0 && qGreen(p) != 255) || qBlue(p) != 0)
                return false;
        }
    }
    return true;
}

void placePicture(QTextCursor &cursor, const QImage &picture, PictureMode mode,
                  const QString &hint, bool alignTop)
{
    QTextDocument *document = cursor.document();
    const QImage led = toLedColours(picture, mode);
    const QString name = uniqueResourceName(*document, hint);
    document->addResource(QTextDocument::ImageResource, QUrl(name), led);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(led.width());
    format.setHeight(led.height());
    if (alignTop)
        format.setVerticalAlignment(QTextCharFormat::AlignTop);
    cursor.insertImage(format);
}

void convertDocumentPictures(QTextDocument *document, PictureMode mode)
{
    QSet<QString> done;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            if (done.contains(name))
                continue;
            done.insert(name);
            const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(name));
            QImage image;
            if (resource.canConvert<QImage>())
                image = resource.value<QImage>();
            else if (resource.typeId() == QMetaType::QByteArray)
                image.loadFromData(resource.toByteArray());
            if (!image.isNull())
                document->addResource(QTextDocument::ImageResource, QUrl(name),
                                      toLedColours(image, mode));
        }
    }
}

} // namespace Page
