// Pages on the canvas as the sign lights them, and page files loaded and saved.

#include "pagedocument.h"
#include "pagefiles.h"
#include "pageformat.h"
#include "pagegeometry.h"
#include "pagerenderer.h"
#include "testfiles.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using Kind = Page::FileResult::Kind;
enum Loader { Rich, Listed, Any };

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
        const QString path = m_dir.filePath("logo.bmp");
        QVERIFY(picture.save(path));
        QTextDocument document;
        Page::setUpDocument(&document);
        QVERIFY(Page::loadPictureFile(path, &document).ok());
        // Picture pixel (x, y) is canvas pixel (x, y + 2): the content starts at row 2.
        const QImage canvas = Page::renderCanvas(&document, QSize(8 * 16 + 2, 2 * 16 + 2));
        const QRect shown = QRect(QPoint(), pictureSize).intersected(QRect(0, 0, 130, 32));
        QCOMPARE(canvas.copy(shown.translated(0, 2)), picture.copy(shown));
        // What the sign shows from the packet is what the canvas shows, but for the last module
        // column, which the sign keeps dark: picture pixel (x, y) on LED (x, y).
        const Page::SignImage sign = Page::signImage(canvas, 8, 2);
        QVERIFY(sign.packet.ok);
        QCOMPARE(sign.image.size(), QSize(128, 32));
        QCOMPARE(sign.image.copy(0, 0, 112, 32), canvas.copy(0, 2, 112, 32));
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

    void nameRules()
    {
        // Only the ending ".rtf", in any letter case, names a page of text.
        for (const char *richText : { "a.rtf", "A.RTF", "x.Rtf", "/p/rtf.bmp/a.rtf" })
            QVERIFY2(Page::namesRichText(richText), richText);
        for (const char *picture : { "shirtfront.bmp", "logo.BMP", "/p/rtf-pages/logo.bmp",
                 "/RTF/a.gif", "a.rtf.png", "rtf" })
            QVERIFY2(!Page::namesRichText(picture), picture);
        QCOMPARE(Page::withRtfSuffix("/p/a.rtf"), QString("/p/a.rtf"));
        QCOMPARE(Page::withRtfSuffix("/p/a.RTF"), QString("/p/a.RTF.rtf"));
        QCOMPARE(Page::withRtfSuffix("/p/a.txt"), QString("/p/a.txt.rtf"));
        QCOMPARE(Page::withTxtSuffix("a"), QString("a.txt"));
        QCOMPARE(Page::withTxtSuffix("a.TXT"), QString("a.TXT.txt"));
        QCOMPARE(Page::withTxtSuffix("a.txt"), QString("a.txt"));
    }

    void loads_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: no such file
        QTest::addColumn<int>("loader");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        const QString shown(QChar::ObjectReplacementCharacter);
        const QByteArray rtf = "{\\rtf1 text}";
        auto row = [](const char *name, const QByteArray &bytes, Loader loader, Kind kind,
                       const QString &text) {
            QTest::newRow(name) << name << bytes << int(loader) << int(kind) << text;
        };
        row("note.txt", QStringLiteral("Line one\nLine 二").toUtf8(), Rich, Kind::Ok,
            "Line one\nLine 二");
        row("gbk.txt", QStringEncoder("GBK").encode(QStringLiteral("欢迎光临")), Any, Kind::Ok,
            "欢迎光临");
        row("picture-without-suffix", png, Any, Kind::Ok, shown);
        row("listed.rtf", rtf, Listed, Kind::Ok, "text");
        row("listed.png", png, Listed, Kind::Ok, shown);
        // Failed loads leave the page as it was.
        row("none.rtf", QByteArray(), Rich, Kind::CannotRead, "keep me");
        row("x.Rtf", rtf, Listed, Kind::Ok, "text"); // any letter case names rich text
        row("shirtfront.bmp", rtf, Listed, Kind::NotAPicture, "keep me"); // "rtf" inside
        row("photo.jpg", "<svg xmlns='http://www.w3.org/2000/svg'/>", Any, Kind::NotAPicture,
            "keep me");
        row("pipe.rtf", "fifo", Any, Kind::CannotRead, "keep me");
        row("folder.png", "folder", Any, Kind::CannotRead, "keep me");
    }

    void loads()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, loader);
        QFETCH(int, kind);
        QFETCH(QString, text);
        const QString path = m_dir.filePath(name);
        if (bytes == "fifo")
            QVERIFY(QFile::exists(path) || ::mkfifo(qPrintable(path), 0600) == 0);
        else if (bytes == "folder")
            QVERIFY(QDir(m_dir.path()).mkpath(name));
        else if (!bytes.isNull())
            writeFile(path, bytes);
        QTextDocument page;
        page.setPlainText("keep me");
        const Page::FileResult result = loader == Rich ? Page::loadRichTextFile(path, &page)
            : loader == Listed                         ? Page::loadListedPageFile(path, &page)
                                                       : Page::loadAnyPageFile(path, &page);
        QCOMPARE(int(result.kind), kind);
        QCOMPARE(page.toPlainText(), text);
        if (!result.ok()) {
            QVERIFY(result.message("English").contains(name));
            QVERIFY(!result.message(QStringLiteral("简体中文")).isEmpty());
        }
    }

    void failedSaveKeepsThePreviousFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<bool>("diskFull");
        QTest::addRow("folder cannot be made") << "blocker/page.rtf" << 4096 << false;
        // The disk fills up halfway through: in the flush of a page that fits the write
        // buffer, or in the write of a larger one.
        QTest::addRow("disk full, small page") << "page.rtf" << 4096 << true;
        QTest::addRow("disk full, large page") << "page.rtf" << 65536 << true;
    }

    void failedSaveKeepsThePreviousFile()
    {
        QFETCH(QString, name);
        QFETCH(int, pageSize);
        QFETCH(bool, diskFull);
        QTemporaryDir dir;
        writeFile(dir.filePath("blocker"), "not a folder");
        writeFile(dir.filePath("page.rtf"), "{\\rtf1 old}");
        QTextDocument page;
        page.setPlainText(QString(pageSize, QLatin1Char('x')));
        rlimit limit {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit previous = limit;
        limit.rlim_cur = diskFull ? 64 : limit.rlim_cur;
        const auto handler = signal(SIGXFSZ, SIG_IGN); // fail the write, not the process
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const Page::FileResult result = Page::savePageFile(dir.filePath(name), page);
        setrlimit(RLIMIT_FSIZE, &previous);
        signal(SIGXFSZ, handler);
        QCOMPARE(result.kind, Kind::CannotWrite);
        QVERIFY(result.message("English").contains(name));
        QVERIFY(!result.message("English").contains("Unknown error"));
        // The old files as they were, and no temporary file left behind.
        QCOMPARE(readFile(dir.filePath("page.rtf")), QByteArray("{\\rtf1 old}"));
        QCOMPARE(readFile(dir.filePath("blocker")), QByteArray("not a folder"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList { "blocker", "page.rtf" }));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(tst_PageRender)
#include "tst_pagerender.moc"
