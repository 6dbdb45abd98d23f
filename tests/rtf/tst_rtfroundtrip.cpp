// What the writer writes reads back as it showed: made-up pages, and every sample file read
// (with what some samples are known to show).

#include "rtfreader.h"
#include "rtfwriter.h"
#include "testdocuments.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

using namespace TestDocuments;

namespace {

QImage testImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 40, y * 60, (x + y) * 20, x == 0 ? 128 : 255));
    return image;
}

QTextTableFormat tableFormat(const QList<qreal> &widths)
{
    QTextTableFormat format;
    QList<QTextLength> lengths;
    for (qreal w : widths)
        lengths << QTextLength(QTextLength::FixedLength, w);
    format.setColumnWidthConstraints(lengths);
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(2);
    return format;
}

// Writes `document`, reads it back and checks that it shows the same; writing what was read
// gives the same bytes, so nothing drifts on repeated saves. Returns the RTF.
QByteArray compareRoundTrip(const QTextDocument &document)
{
    const QByteArray rtf = RtfWriter::write(document);
    const auto back = read(rtf);
    [&] {
        QCOMPARE(snapshot(*back), snapshot(document));
        QCOMPARE(RtfWriter::write(*back), rtf);
    }();
    return rtf;
}

const QString samplesDir = QStringLiteral(VANTREL_SHARED_DIR "/rtf-samples");
const QString bundledDir = QStringLiteral(VANTREL_SOURCE_DIR "/tests/rtf/data");

// A sample by its path under the shared samples, or its copy in data/ when that is missing.
std::unique_ptr<QTextDocument> readSample(const QString &file)
{
    const QString shared = samplesDir + '/' + file;
    const QString path
        = QFile::exists(shared) ? shared : bundledDir + '/' + QFileInfo(file).fileName();
    return QFile::exists(path) ? read(readFile(path)) : nullptr;
}

QStringList listItems(const QTextDocument &document)
{
    QStringList items;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b.textList())
            items << b.text();
    }
    return items;
}

} // namespace

class TestRtfRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void samplePage()
    {
        const auto document = TestDocuments::samplePage();
        const QByteArray rtf = compareRoundTrip(*document);
        // What other readers need beyond what our own reader checks by the round trip.
        for (const char *expected : { "{\\rtf1\\ansi\\ansicpg1252\\deff0",
                 // Other than ASCII as \uN with the ANSI fallback, or '?' when it has none.
                 "\\{braces\\} back\\\\slash tab\\tab here \\u233\\'e9\\u8364\\'80 "
                 "\\u-10240?\\u-8398? nb\\~sp soft\\-hy nb\\_hy\\line next line",
                 // 18 px exactly: 270 twips, and RTF's negative \sl means "exactly".
                 "\\sl-270\\slmult0", "\\viewbksp1", "{\\sp{\\sn fillColor}{\\sv 65535}}",
                 // CJK text names its East Asian font; Word's \clpadl is the top padding.
                 "{\\plain\\f1\\fs28\\dbch\\af1\\loch\\u20320?\\u22909? }",
                 "\\trpaddl30\\trpaddt30\\trpaddr30\\trpaddb30",
                 "\\clpadfl3\\clpadl90\\clpadft3\\clpadt60", "{\\listtext\\pard\\plain" })
            QVERIFY2(rtf.contains(expected), expected);
        QVERIFY(rtf.trimmed().endsWith('}'));
        for (char c : rtf)
            QVERIFY(uchar(c) < 0x80);
    }

    void emptyParagraphs()
    {
        for (const char *text : { "", "a\n", "\na", "a\n\n", "\n\n" }) {
            auto document = newDocument();
            document->setPlainText(text);
            QCOMPARE(read(RtfWriter::write(*document))->toPlainText(), QString(text));
        }
    }

    void tables()
    {
        // The sample page holds a table with spans; these are the edge cases.
        // Found by fuzzing: a column wider than any single length RTF allows in one place;
        // the cell edges still add up.
        auto wide = newDocument();
        QTextTable *wideTable
            = QTextCursor(wide.get()).insertTable(1, 4, tableFormat({ 427, 21000, 96, 96 }));
        wideTable->cellAt(0, 3).firstCursorPosition().insertText(QStringLiteral("last"));
        compareRoundTrip(*wide);
        // A table at the very start and two tables in a row.
        auto twoTables = newDocument();
        QTextCursor c2(twoTables.get());
        c2.insertTable(1, 2, tableFormat({ 40, 60 }));
        c2.movePosition(QTextCursor::End);
        c2.insertTable(2, 1, tableFormat({ 33 }));
        compareRoundTrip(*twoTables);
    }

    void pictures()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.png"));
        QVERIFY(testImage(5, 4).save(path));
        auto document = newDocument();
        document->addResource(QTextDocument::ImageResource, QUrl("mem:image"), testImage(7, 3));
        document->addResource(
            QTextDocument::ImageResource, QUrl("mem:bytes"), encoded(testImage(2, 3)));
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("pictures "), chars("DejaVu Sans", 10));
        auto insert = [&cursor](const QString &name, qreal width = 0, qreal height = 0) {
            QTextImageFormat f;
            f.setName(name);
            if (width > 0) {
                f.setWidth(width);
                f.setHeight(height);
            }
            cursor.insertImage(f);
        };
        insert(QStringLiteral("mem:image"), 14, 6); // scaled
        insert(QStringLiteral("mem:bytes")); // at its own size
        insert(path, 5, 4);
        insert(QStringLiteral("mem:image"), 14, 6); // the same image twice
        const QByteArray rtf = RtfWriter::write(*document);
        QCOMPARE(rtf.count("\\pngblip"), 4);
        QVERIFY(rtf.contains("\\picw7\\pich3\\picwgoal210\\pichgoal90"));
        QStringList expected = snapshot(*document);
        // An image without a size is read back at its own size, now stated.
        expected.replaceInStrings(QRegularExpression(QStringLiteral("^ image 0x0 pixels=2x3")),
            QStringLiteral(" image 2x3 pixels=2x3"));
        QCOMPARE(snapshot(*read(rtf)), expected);
    }

    void picturesReadFromRtfKeepTheirPngData()
    {
        // PNG with an unusual encoding (no compression) that Qt would never write itself,
        // large enough to be worth keeping.
        const QByteArray hex = encoded(testImage(100, 50), "PNG", 100).toHex();
        const auto document = read("{\\rtf1{\\pict\\pngblip " + hex + "}}");
        QVERIFY(RtfWriter::write(*document).replace("\n", "").contains(hex)); // copied
        // An edited picture is a new image and is encoded from its pixels.
        const QTextImageFormat format = images(*document).value(0);
        QImage image = imageOf(*document, format);
        image.setPixelColor(0, 0, QColor(0, 255, 0));
        document->addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
        const QByteArray written = RtfWriter::write(*document);
        QVERIFY(!QByteArray(written).replace("\n", "").contains(hex));
        const auto back = read(written);
        QCOMPARE(imageOf(*back, images(*back).value(0)), image);
    }

    void allSamplesLoadAndRoundTrip_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator it(
            samplesDir, { QStringLiteral("*.rtf") }, QDir::Files, QDirIterator::Subdirectories);
        QStringList paths;
        while (it.hasNext())
            paths << it.next();
        paths.sort();
        if (paths.isEmpty()) {
            qWarning("%s is missing: the tests of the shared samples are skipped",
                qPrintable(samplesDir));
            QTest::newRow("no samples") << QString();
        }
        for (const QString &path : paths)
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    }

    void allSamplesLoadAndRoundTrip()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("shared RTF samples are not available");
        RtfReadResult result;
        const auto document = read(readFile(path), &result);
        if (path.contains(QLatin1String("_fail_"))) {
            // Files made to fail: "\foobar" and "/{\rtf1 …" are not RTF.
            QCOMPARE(result.error, QStringLiteral("not an RTF file"));
            return;
        }
        QVERIFY2(result.ok, qPrintable(result.error));
        const QString text = document->toPlainText();
        QVERIFY2(!text.trimmed().isEmpty() || !images(*document).isEmpty(), "nothing shown");
        if (!path.endsWith(QLatin1String("testRTFInvalidUnicode.rtf")))
            QVERIFY(!text.contains(QChar(0xFFFD))); // no undecodable bytes in real files
        // What was read is written and read back as it shows.
        QCOMPARE(snapshot(*read(RtfWriter::write(*document))), snapshot(*document));
    }

    void knownContent_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("text");
        QTest::addColumn<int>("images");
        QTest::addColumn<QStringList>("listItems");
        auto row = [](const char *file, const QStringList &text, int images = -1,
                       const QStringList &listItems = {}) {
            QTest::newRow(file) << QString::fromLatin1(file) << text << images << listItems;
        };
        // Files also in data/ run without the shared samples.
        row("apache__tika/testRTFWindowsCodepage1250.rtf",
            { "zażółć gęślą jaźń", "ZAŻÓŁĆ GĘŚLĄ JAŹŃ" });
        row("apache__tika/testRTFUnicodeGothic.rtf", { QString::fromUtf8("𐌲𐌿𐍄𐌹𐍃𐌺") });
        const QStringList items { "Bullet", "Bullet 2", "List 1", "List 2" };
        row("erdomke__RtfPipe/List.rtf",
            { "Paragraph\nBullet\nBullet 2\nParagraph 2\nList 1\nList 2" }, 0, items);
        row("erdomke__RtfPipe/ListWord.rtf", {}, -1, items);
        row("apache__tika/testRTFListLibreOffice.rtf", {}, -1,
            { "one", "two", "three", "first", "second", "third" });
        row("erdomke__RtfPipe/RtfParserTest_8.rtf", { "新功能", "加入 URL 加亮到状态窗" }); // GBK
        row("apache__tika/testRTF-ms932.rtf", { "こんにちは", "テスト" });
        row("erdomke__RtfPipe/RtfParserTest_7.rtf",
            { "これはテストです。", "says that “This is just a test” in" });
        row("apache__tika/testRTFHyperlink.rtf",
            { "frequently asked questions", "Junk E-mail Filter", "Microsoft® Office Outlook®" });
        row("apache__tika/testRTFWithCurlyBraces.rtf", { "{ some text inside curly brackets }" });
        row("erdomke__RtfPipe/Issue52.rtf", { "Chinese Patent Application No." });
        row("erdomke__RtfPipe/Issue23.rtf", { "就诊时间" });
        row("apache__tika/testRTFInvalidUnicode.rtf", { "Unpaired hi", "Mismatched pair" });
        row("apache__tika/testRTFRegularImages.rtf", {}, 2); // JPEG and WMF
        row("erdomke__RtfPipe/Issue37.rtf", {}, 2); // PNG in \shppict
        row("erdomke__RtfPipe/PictureObjectEmbed2.rtf", {}, 1); // an object's result
        row("erdomke__RtfPipe/phprtflite_images.rtf", {}, 11); // in tables, not the header
        row("erdomke__RtfPipe/Issue39.rtf", {}, 0); // only in the header
    }

    void knownContent()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, text);
        QFETCH(int, images);
        QFETCH(QStringList, listItems);
        const auto document = readSample(file);
        if (!document)
            QSKIP("shared RTF samples are not available");
        for (const QString &t : text)
            QVERIFY2(document->toPlainText().contains(t), qPrintable(t));
        if (images >= 0)
            QCOMPARE(TestDocuments::images(*document).size(), images);
        if (!listItems.isEmpty())
            QCOMPARE(::listItems(*document), listItems);
    }

    void bundledFormats()
    {
        const auto table = readSample(QStringLiteral("testRTFTableCellSeparation.rtf"));
        QVERIFY(table && firstTable(*table));
        QCOMPARE(tableText(firstTable(*table)), QStringLiteral("a;b/c;d/ä;ë/ö;ü"));
        QCOMPARE(firstTable(*table)->format().columnWidthConstraints().at(1).rawValue(),
            (9468 - 4680) / 15.0);
        // A decimal list, and Gothic letters in Arial 10 pt.
        const QStringList list = snapshot(*readSample(QStringLiteral("List.rtf")));
        const int item = list.indexOf(QRegularExpression(QStringLiteral(" run 'List 1' .*")));
        QVERIFY(item >= 2 && list.at(item - 2).contains(" style=-4 "));
        const auto gothic = readSample(QStringLiteral("testRTFUnicodeGothic.rtf"));
        QVERIFY(snapshot(*gothic).filter(" run ").value(0).contains(" font='Arial' 10pt "));
    }
};

QTEST_MAIN(TestRtfRoundTrip)
#include "tst_rtfroundtrip.moc"
