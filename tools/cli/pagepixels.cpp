#include "pagepixels.h"

#include "packetformat.h"

#include <QImageReader>

std::unique_ptr<PixelSource> loadPagePixels(const QString &path, qint16 textWidth,
                                            qint16 textHeight, qint16 perPixel, QString *error)
{
    Q_UNUSED(textWidth)
    Q_UNUSED(textHeight)
    Q_UNUSED(perPixel)
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        *error = QStringLiteral("cannot read page %1: %2").arg(path, reader.errorString());
        return nullptr;
    }
    // A picture page's top-left pixel is LED (0, 0), which is canvas row 2.
    return std::make_unique<ImagePixelSource>(image, 0, PacketFormat::Picture::kCanvasTopRows);
}
