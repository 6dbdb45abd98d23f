#include "rtfreader.h"
#include "rtfwriter.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

#include <memory>

namespace {

constexpr int conversionTimeoutMs = 180000; // the first start of a fresh profile is slow

const QColor ledRed(255, 0, 0);
const QColor ledGreen(0, 255, 0);
const QColor ledYellow(255, 255, 0);

QTextCharFormat chars(const QString &family, qreal size, const QColor &color = QColor())
{
    QTextCharFormat f;
    f.setFontFamilies({ family });
    f.setFontPointSize(size);
    if (color.isValid())
        f.setForeground(color);
    return f;
}

QImage picture()
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(ledGreen);
    image.setPixelColor(0, 0, ledRed);
    image.setPixelColor(5, 3, ledYellow);
    return image;
}

// Text with bold, italic and underline in two fonts and three sizes, the LED colours,
// centred and right-aligned paragraphs, indents, exact line spacing, a bullet list, a 2×2
// table and a picture.
std::unique_ptr<QTextDocument> sampleDocument()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    document->addResource(QTextDocument::ImageResource, QUrl("mem:picture"), picture());
    QTextCursor c(document.get());
    const QTextCharFormat body = chars("DejaVu Sans", 12);
    QTextCharFormat bold = body;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat italic = body;
    italic.setFontItalic(true);
    QTextCharFormat underline = body;
    underline.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    c.insertText(QStringLiteral("Plain "), body);
    c.insertText(QStringLiteral("boldword"), bold);
    c.insertText(QStringLiteral(" "), body);
    c.insertText(QStringLiteral("italicword"), italic);
    c.insertText(QStringLiteral(" "), body);
    c.insertText(QStringLiteral("underword"), underline);
    c.insertText(QStringLiteral(" "), body);
    c.insertText(QStringLiteral("serifword"), chars("DejaVu Serif", 20));

    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centre, body);
    c.insertText(QStringLiteral("redword"), chars("DejaVu Sans", 12, ledRed));
    c.insertText(QStringLiteral(" "), body);
    c.insertText(QStringLiteral("greenword"), chars("DejaVu Sans", 12, ledGreen));
    c.insertText(QStringLiteral(" "), body);
    c.insertText(QStringLiteral("yellowword"), chars("DejaVu Sans", 12, ledYellow));

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right, body);
    c.insertText(QStringLiteral("rightline"), body);

    QTextBlockFormat indented;
    indented.setLeftMargin(20);
    indented.setRightMargin(10);
    indented.setTextIndent(8);
    c.insertBlock(indented, body);
    c.insertText(QStringLiteral("indentedline"), body);

    QTextBlockFormat exact;
    exact.setLineHeight(18, QTextBlockFormat::FixedHeight);
    c.insertBlock(exact, body);
    c.insertText(QStringLiteral("exactline"), body);

    c.insertBlock(QTextBlockFormat(), body);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    c.createList(bullets);
    c.insertText(QStringLiteral("firstitem"), body);
    c.insertBlock();
    c.insertText(QStringLiteral("seconditem"), body);

    c.insertBlock(QTextBlockFormat(), body);
    QTextTableFormat tableFormat;
    tableFormat.setColumnWidthConstraints(
        { QTextLength(QTextLength::FixedLength, 100), QTextLength(QTextLength::FixedLength, 120) });
    tableFormat.setBorder(1);
    tableFormat.setCellSpacing(0);
    QTextTable *table = c.insertTable(2, 2, tableFormat);
    const QStringList cells { "cellA1", "cellB1", "cellA2", "cellB2" };
    for (int i = 0; i < 4; ++i)
        table->cellAt(i / 2, i % 2).firstCursorPosition().insertText(cells.at(i), body);

    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("picture "), body);
    QTextImageFormat image;
    image.setName(QStringLiteral("mem:picture"));
    image.setWidth(12);
    image.setHeight(8);
    c.insertImage(image);
    return document;
}

QTextBlock blockWith(const QTextDocument &document, const QString &text)
{
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b.text().contains(text))
            return b;
    }
    return QTextBlock();
}

QTextCharFormat formatOf(const QTextDocument &document, const QString &word)
{
    const QTextBlock block = blockWith(document, word);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().text().contains(word))
            return it.fragment().charFormat();
    }
    return QTextCharFormat();
}

} // namespace

class TestRtfLibreOffice : public QObject
{
    Q_OBJECT

private:
    QString m_soffice;
    QTemporaryDir m_dir;

    // Converts `input` with LibreOffice to `format` ("rtf", "html", …) into out/.
    QString convert(const QString &input, const QString &format)
    {
        const QString outDir = m_dir.filePath(QStringLiteral("out-") + format);
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(m_soffice,
            { QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath("profile"),
                QStringLiteral("--headless"), QStringLiteral("--norestore"),
                QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir,
                input });
        if (!process.waitForFinished(conversionTimeoutMs)) {
            process.kill();
            process.waitForFinished();
            qWarning() << "soffice did not finish:" << process.readAll();
            return QString();
        }
        const QString output = outDir + QLatin1Char('/') + QFileInfo(input).completeBaseName()
            + QLatin1Char('.') + format;
        if (!QFileInfo::exists(output))
            qWarning() << "soffice made no output:" << process.readAll();
        return output;
    }

private slots:
    void initTestCase()
    {
        m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (m_soffice.isEmpty())
            QSKIP("soffice (LibreOffice) is not installed");
        QVERIFY(m_dir.isValid());
    }

