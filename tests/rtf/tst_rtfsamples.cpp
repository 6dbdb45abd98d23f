#include "documentsnapshot.h"
#include "rtfreader.h"
#include "rtfwriter.h"

#include <QDirIterator>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

#include <memory>

namespace {

const QString samplesDir = QStringLiteral(VANTREL_SHARED_DIR "/rtf-samples");
const QString bundledDir = QStringLiteral(VANTREL_SOURCE_DIR "/tests/rtf/data");

QByteArray load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

std::unique_ptr<QTextDocument> read(const QByteArray &rtf, RtfReadResult *result = nullptr)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    const RtfReadResult r = RtfReader::read(rtf, document.get());
    if (result)
        *result = r;
    return document;
}

int imageCount(const QTextDocument &document)
{
    int count = 0;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                count += it.fragment().length();
        }
    }
    return count;
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

void addSampleRows()
{
    QTest::addColumn<QString>("path");
    QDirIterator it(
        samplesDir, { QStringLiteral("*.rtf") }, QDir::Files, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    if (paths.isEmpty())
        QTest::newRow("no samples") << QString(); // the test skips
    for (const QString &path : paths)
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

} // namespace

class TestRtfSamples : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo(samplesDir).isDir())
            qWarning("%s is missing: the tests of the shared samples are skipped",
                qPrintable(samplesDir));
    }

    void allSamplesLoad_data() { addSampleRows(); }

    void allSamplesLoad()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("shared RTF samples are not available");
        const QByteArray rtf = load(path);
        RtfReadResult result;
        QElapsedTimer timer;
        timer.start();
        const auto document = read(rtf, &result);
        QVERIFY(timer.elapsed() < 5000);
        if (path.contains(QLatin1String("_fail_"))) {
            // Files made to fail: "\foobar" and "/{\rtf1 …" are not RTF.
            QVERIFY(!result.ok);
            QCOMPARE(result.error, QStringLiteral("not an RTF file"));
            return;
        }
        QVERIFY2(result.ok, qPrintable(result.error));
        const QString text = document->toPlainText();
        QVERIFY2(!text.trimmed().isEmpty() || imageCount(*document) > 0, "nothing shown");
        if (!path.endsWith(QLatin1String("testRTFInvalidUnicode.rtf")))
            QVERIFY(!text.contains(QChar(0xFFFD))); // no undecodable bytes in real files
    }

    void knownText_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected");
        auto row = [](const char *file, const QStringList &expected) {
            QTest::newRow(file) << QString::fromLatin1(file) << expected;
        };
        row("erdomke__RtfPipe/RtfParserTest_8.rtf", { "新功能", "加入 URL 加亮到状态窗" }); // GBK
        row("apache__tika/testRTFWindowsCodepage1250.rtf",
            { "zażółć gęślą jaźń", "ZAŻÓŁĆ GĘŚLĄ JAŹŃ" });
        row("apache__tika/testRTFWordPadCzechCharacters.rtf", { "Článek týdne", "Část svitku" });
        row("apache__tika/testRTFWord2010CzechCharacters.rtf", { "Článek týdne", "Mrtvého moře" });
        row("apache__tika/testRTFUnicodeGothic.rtf", { QString::fromUtf8("𐌲𐌿𐍄𐌹𐍃𐌺") });
        row("apache__tika/testRTF-ms932.rtf", { "こんにちは", "テスト" });
        row("erdomke__RtfPipe/RtfParserTest_4.rtf", { "バージョンアップ注文書（銀行振込）" });
        row("erdomke__RtfPipe/RtfParserTest_5.rtf", { "バージョン 8.5", "リリース ノート" });
        row("erdomke__RtfPipe/RtfParserTest_6.rtf", { "シンセサーバー構造", "copyright ©" });
        row("erdomke__RtfPipe/RtfParserTest_7.rtf",
            { "これはテストです。", "says that “This is just a test” in" });
        row("apache__tika/testRTFJapanese.rtf",
            { "ゾルゲと尾崎、淡々と最期", "古書店で処刑記録見つかる" });
        row("apache__tika/testRTFUnicodeUCNControlWordCharacterDoubling.rtf", { "年 abc" });
        row("apache__tika/testRTFHyperlink.rtf",
            { "frequently asked questions", "Junk E-mail Filter", "Microsoft® Office Outlook®" });
        row("apache__tika/testRTFTIKA_1713.rtf", { "For discussion" });
        row("apache__tika/testRTFWithCurlyBraces.rtf", { "{ some text inside curly brackets }" });
        row("apache__tika/testRTFTableCellSeparation.rtf", { "a", "ä", "ü" });
        row("erdomke__RtfPipe/Issue52.rtf", { "Chinese Patent Application No." });
        row("erdomke__RtfPipe/Issue23.rtf", { "就诊时间" });
        row("apache__tika/testRTFInvalidUnicode.rtf", { "Unpaired hi", "Mismatched pair" });
        row("apache__tika/testRTFUmlautSpaces2.rtf", { "Übersicht" });
    }

    void knownText()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        const QString path = samplesDir + QLatin1Char('/') + file;
        if (!QFileInfo::exists(path))
            QSKIP("shared RTF samples are not available");
        const QString text = read(load(path))->toPlainText();
        for (const QString &e : expected)
            QVERIFY2(text.contains(e), qPrintable(e));
    }

    void picturesLoadAsImages_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("images");
        QTest::newRow("jpeg and wmf") << "apache__tika/testRTFRegularImages.rtf" << 2;
        QTest::newRow("png in shppict") << "erdomke__RtfPipe/Issue37.rtf" << 2;
        QTest::newRow("object result wmf") << "erdomke__RtfPipe/PictureObjectEmbed2.rtf" << 1;
        QTest::newRow("in tables, not the header")
            << "erdomke__RtfPipe/phprtflite_images.rtf" << 11;
        QTest::newRow("only in the header") << "erdomke__RtfPipe/Issue39.rtf" << 0;
    }

    void picturesLoadAsImages()
    {
        QFETCH(QString, file);
        QFETCH(int, images);
        const QString path = samplesDir + QLatin1Char('/') + file;
        if (!QFileInfo::exists(path))
            QSKIP("shared RTF samples are not available");
        QCOMPARE(imageCount(*read(load(path))), images);
    }

    void listsHaveTheirItems()
    {
        const auto wordPad = read(load(bundledDir + QStringLiteral("/List.rtf")));
        QCOMPARE(listItems(*wordPad), (QStringList { "Bullet", "Bullet 2", "List 1", "List 2" }));
        QCOMPARE(wordPad->toPlainText(),
            QStringLiteral("Paragraph\nBullet\nBullet 2\nParagraph 2\nList 1\nList 2"));
        const QTextBlock first = wordPad->findBlock(wordPad->toPlainText().indexOf("List 1"));
        QCOMPARE(first.textList()->format().style(), QTextListFormat::ListDecimal);

        const QString word = samplesDir + QStringLiteral("/erdomke__RtfPipe/ListWord.rtf");
        const QString libreOffice
            = samplesDir + QStringLiteral("/apache__tika/testRTFListLibreOffice.rtf");
        if (!QFileInfo::exists(word))
            QSKIP("shared RTF samples are not available");
        QCOMPARE(listItems(*read(load(word))).size(), 4);
        QVERIFY(listItems(*read(load(libreOffice))).size() >= 6);
    }

    void tableCellsKeepTheirText()
    {
        const auto document
            = read(load(bundledDir + QStringLiteral("/testRTFTableCellSeparation.rtf")));
        QTextTable *table = nullptr;
        for (auto it = document->rootFrame()->begin(); !it.atEnd() && !table; ++it)
            table = qobject_cast<QTextTable *>(it.currentFrame());
        QVERIFY(table);
        QCOMPARE(table->rows(), 4);
        QCOMPARE(table->columns(), 2);
        const QStringList expected { "a", "b", "c", "d", "ä", "ë", "ö", "ü" };
        for (int i = 0; i < expected.size(); ++i) {
            const QTextTableCell cell = table->cellAt(i / 2, i % 2);
            QCOMPARE(cell.firstCursorPosition().block().text(), expected.at(i));
        }
        QCOMPARE(table->format().columnWidthConstraints().at(1).rawValue(), (9468 - 4680) / 15.0);
    }

    void bundledCodePages()
    {
        QCOMPARE(read(load(bundledDir + QStringLiteral("/testRTFWindowsCodepage1250.rtf")))
                     ->toPlainText()
                     .section('\n', 0, 0),
            QStringLiteral("zażółć gęślą jaźń"));
        const auto gothic = read(load(bundledDir + QStringLiteral("/testRTFUnicodeGothic.rtf")));
        QCOMPARE(gothic->toPlainText(), QString::fromUtf8("𐌲𐌿𐍄𐌹𐍃𐌺"));
        QTextCursor cursor(gothic.get());
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().fontFamilies().toStringList(), QStringList { "Arial" });
        QCOMPARE(cursor.charFormat().fontPointSize(), 10.0);
    }

    void roundTripKeepsWhatIsShown_data() { addSampleRows(); }

    void roundTripKeepsWhatIsShown()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("shared RTF samples are not available");
        RtfReadResult result;
        const auto document = read(load(path), &result);
        if (!result.ok)
            return;
        const QByteArray rtf = RtfWriter::write(*document);
        const auto back = read(rtf, &result);
        QVERIFY(result.ok);
        QCOMPARE(DocumentSnapshot::describe(*back), DocumentSnapshot::describe(*document));
    }
};

QTEST_MAIN(TestRtfSamples)
#include "tst_rtfsamples.moc"
