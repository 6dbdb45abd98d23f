#include "pagerenderer.h"

#include "pagedocument.h"

#include "getcolor.h"
#include "packetdecoder.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>

#include <limits>

namespace Page {

QImage renderCanvas(QTextDocument *document, const QSize &canvas)
{
    QImage image(canvas, QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    image.fill(background(*document));
    if (canvas.isEmpty())
        return image;
    if (document->textWidth() != canvas.width())
        document->setTextWidth(canvas.width());

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    QAbstractTextDocumentLayout::PaintContext context;
    context.cursorPosition = -1;
    context.clip = QRectF(QPointF(0, 0), QSizeF(canvas));
    context.palette.setColor(QPalette::Text, defaultTextColor());
    context.palette.setColor(QPalette::Base, background(*document));
    document->documentLayout()->draw(&painter, context);
    return image;
}

SignImage signImage(const QImage &canvas, int textWidth, int textHeight)
{
    SignImage result;
    const auto toInt16 = [](int v) {
        return qint16(qBound(int(std::numeric_limits<qint16>::min()), v,
                             int(std::numeric_limits<qint16>::max())));
    };
    result.packet = GetColor().SendPicMod(ImagePixelSource(canvas), toInt16(textWidth),
                                          toInt16(textHeight), toInt16(textWidth),
                                          toInt16(textHeight), 16, 1);
    if (result.packet.ok) {
        DecodedPicture decoded;
        if (decodePicture(result.packet.bytes, &decoded))
            result.image = decoded.image;
    }
    return result;
}

} // namespace Page
