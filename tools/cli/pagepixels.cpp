#include "pagepixels.h"

#include "pagedocument.h"
#include "pagefiles.h"
#include "pagegeometry.h"
#include "pagerenderer.h"

#include <QTextDocument>

std::unique_ptr<PixelSource> loadPagePixels(const QString &path, qint16 textWidth,
                                            qint16 textHeight, qint16 perPixel, QString *error,
                                            Page::PictureMode pictures)
{
    QTextDocument document;
    Page::setUpDocument(&document);
    const Page::FileResult loaded = Page::loadAnyPageFile(path, &document, pictures);
    if (!loaded.ok()) {
        *error = loaded.message(QStringLiteral("English")).replace(QLatin1Char('\n'), QLatin1Char(' '));
        return nullptr;
    }
    // The canvas a page of this size has in the editor: PerPixel units per module plus the
    // two-unit border.
    const std::optional<QSize> canvas = Page::canvasSize(perPixel, textWidth, textHeight);
    if (!canvas) {
        *error = QStringLiteral("a page of %1 x %2 modules at %3 units per module is larger "
                                "than a canvas can be")
                         .arg(textWidth)
                         .arg(textHeight)
                         .arg(perPixel);
        return nullptr;
    }
    return std::make_unique<ImagePixelSource>(Page::renderCanvas(&document, *canvas));
}
