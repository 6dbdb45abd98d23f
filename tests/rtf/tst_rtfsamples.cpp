#include "rtfreader.h"
#include "rtfwriter.h"
#include "testdocuments.h"

#include <QDirIterator>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

using namespace TestDocuments;

namespace {

const QString samplesDir = QStringLiteral(VANTREL_SHARED_DIR "/rtf-samples");
const QString bundledDir = QStringLiteral(VANTREL_SOURCE_DIR "/tests/rtf/data");

// A sample by its path under the shared samples, or its copy in data/ when that is missing.
std::unique_ptr<QTextDocument> readSample(const QString &file)
{
    QFile shared(samplesDir + QLatin1Char('/') + file);
    QFile bundled(bundledDir + QLatin1Char('/') + QFileInfo(file).fileName());
    QFile &found = shared.exists() ? shared : bundled;
    if (!found.open(QIODevice::ReadOnly))
        return nullptr;
    return read(found.readAll());
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

class TestRtfSamples : public QObject
{
    Q_OBJECT

private slots:
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
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        RtfReadResult result;
        const auto document = read(file.readAll(), &result);
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
        const auto back = read(RtfWriter::write(*document), &result);
        QVERIFY(result.ok);
        QCOMPARE(snapshot(*back), snapshot(*document));
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
        row("apache__tika/testRTFWordPadCzechCharacters.rtf", { "Článek týdne", "Část svitku" });
        row("apache__tika/testRTFWord2010CzechCharacters.rtf", { "Článek týdne", "Mrtvého moře" });
        row("apache__tika/testRTF-ms932.rtf", { "こんにちは", "テスト" });
        row("erdomke__RtfPipe/RtfParserTest_7.rtf",
            { "これはテストです。", "says that “This is just a test” in" });
        row("apache__tika/testRTFJapanese.rtf",
            { "ゾルゲと尾崎、淡々と最期", "古書店で処刑記録見つかる" });
        row("apache__tika/testRTFHyperlink.rtf",
            { "frequently asked questions", "Junk E-mail Filter", "Microsoft® Office Outlook®" });
        row("apache__tika/testRTFTIKA_1713.rtf", { "For discussion" });
        row("apache__tika/testRTFWithCurlyBraces.rtf", { "{ some text inside curly brackets }" });
        row("erdomke__RtfPipe/Issue52.rtf", { "Chinese Patent Application No." });
        row("erdomke__RtfPipe/Issue23.rtf", { "就诊时间" });
        row("apache__tika/testRTFInvalidUnicode.rtf", { "Unpaired hi", "Mismatched pair" });
        row("apache__tika/testRTFUmlautSpaces2.rtf", { "Übersicht" });
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

QTEST_MAIN(TestRtfSamples)
#include "tst_rtfsamples.moc"
