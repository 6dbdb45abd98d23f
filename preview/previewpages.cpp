#include "previewpages.h"

#include "getcolor.h"
#include "packetdecoder.h"
#include "pagedocument.h"
#include "pagefiles.h"
#include "pagegeometry.h"
#include "pagerenderer.h"

#include "localtext.h"

#include <QTextDocument>

#include <limits>

namespace {

qint16 toInt16(int v)
{
    return qint16(qBound(int(std::numeric_limits<qint16>::min()), v,
        int(std::numeric_limits<qint16>::max())));
}

} // namespace

PreviewPage renderPreviewPage(const QString &pagePath, int textWidth, int textHeight,
    int screenWidth, int screenHeight, int perPixel, const QString &language)
{
    PreviewPage result;
    // Limits first: a page the packet cannot carry is refused before any canvas is drawn.
    const PacketResult sized = GetColor().SendPicMod(ImagePixelSource(QImage()),
        toInt16(screenWidth), toInt16(screenHeight), toInt16(textWidth), toInt16(textHeight),
        toInt16(perPixel), 1);
    if (!sized.ok) {
        result.problem = sized.refusal.message(language);
        return result;
    }
    const std::optional<QSize> canvas = Page::canvasSize(perPixel, textWidth, textHeight);
    if (!canvas) {
        result.problem = localText(language, QStringLiteral("A page of this size cannot be shown."),
            QStringLiteral("无法显示此尺寸的页面。"));
        return result;
    }
    QTextDocument document;
    Page::setUpDocument(&document);
    const Page::FileResult loaded = Page::loadListedPageFile(pagePath, &document);
    if (!loaded.ok()) {
        result.problem = loaded.message(language);
        return result;
    }
    const PacketResult packet
        = GetColor().SendPicMod(ImagePixelSource(Page::renderCanvas(&document, *canvas)),
            toInt16(screenWidth), toInt16(screenHeight), toInt16(textWidth), toInt16(textHeight),
            toInt16(perPixel), 1);
    if (!packet.ok) {
        result.problem = packet.refusal.message(language);
        return result;
    }
    DecodedPicture decoded;
    if (!decodePicture(packet.bytes, &decoded)) {
        result.problem = localText(language, QStringLiteral("The page cannot be shown."),
            QStringLiteral("无法显示该页面。"));
        return result;
    }
    result.leds = decoded.image.convertToFormat(QImage::Format_RGB32);
    return result;
}
