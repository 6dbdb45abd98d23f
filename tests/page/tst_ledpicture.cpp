// Pictures in the sign's colours: the conversion itself, picture files checked before they
// are decoded, and pictures reaching the sign through a picture page and an RTF page.

#include "ledpicture.h"
#include "pagedocument.h"
#include "pagefiles.h"
#include "pageformat.h"
#include "pagerenderer.h"
#include "picturefile.h"
#include "testfiles.h"

#include "rtfwriter.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QtEndian>
#include <QtTest>

namespace {

using Mode = Page::PictureMode;
using Kind = Page::FileResult::Kind;

const QRgb kDark = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kYellow = qRgb(255, 255, 0);

QByteArray encoded(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

// A photo-like picture: every red and green level across, a blue wash down.
QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                qRgb(x * 255 / (width - 1), (x + y) * 255 / (width + height - 2),
                    y * 255 / (height - 1)));
    return image;
}

// A logo of a red, a green and a yellow block, 40 x 12 each, side by side on black.
QImage logo()
{
    QImage image(128, 16, QImage::Format_RGB32);
    image.fill(kDark);
    const QRgb colours[] = { kRed, kGreen, kYellow };
    for (int block = 0; block < 3; ++block)
        for (int y = 2; y < 14; ++y)
            for (int x = 0; x < 40; ++x)
                image.setPixel(2 + block * 42 + x, y, colours[block]);
    return image;
}

// The images of a document's pictures, in document order.
QList<QImage> pictures(QTextDocument *document)
{
    QList<QImage> images;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QTextCharFormat f = it.fragment().charFormat(); f.isImageFormat())
                images << document
                              ->resource(
                                  QTextDocument::ImageResource, QUrl(f.toImageFormat().name()))
                              .value<QImage>();
    return images;
}

QByteArray le32(quint32 value)
{
    QByteArray b(4, '\0');
    qToLittleEndian(value, b.data());
    return b;
}

// `bytes` gzip-compressed, as an SVGZ file holds.
QByteArray gzip(const QByteArray &bytes)
{
    QProcess gzip;
    gzip.start("gzip", { "-c" });
    gzip.write(bytes);
    gzip.closeWriteChannel();
    gzip.waitForFinished();
    return gzip.readAllStandardOutput();
}

// How many pixels of `image` are `colour`.
int countOf(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// An 8-bit run-length bitmap of 4 x 2 pixels with two palette colours and run data `runs`.
QByteArray rleBitmap(const QByteArray &runs)
{
    constexpr int kPixels = 14 + 40 + 2 * 4;
    QByteArray b = "BM" + le32(kPixels + runs.size()) + le32(0) + le32(kPixels);
    b += le32(40) + le32(4) + le32(2) + QByteArray::fromHex("01000800") + le32(1)
        + le32(runs.size()) + le32(2835) + le32(2835) + le32(2) + le32(0);
    return b
        + QByteArray::fromHex("0000ff00"
                              "00ff0000")
        + runs;
}

} // namespace

