#include "getcolor.h"
#include "packetdecoder.h"
#include "pagedocument.h"
#include "pagefiles.h"
#include "pagegeometry.h"
#include "pageformat.h"
#include "pagerenderer.h"

#include <QGuiApplication>
#include <QSet>
#include <QTemporaryDir>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

QSet<QRgb> coloursOf(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) | 0xFF000000);
    return colours;
}

int countOf(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) | 0xFF000000) == (colour | 0xFF000000);
    return n;
}

void typeText(QTextDocument *document, const QString &text, const QColor &colour)
{
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    if (colour.isValid())
        format.setForeground(colour);
    cursor.insertText(text, format);
}

} // namespace

class tst_PageRender : public QObject
{
    Q_OBJECT

private slots:
    void textIsDrawnInExactLedColours_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("text");
        QTest::addRow("red latin") << Page::ledRed() << "Hello, sign!";
        QTest::addRow("green latin") << Page::ledGreen() << "Welcome 123";
        QTest::addRow("yellow chinese") << Page::ledYellow() << QStringLiteral("欢迎光临");
        QTest::addRow("uncoloured is red") << QColor() << "Auto colour";
    }

    void textIsDrawnInExactLedColours()
    {
        QFETCH(QColor, colour);
        QFETCH(QString, text);
        QTextDocument document;
        Page::setUpDocument(&document);
        typeText(&document, text, colour);
        const QImage canvas = Page::renderCanvas(&document, QSize(16 * 8 + 2, 16 * 2 + 2));
        const QRgb expected = colour.isValid() ? colour.rgb() : Page::ledRed().rgb();
        const QSet<QRgb> colours = coloursOf(canvas);
        // Only the background and the text colour: no anti-aliased in-between shades.
        QCOMPARE(colours, (QSet<QRgb> { qRgb(0, 0, 0), expected }));
        QVERIFY2(countOf(canvas, expected) > 6 * text.size(), "the text should be visible");
        // The two rows above the sampled area stay empty.
        for (int x = 0; x < canvas.width(); ++x) {
            QCOMPARE(canvas.pixel(x, 0), qRgb(0, 0, 0));
            QCOMPARE(canvas.pixel(x, 1), qRgb(0, 0, 0));
        }
    }

    void renderingIsRepeatable()
    {
        QTextDocument document;
        Page::setUpDocument(&document);
        typeText(&document, QStringLiteral("Same every time 每次相同"), Page::ledGreen());
        const QImage first = Page::renderCanvas(&document, QSize(258, 34));
        QCOMPARE(Page::renderCanvas(&document, QSize(258, 34)), first);
    }

    void pageBackgroundFillsTheCanvas()
    {
        QTextDocument document;
        Page::setUpDocument(&document);
        Page::setBackground(&document, QColor(0, 0, 128));
        const QImage canvas = Page::renderCanvas(&document, QSize(40, 40));
        QCOMPARE(coloursOf(canvas), (QSet<QRgb> { qRgb(0, 0, 128) }));
        QCOMPARE(Page::background(document), QColor(0, 0, 128));
    }

    void picturePixelLandsOnItsLed_data()
    {
        QTest::addColumn<QSize>("pictureSize");
        QTest::addRow("full module row") << QSize(128, 16);
        QTest::addRow("lower than the text line") << QSize(8, 4);
        QTest::addRow("taller than the sign") << QSize(40, 60);
    }

    void picturePixelLandsOnItsLed()
    {
        QFETCH(QSize, pictureSize);
        QImage picture(pictureSize, QImage::Format_RGB32);
        picture.fill(Qt::black);
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        picture.setPixel(pictureSize.width() - 1, pictureSize.height() - 1, qRgb(0, 255, 0));
        picture.setPixel(3, 2, qRgb(255, 255, 0));
        QTemporaryDir dir;
        const QString path = dir.filePath("logo.bmp");
        QVERIFY(picture.save(path));

        QTextDocument document;
        Page::setUpDocument(&document);
        QVERIFY(Page::loadPictureFile(path, &document).ok());
        const QImage canvas = Page::renderCanvas(&document, QSize(8 * 16 + 2, 2 * 16 + 2));
        for (int y = 0; y < pictureSize.height() && y + 2 < canvas.height(); ++y)
            for (int x = 0; x < pictureSize.width() && x < canvas.width(); ++x)
                QCOMPARE(canvas.pixel(x, y + 2), picture.pixel(x, y));

        const Page::SignImage sign = Page::signImage(canvas, 8, 2);
        QVERIFY(sign.packet.ok);
        QCOMPARE(sign.image.size(), QSize(128, 32));
        QCOMPARE(sign.image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(sign.image.pixel(3, 2), qRgb(255, 255, 0));
    }

    void signImageRefusesWhatAPacketCannotCarry()
    {
        const Page::SignImage sign = Page::signImage(QImage(10, 10, QImage::Format_RGB32), 8, 16);
        QVERIFY(!sign.packet.ok);
        QVERIFY(sign.image.isNull());
    }

    void canvasSizes()
    {
        QCOMPARE(Page::canvasSize(16, 8, 2), std::optional<QSize>(QSize(130, 34)));
        QCOMPARE(Page::canvasLength(16, 2047), std::optional<int>(32754));
        QVERIFY(!Page::canvasLength(16, 2048)); // 32770 does not fit 16 bits
        QVERIFY(!Page::canvasLength(16, -1));
        QCOMPARE(Page::textWidthCanvas(8), std::optional<int>(128));
        QVERIFY(!Page::textWidthCanvas(3000));
    }

    void exactLineSpacingCoversEveryParagraph()
    {
        QTextDocument document;
        Page::setUpDocument(&document);
        Page::setExactLineSpacing(&document); // on an empty page the one paragraph takes it
        typeText(&document, "one\ntwo\nthree", Page::ledRed());
        const QTextCursor all = Page::setExactLineSpacing(&document);
        QCOMPARE(all.selectionStart(), 0);
        QCOMPARE(all.selectionEnd(), document.characterCount() - 1);
        int blocks = 0;
        for (QTextBlock b = document.begin(); b.isValid(); b = b.next(), ++blocks) {
            QCOMPARE(b.blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));
            QCOMPARE(b.blockFormat().lineHeight(), 18.0);
        }
        QCOMPARE(blocks, 3);
        // The lines are 18 units apart on the canvas.
        const QImage once = Page::renderCanvas(&document, QSize(130, 80));
        Page::setExactLineSpacing(&document);
        QCOMPARE(Page::renderCanvas(&document, QSize(130, 80)), once);
        QCOMPARE(document.documentLayout()->blockBoundingRect(document.begin().next()).top()
                         - document.documentLayout()->blockBoundingRect(document.begin()).top(),
                 18.0);
    }
};

QTEST_MAIN(tst_PageRender)
#include "tst_pagerender.moc"
