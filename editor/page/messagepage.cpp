#include "messagepage.h"

#include "pagegeometry.h"
#include "pagerenderer.h"

#include "localtext.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <cmath>
#include <memory>

namespace Page {

namespace {

constexpr int kModuleLeds = 16;

std::unique_ptr<QTextDocument> messageDocument(
    const QString &text, const MessageStyle &style, int pixelSize)
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    setUpDocument(document.get());
    QTextOption option = document->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    document->setDefaultTextOption(option);

    QFont font = defaultFont();
    font.setPixelSize(pixelSize);
    QTextCharFormat format;
    format.setFont(font);
    format.setFontFamilies(
        { style.family.isEmpty() ? font.family() : style.family, chineseFontFamily() });
    format.setForeground(style.colour);
    QTextBlockFormat block;
    block.setAlignment(style.alignment);
    QTextCursor cursor(document.get());
    cursor.setBlockFormat(block);
    cursor.setBlockCharFormat(format);
    cursor.insertText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")), format);
    return document;
}

} // namespace

QString MessageDrawing::refusal(const QString &text, const QString &language) const
{
    if (fits)
        return {};
    // The sign's last module column is dark, so a text needs one module more than it covers.
    const int modulesAcross = (neededWidth + kModuleLeds - 1) / kModuleLeds + 1;
    const int modulesDown = (neededHeight + kModuleLeds - 1) / kModuleLeds;
    if (neededWidth > litWidth)
        return localText(language,
            QStringLiteral("\"%1\" is %2 LEDs wide at %3 pixels and needs a sign of %4 modules "
                           "across; this sign lights %5 LEDs (%6 modules, the last one dark). "
                           "Give --shrink to draw it smaller, or a shorter text.")
                .arg(text)
                .arg(neededWidth)
                .arg(pixelSize)
                .arg(modulesAcross)
                .arg(litWidth)
                .arg(litWidth / kModuleLeds + 1),
            QStringLiteral(
                "“%1”在 %3 像素时宽 %2 个 LED，需要 %4 个模块宽的显示屏；此显示屏只点亮 "
                "%5 个 LED（%6 个模块，最后一个不亮）。请加 --shrink 缩小字体，或缩短文字。")
                .arg(text)
                .arg(neededWidth)
                .arg(pixelSize)
                .arg(modulesAcross)
                .arg(litWidth)
                .arg(litWidth / kModuleLeds + 1));
    return localText(language,
        QStringLiteral("\"%1\" is %2 LEDs high at %3 pixels and needs a sign of %4 modules "
                       "down; this sign has %5 LED rows. Give --shrink to draw it smaller, or "
                       "fewer lines.")
            .arg(text)
            .arg(neededHeight)
            .arg(pixelSize)
            .arg(modulesDown)
            .arg(litHeight),
        QStringLiteral("“%1”在 %3 像素时高 %2 个 LED，需要 %4 个模块高的显示屏；此显示屏只有 %5 行 "
                       "LED。请加 --shrink 缩小字体，或减少行数。")
            .arg(text)
            .arg(neededHeight)
            .arg(pixelSize)
            .arg(modulesDown)
            .arg(litHeight));
}

MessageDrawing drawMessage(
    const QString &text, const MessageStyle &style, int widthModules, int heightModules)
{
    MessageDrawing drawing;
    drawing.litWidth = qMax(0, widthModules - 1) * kModuleLeds;
    drawing.litHeight = qMax(0, heightModules) * kModuleLeds;
    const std::optional<QSize> canvas = canvasSize(kModuleLeds, widthModules, heightModules);
    if (!canvas)
        return drawing;

    const int smallest = style.shrink ? kSmallestMessagePixelSize : kMessagePixelSize;
    std::unique_ptr<QTextDocument> document;
    for (int pixelSize = kMessagePixelSize; pixelSize >= smallest; --pixelSize) {
        document = messageDocument(text, style, pixelSize);
        document->setTextWidth(qMax(1, drawing.litWidth));
        drawing.pixelSize = pixelSize;
        drawing.neededWidth = int(std::ceil(document->idealWidth()));
        // The leading below the last line lights nothing, so only the font's own height
        // counts there.
        const int lines = qMax(1, document->blockCount());
        const qreal layoutHeight = document->size().height() - kTopMargin;
        const qreal leading = qMax(qreal(0), layoutHeight / lines - pixelSize);
        drawing.neededHeight = int(std::ceil(layoutHeight - leading));
        drawing.fits
            = drawing.neededWidth <= drawing.litWidth && drawing.neededHeight <= drawing.litHeight;
        if (drawing.fits)
            break;
    }
    if (!drawing.fits)
        return drawing;

    // Laid out across the lit LEDs only, so "centre" is the middle of what the sign shows.
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    frame.setRightMargin(canvas->width() - drawing.litWidth);
    const int layoutHeight = int(std::ceil(document->size().height())) - kTopMargin;
    frame.setTopMargin(kTopMargin + qMax(0, (drawing.litHeight - layoutHeight) / 2));
    document->rootFrame()->setFrameFormat(frame);
    drawing.canvas = renderCanvas(document.get(), *canvas);
    return drawing;
}

} // namespace Page