class tst_LedPicture : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void pixels_data()
    {
        QTest::addColumn<QRgb>("pixel"); // ARGB, not premultiplied
        QTest::addColumn<QRgb>("led");
        QTest::newRow("red stays") << kRed << kRed;
        QTest::newRow("green stays") << kGreen << kGreen;
        QTest::newRow("yellow stays") << kYellow << kYellow;
        QTest::newRow("black stays") << kDark << kDark;
        QTest::newRow("near red") << qRgb(254, 1, 1) << kRed;
        QTest::newRow("dim red") << qRgb(127, 0, 0) << kDark;
        QTest::newRow("near green") << qRgb(3, 200, 40) << kGreen;
        QTest::newRow("white") << qRgb(255, 255, 255) << kYellow;
        QTest::newRow("blue") << qRgb(0, 0, 255) << kDark;
        QTest::newRow("magenta") << qRgb(255, 0, 255) << kRed;
        QTest::newRow("grey 128") << qRgb(128, 128, 128) << kYellow;
        QTest::newRow("grey 127") << qRgb(127, 127, 127) << kDark;
        QTest::newRow("transparent white") << qRgba(255, 255, 255, 0) << kDark;
        QTest::newRow("half-transparent red") << qRgba(255, 0, 0, 100) << kDark;
        QTest::newRow("mostly opaque red") << qRgba(255, 0, 0, 200) << kRed;
    }
    void pixels()
    {
        QFETCH(QRgb, pixel);
        QFETCH(QRgb, led);
        QImage image(3, 2, QImage::Format_ARGB32);
        image.fill(pixel);
        const QImage threshold = Page::toLedColours(image, Mode::Threshold);
        QCOMPARE(threshold.format(), QImage::Format_RGB32);
        QCOMPARE(countOf(threshold, led), 6);
        // Exact LED colours and black dither to themselves too.
        if (pixel == led)
            QCOMPARE(Page::toLedColours(image, Mode::Dither), threshold);
    }

    void convertedPicturesStayAsTheyAre()
    {
        // Every format Qt hands over: RGB32, ARGB32, indexed (GIF), grayscale.
        const QImage source = photo(61, 37);
        for (const QImage &picture : { source, source.convertToFormat(QImage::Format_ARGB32),
                 source.convertToFormat(QImage::Format_Indexed8),
                 source.convertToFormat(QImage::Format_Grayscale8) }) {
            for (const Mode mode : { Mode::Threshold, Mode::Dither }) {
                const QImage once = Page::toLedColours(picture, mode);
                QVERIFY(Page::isInLedColours(once));
                QCOMPARE(Page::toLedColours(once, mode), once);
                QCOMPARE(Page::toLedColours(once, Mode::Threshold), once);
                QCOMPARE(Page::toLedColours(picture, mode), once); // repeatable
            }
        }
        QVERIFY(!Page::isInLedColours(source));
    }

    void ditherPatternIsFixed()
    {
        // Mid grey lights half of every 8 x 8 cell, in the same places each time; the
        // top-left cell lights first.
        QImage grey(16, 16, QImage::Format_RGB32);
        grey.fill(qRgb(128, 128, 128));
        const QImage dithered = Page::toLedColours(grey, Mode::Dither);
        QCOMPARE(countOf(dithered.copy(0, 0, 8, 8), kYellow), 32);
        QCOMPARE(dithered.copy(8, 8, 8, 8), dithered.copy(0, 0, 8, 8));
        QCOMPARE(dithered.pixel(0, 0), kYellow);
        QCOMPARE(dithered.pixel(1, 0), kDark);
        QCOMPARE(dithered.pixel(1, 1), kYellow);
        // A level lights the cells whose threshold (4k + 2 for the k-th) it reaches; a dim red
        // only red elements.
        const std::tuple<QRgb, QRgb, int> levels[] = { { qRgb(1, 1, 0), kYellow, 0 },
            { qRgb(2, 2, 0), kYellow, 1 }, { qRgb(130, 130, 0), kYellow, 33 },
            { qRgb(254, 254, 0), kYellow, 64 }, { qRgb(64, 0, 0), kRed, 16 } };
        QImage flat(8, 8, QImage::Format_RGB32);
        for (const auto &[level, colour, cells] : levels) {
            flat.fill(level);
            QCOMPARE(countOf(Page::toLedColours(flat, Mode::Dither), colour), cells);
        }
        // Threshold keeps none of that shading.
        QCOMPARE(Page::toLedColours(flat, Mode::Threshold).pixel(0, 0), kDark);
    }

    void pictureFilesAreCheckedFirst_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        auto row = [](const char *name, const QByteArray &bytes, Kind kind) {
            QTest::newRow(name) << bytes << int(kind);
        };
        // `bytes` with the bytes from `at` overwritten by `hex`.
        auto patched = [](QByteArray bytes, int at, const QByteArray &hex) {
            return bytes.replace(at, hex.size() / 2, QByteArray::fromHex(hex));
        };
        const QImage picture = photo(48, 20);
        for (const char *format : { "png", "jpg", "bmp" }) {
            const QByteArray whole = encoded(picture, format);
            QTest::addRow("%s whole", format) << whole << int(Kind::Ok);
            QTest::addRow("%s cut in half", format)
                << whole.left(whole.size() / 2) << int(Kind::PictureDamaged);
            QTest::addRow("%s last bytes missing", format)
                << whole.left(whole.size() - 3) << int(Kind::PictureDamaged);
        }
        // A 2 x 2 GIF (Qt cannot write GIF) and the same cut before its trailer.
        const QByteArray gif = QByteArray::fromHex("4749463839610200020080000000000000ff00"
                                                   "2c00000000020002000002030c1005003b");
        row("gif whole", gif, Kind::Ok);
        row("gif cut", gif.left(gif.size() - 4), Kind::PictureDamaged);
        row("gif of 2 x 65535, cut", patched(gif.left(gif.size() - 4), 8, "ffff"),
            Kind::PictureTooLarge);
        // 8 x 8 pixels of colour 3 and colour 1 with a table of two colours (LZW, 3-bit codes).
        row("gif index beyond palette",
            QByteArray::fromHex("47494638396108000800800000000000ff00002c000000000800080000022ddc"
                                "3633333333c618638c31c618638c310cc33004411004411004411004411004"
                                "41100441100441100804028102003b"),
            Kind::PictureDamaged);
        row("png index beyond palette", // the same with 8-bit indexes
            QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200000008000000080803000000f3d1"
                                "4eb900000006504c5445000000ff00001bff8d220000001149444154789c63"
                                "600602462060a08c010012c8008181dfb0400000000049454e44ae426082"),
            Kind::PictureDamaged);

        // Headers that claim 100 000 x 100 000 pixels, with a few bytes of data behind them;
        // 8192 x 8192 may be decoded. Then headers that lie: a negative height (top-down) of
        // 2^31 rows, and none.
        const QByteArray png = encoded(QImage(4, 4, QImage::Format_RGB32), "png");
        const QByteArray bmp = encoded(QImage(4, 4, QImage::Format_RGB32), "bmp");
        const QByteArray jpg = encoded(QImage(4, 4, QImage::Format_RGB32), "jpg");
        row("png of 100000 x 100000", patched(png, 16, "000186a0000186a0"), Kind::PictureTooLarge);
        row("png of 8192 x 8192", patched(png, 16, "0000200000002000"), Kind::PictureDamaged);
        row("bmp of 100000 x 100000", patched(bmp, 18, "a0860100a0860100"), Kind::PictureTooLarge);
        row("jpg of 65535 x 65535",
            patched(jpg, jpg.indexOf(QByteArray::fromHex("ffc0")) + 5, "ffffffff"),
            Kind::PictureTooLarge);
        row("bmp of 4 x minus 2^31 rows", patched(bmp, 22, "00000080"), Kind::PictureTooLarge);
        row("png of 0 x 0", patched(png, 16, "0000000000000000"), Kind::PictureDamaged);

        // Run-length data: whole, cut before its end, and a palette index beyond the palette.
        row("rle bmp whole", rleBitmap(QByteArray::fromHex("0401000004010001")), Kind::Ok);
        row("rle bmp cut", rleBitmap(QByteArray::fromHex("04010000")), Kind::PictureDamaged);
        row("bmp index beyond palette", rleBitmap(QByteArray::fromHex("0401000004050001")),
            Kind::PictureDamaged);

        // Only BMP, JPEG, GIF and PNG, told by content: an SVGZ bomb named .jpg is not decoded.
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='60000' "
                               "height='60000'>"
            + QByteArray("<rect width='60000' height='60000' fill='red'/>").repeated(20000)
            + "</svg>";
        row("svgz bomb", gzip(svg), Kind::NotAPicture);
        row("svg", svg.left(200), Kind::NotAPicture);
        row("xpm", "/* XPM */\nstatic char *x[] = {\"1 1 1 1\"};", Kind::NotAPicture);
        row("not a picture", "{\\rtf1 hello}", Kind::NotAPicture);
        row("empty", QByteArray(), Kind::NotAPicture);
    }
    void pictureFilesAreCheckedFirst()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        const QString path = m_dir.filePath(QString("picture-%1").arg(QTest::currentDataTag()));
        writeFile(path, bytes);
        writeFile(path + ".jpg", bytes); // the name promises nothing
        QImage image;
        const Page::FileResult read = Page::readPictureFile(path + ".jpg", &image);
        QCOMPARE(int(read.kind), kind);
        QCOMPARE(image.isNull(), kind != int(Kind::Ok));
        // Sizes are told as the header claims them, never wrapped round.
        QVERIFY2(!read.message("English").contains(" -"), qPrintable(read.message("English")));
        // The page keeps what it had, and the message says so in both languages.
        QTextDocument page;
        Page::setUpDocument(&page);
        page.setPlainText("kept");
        const Page::FileResult shown = Page::loadPictureFile(path, &page);
        QCOMPARE(int(shown.kind), kind);
        if (kind != int(Kind::Ok)) {
            QCOMPARE(page.toPlainText(), QString("kept"));
            QVERIFY(shown.message("English").contains(path));
            QVERIFY(!shown.message(QString::fromUtf8("简体中文")).isEmpty());
        }
        QCOMPARE(readFile(path), bytes); // the file itself is never changed
    }

    void jpegLogoLightsInItsColours_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("threshold") << int(Mode::Threshold);
        QTest::newRow("dither") << int(Mode::Dither);
    }
    void jpegLogoLightsInItsColours()
    {
        // As a camera or editor writes it: no pixel keeps its exact colour.
        QFETCH(int, mode);
        const QString path = m_dir.filePath("logo.jpg");
        writeFile(path, encoded(logo(), "jpg", 75));
        QImage asRead;
        QVERIFY(Page::readPictureFile(path, &asRead).ok());
        QVERIFY(!Page::isInLedColours(asRead));
        QTextDocument page;
        Page::setUpDocument(&page);
        QVERIFY(Page::loadPictureFile(path, &page, Mode(mode)).ok());
        // A page of 9 x 1 modules: the logo clear of the last module column, which is dark.
        const QImage canvas = Page::renderCanvas(&page, QSize(9 * 16 + 2, 18));
        const Page::SignImage sign = Page::signImage(canvas, 9, 1);
        QVERIFY(sign.packet.ok);
        // Inside each block (a margin of two LEDs off its edges) every LED lights its colour;
        // dithered, a colour a little short of full brightness leaves a few cells dark.
        const QRgb colours[] = { kRed, kGreen, kYellow };
        for (int block = 0; block < 3; ++block) {
            const int right = countOf(sign.image.copy(4 + block * 42, 4, 36, 8), colours[block]);
            const int wanted = Mode(mode) == Mode::Threshold ? 36 * 8 : 36 * 8 * 9 / 10;
            QVERIFY2(right >= wanted, qPrintable(QString("block %1: %2").arg(block).arg(right)));
        }
    }

    void rtfPageWithAPhotoIsReadAndSaved()
    {
        // A page saved by another program: green text and a photo in its own colours, on navy
        // with exact lines.
        QTextDocument original;
        Page::setUpDocument(&original);
        QTextCharFormat green;
        green.setForeground(Page::ledGreen());
        QTextCursor cursor(&original);
        cursor.insertText("Open 9-5 营业", green);
        original.addResource(QTextDocument::ImageResource, QUrl("mem:photo"), photo(40, 14));
        QTextImageFormat format;
        format.setName("mem:photo");
        format.setWidth(40);
        format.setHeight(14);
        cursor.insertImage(format);
        Page::setExactLineSpacing(&original);
        Page::setBackground(&original, QColor(0, 0, 64));
        const QString path = m_dir.filePath("photo.rtf");
        writeFile(path, RtfWriter::write(original));
        const QByteArray onDisk = readFile(path);

        for (const Mode mode : { Mode::Threshold, Mode::Dither }) {
            QTextDocument page;
            Page::setUpDocument(&page);
            QVERIFY(Page::loadRichTextFile(path, &page, mode).ok());
            const QList<QImage> read = pictures(&page);
            QCOMPARE(read.size(), 1);
            QCOMPARE(read.first(), Page::toLedColours(photo(40, 14), mode));

            // Saved (RTF whatever the name), the page holds the converted picture; read again
            // into a page not set up, nothing changes and the page is set up.
            const QString saved = m_dir.filePath("saved.txt");
            QVERIFY(Page::savePageFile(saved, page).ok());
            QVERIFY(readFile(saved).startsWith("{\\rtf1"));
            QTextDocument again;
            QVERIFY(Page::loadRichTextFile(saved, &again, Mode::Threshold).ok());
            QCOMPARE(again.toPlainText().left(11), QString("Open 9-5 营业"));
            QCOMPARE(
                QTextCursor(again.begin()).charFormat().foreground().color(), Page::ledGreen());
            QCOMPARE(again.begin().blockFormat().lineHeight(), 18.0);
            QCOMPARE(Page::background(again), QColor(0, 0, 64));
            QCOMPARE(again.rootFrame()->frameFormat().topMargin(), qreal(Page::kTopMargin));
            QCOMPARE(pictures(&again).value(0), read.first());
            QCOMPARE(Page::renderCanvas(&again, QSize(130, 18)),
                Page::renderCanvas(&page, QSize(130, 18)));
        }
        QCOMPARE(readFile(path), onDisk);
    }
};

QTEST_MAIN(tst_LedPicture)
#include "tst_ledpicture.moc"
