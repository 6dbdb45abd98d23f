#include "pagedocument.h"
#include "pagefiles.h"
#include "pageformat.h"
#include "pagegeometry.h"
#include "pagerenderer.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// How many canvas pixels have each colour.
QHash<QRgb, int> colourCounts(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000];
    }
    return counts;
}

} // namespace

class tst_PageRender : public QObject
{
    Q_OBJECT

private slots:
    void textIsDrawnInExactLedColours_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QString>("text");
        const QColor black = Page::defaultBackground();
        QTest::addRow("red latin") << Page::ledRed() << black << "Hello, sign!";
        QTest::addRow("green latin") << Page::ledGreen() << black << "Welcome 123";
        QTest::addRow("yellow chinese on navy")
            << Page::ledYellow() << QColor(0, 0, 128) << QStringLiteral("欢迎光临");
        QTest::addRow("uncoloured is red") << QColor() << black << "Auto colour";
        QTest::addRow("empty page fills the background") << QColor() << QColor(0, 0, 128) << "";
    }

    void textIsDrawnInExactLedColours()
    {
        QFETCH(QColor, colour);
        QFETCH(QColor, background);
        QFETCH(QString, text);
        QTextDocument document;
        Page::setUpDocument(&document);
        if (background != Page::defaultBackground())
            Page::setBackground(&document, background);
        QTextCharFormat format;
        if (colour.isValid())
            format.setForeground(colour);
        QTextCursor(&document).insertText(text, format);
        const QSize size(16 * 8 + 2, 16 * 2 + 2);
        const QImage canvas = Page::renderCanvas(&document, size);
        QCOMPARE(canvas.size(), size); // one canvas pixel per LED
        QCOMPARE(canvas.devicePixelRatio(), 1.0);
        QCOMPARE(Page::background(document), background);

        // Only the background and the text colour: no anti-aliased in-between shades.
        const QRgb ink = colour.isValid() ? colour.rgb() : Page::ledRed().rgb();
        const QHash<QRgb, int> counts = colourCounts(canvas);
        QCOMPARE(counts.keys().size(), text.isEmpty() ? 1 : 2);
        QVERIFY(counts.contains(background.rgb()));
        QVERIFY2(counts.value(ink) >= 6 * text.size(), "the text should be visible");
        // The sign skips the two top rows: they stay empty.
        QCOMPARE(colourCounts(canvas.copy(0, 0, size.width(), 2)).keys(),
            QList<QRgb> { background.rgb() });
        QCOMPARE(Page::renderCanvas(&document, size), canvas); // repeatable
    }

    void picturePixelLandsOnItsLed_data()
    {
        QTest::addColumn<QSize>("pictureSize");
        QTest::addRow("full module row") << QSize(128, 16);
        QTest::addRow("lower than the text line") << QSize(8, 4);
        QTest::addRow("taller than the sign") << QSize(40, 60);
        QTest::addRow("wider than the sign, cropped not shrunk") << QSize(600, 8);
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
        // Picture pixel (x, y) is canvas pixel (x, y + 2): the content starts at row 2.
        const QImage canvas = Page::renderCanvas(&document, QSize(8 * 16 + 2, 2 * 16 + 2));
        for (int y = 0; y < pictureSize.height() && y + 2 < canvas.height(); ++y) {
            for (int x = 0; x < pictureSize.width() && x < canvas.width(); ++x)
                QCOMPARE(canvas.pixel(x, y + 2), picture.pixel(x, y));
        }
        // What the sign shows from the packet: picture pixel (x, y) on LED (x, y).
        const Page::SignImage sign = Page::signImage(canvas, 8, 2);
        QVERIFY(sign.packet.ok);
        QCOMPARE(sign.image.size(), QSize(128, 32));
        QCOMPARE(sign.image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(sign.image.pixel(3, 2), qRgb(255, 255, 0));
    }

    void sizes()
    {
        QCOMPARE(Page::canvasSize(16, 8, 2), std::optional<QSize>(QSize(130, 34)));
        QCOMPARE(Page::canvasLength(16, 2047), std::optional<int>(32754));
        QVERIFY(!Page::canvasLength(16, 2048)); // 32770 does not fit 16 bits
        QVERIFY(!Page::canvasLength(16, -1));
        QCOMPARE(Page::textWidthCanvas(8), std::optional<int>(128)); // 16 LEDs a module
        QVERIFY(!Page::textWidthCanvas(3000));
        const Page::SignImage refused
            = Page::signImage(QImage(10, 10, QImage::Format_RGB32), 8, 16);
        QVERIFY(!refused.packet.ok);
        QVERIFY(refused.image.isNull());
    }

    void exactLineSpacingCoversEveryParagraph()
    {
        QTextDocument document;
        Page::setUpDocument(&document);
        auto exactBlocks = [&document] {
            int count = 0;
            for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
                count += b.blockFormat().lineHeightType() == QTextBlockFormat::FixedHeight
                    && b.blockFormat().lineHeight() == 18.0;
            }
            return count;
        };
        // On an empty page the one paragraph takes it, so typed lines have it too.
        Page::setExactLineSpacing(&document);
        QTextCursor cursor(&document);
        cursor.insertText("one\ntwo");
        QCOMPARE(exactBlocks(), 2);
        cursor.insertBlock(QTextBlockFormat());
        cursor.insertText("three");
        const QTextCursor all = Page::setExactLineSpacing(&document);
        QCOMPARE(all.selectionStart(), 0); // one selection, so one undo step
        QCOMPARE(all.selectionEnd(), document.characterCount() - 1);
        QCOMPARE(exactBlocks(), 3);
        // The lines are 18 canvas units apart.
        Page::renderCanvas(&document, QSize(130, 80));
        const QAbstractTextDocumentLayout *layout = document.documentLayout();
        QCOMPARE(layout->blockBoundingRect(document.begin().next()).top()
                - layout->blockBoundingRect(document.begin()).top(),
            18.0);
    }
};

QTEST_MAIN(tst_PageRender)
#include "tst_pagerender.moc"