    void libreOfficeReadsWhatWeWrite()
    {
        const auto document = sampleDocument();
        const QString input = m_dir.filePath(QStringLiteral("page.rtf"));
        {
            QFile file(input);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(RtfWriter::write(*document));
        }
        const QString rtfPath = convert(input, QStringLiteral("rtf"));
        QFile rtfFile(rtfPath);
        QVERIFY2(rtfFile.open(QIODevice::ReadOnly), qPrintable(rtfPath));
        const QByteArray rtf = rtfFile.readAll();
        QVERIFY(rtf.contains("\\sl-270\\slmult0")); // LibreOffice kept the exact 13.5 pt
        QTextDocument back;
        back.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        const RtfReadResult result = RtfReader::read(rtf, &back);
        QVERIFY2(result.ok, qPrintable(result.error));

        const QString text = back.toPlainText();
        for (const char *word : { "Plain", "boldword", "italicword", "underword", "serifword",
                 "redword", "greenword", "yellowword", "rightline", "indentedline", "exactline",
                 "firstitem", "seconditem", "cellA1", "cellB2", "picture" })
            QVERIFY2(text.contains(QLatin1String(word)), word);

        QCOMPARE(formatOf(back, "boldword").fontWeight(), int(QFont::Bold));
        QVERIFY(formatOf(back, "italicword").fontItalic());
        QCOMPARE(formatOf(back, "underword").underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(formatOf(back, "serifword").fontFamilies().toStringList(),
            QStringList { "DejaVu Serif" });
        QCOMPARE(formatOf(back, "serifword").fontPointSize(), 20.0);
        QCOMPARE(
            formatOf(back, "Plain").fontFamilies().toStringList(), QStringList { "DejaVu Sans" });
        QCOMPARE(formatOf(back, "Plain").fontPointSize(), 12.0);
        QCOMPARE(formatOf(back, "redword").foreground().color(), ledRed);
        QCOMPARE(formatOf(back, "greenword").foreground().color(), ledGreen);
        QCOMPARE(formatOf(back, "yellowword").foreground().color(), ledYellow);

        QCOMPARE(blockWith(back, "redword").blockFormat().alignment() & Qt::AlignHorizontal_Mask,
            Qt::AlignHCenter);
        QCOMPARE(blockWith(back, "rightline").blockFormat().alignment() & Qt::AlignHorizontal_Mask,
            Qt::AlignRight);
        const QTextBlockFormat indented = blockWith(back, "indentedline").blockFormat();
        QVERIFY(qAbs(indented.leftMargin() - 20) < 0.5);
        QVERIFY(qAbs(indented.rightMargin() - 10) < 0.5);
        QVERIFY(qAbs(indented.textIndent() - 8) < 0.5);
        const QTextBlockFormat exact = blockWith(back, "exactline").blockFormat();
        QCOMPARE(exact.lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QVERIFY(qAbs(exact.lineHeight() - 18) < 0.1);

        const QTextList *list = blockWith(back, "firstitem").textList();
        QVERIFY(list);
        QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(blockWith(back, "seconditem").textList(), list);

        QTextTable *table = nullptr;
        for (QTextBlock b = back.begin(); b.isValid() && !table; b = b.next())
            table = QTextCursor(b).currentTable();
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 2);
        QCOMPARE(
            table->cellAt(0, 0).firstCursorPosition().block().text(), QStringLiteral("cellA1"));
        QCOMPARE(
            table->cellAt(1, 1).firstCursorPosition().block().text(), QStringLiteral("cellB2"));
        const QList<QTextLength> widths = table->format().columnWidthConstraints();
        QCOMPARE(widths.size(), 2);
        QVERIFY(qAbs(widths.at(1).rawValue() - 120) < 1);

        QTextImageFormat image;
        const QTextBlock pictureBlock = blockWith(back, "picture");
        for (auto it = pictureBlock.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                image = it.fragment().charFormat().toImageFormat();
        }
        QVERIFY(image.isValid());
        const QImage pixels
            = back.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
        QCOMPARE(pixels.size(), QSize(6, 4));
        QCOMPARE(pixels.pixelColor(0, 0), ledRed);
        QCOMPARE(pixels.pixelColor(5, 3), ledYellow);
        QVERIFY(qAbs(image.width() - 12) < 0.5);
    }

    void libreOfficeShowsTheTextAsHtml()
    {
        const QString input = m_dir.filePath(QStringLiteral("page.rtf"));
        QVERIFY(QFileInfo::exists(input));
        const QString htmlPath = convert(input, QStringLiteral("html"));
        QFile html(htmlPath);
        QVERIFY2(html.open(QIODevice::ReadOnly), qPrintable(htmlPath));
        const QString page = QString::fromUtf8(html.readAll()).toLower();
        QVERIFY(page.contains(QLatin1String("<b>boldword</b>")));
        QVERIFY(page.contains(QLatin1String("<i>italicword</i>")));
        QVERIFY(page.contains(QLatin1String("#ff0000")));
        QVERIFY(page.contains(QLatin1String("#00ff00")));
        QVERIFY(page.contains(QLatin1String("#ffff00")));
        QVERIFY(page.contains(QLatin1String("<table")));
        QVERIFY(page.contains(QLatin1String("<img")));
        QVERIFY(page.contains(QLatin1String("<li")));
    }
};

QTEST_MAIN(TestRtfLibreOffice)
#include "tst_rtflibreoffice.moc"
