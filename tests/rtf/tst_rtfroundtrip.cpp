#include "documentsnapshot.h"
#include "rtfreader.h"
#include "rtfwriter.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

#include <memory>

namespace {

const QColor ledRed(255, 0, 0);
const QColor ledGreen(0, 255, 0);
const QColor ledYellow(255, 255, 0);

std::unique_ptr<QTextDocument> newDocument()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    return document;
}

std::unique_ptr<QTextDocument> readBack(const QByteArray &rtf)
{
    auto document = newDocument();
    const RtfReadResult result = RtfReader::read(rtf, document.get());
    if (!result.ok)
        qWarning() << "cannot read back:" << result.error;
    return document;
}

QTextCharFormat chars(const QString &family, qreal size, const QColor &color = QColor())
{
    QTextCharFormat f;
    f.setFontFamilies({ family });
    f.setFontPointSize(size);
    if (color.isValid())
        f.setForeground(color);
    return f;
}

QImage testImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 40, y * 60, (x + y) * 20, x == 0 ? 128 : 255));
    }
    return image;
}

} // namespace

class TestRtfRoundTrip : public QObject
{
    Q_OBJECT

private:
    void compareRoundTrip(const QTextDocument &document)
    {
        const QByteArray rtf = RtfWriter::write(document);
        const auto back = readBack(rtf);
        QCOMPARE(DocumentSnapshot::describe(*back), DocumentSnapshot::describe(document));
        // Writing what was read gives the same bytes: nothing drifts on repeated saves.
        QCOMPARE(RtfWriter::write(*back), rtf);
    }

private slots:
    void characterFormats()
    {
        auto document = newDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("auto "), chars("DejaVu Sans", 10));
        cursor.insertText(QStringLiteral("red "), chars("DejaVu Sans", 10, ledRed));
        cursor.insertText(QStringLiteral("green "), chars("DejaVu Sans", 10, ledGreen));
        cursor.insertText(QStringLiteral("yellow "), chars("DejaVu Serif", 17.5, ledYellow));
        QTextCharFormat f = chars("Liberation Mono", 8);
        f.setFontWeight(QFont::Bold);
        f.setFontItalic(true);
        f.setUnderlineStyle(QTextCharFormat::DashUnderline);
        f.setFontStrikeOut(true);
        f.setBackground(ledGreen);
        cursor.insertText(QStringLiteral("mixed "), f);
        for (auto style : { QTextCharFormat::SingleUnderline, QTextCharFormat::DotLine,
                 QTextCharFormat::DashDotLine, QTextCharFormat::DashDotDotLine,
                 QTextCharFormat::WaveUnderline }) {
            QTextCharFormat u = chars("DejaVu Sans", 10);
            u.setUnderlineStyle(style);
            cursor.insertText(QStringLiteral("u%1 ").arg(style), u);
        }
        QTextCharFormat sup = chars("DejaVu Sans", 10);
        sup.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        cursor.insertText(QStringLiteral("sup"), sup);
        // A run without family or size takes the document's default font.
        cursor.insertText(QStringLiteral(" default"), QTextCharFormat());
        compareRoundTrip(*document);
    }

    void ledColoursAreExactAndAutoWritesNoColour()
    {
        auto document = newDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("plain"), chars("DejaVu Sans", 10));
        const QByteArray plainOnly = RtfWriter::write(*document);
        QVERIFY(!plainOnly.contains("\\cf"));
        QVERIFY(plainOnly.contains("{\\colortbl ;}"));
        cursor.insertText(QStringLiteral("r"), chars("DejaVu Sans", 10, ledRed));
        cursor.insertText(QStringLiteral("g"), chars("DejaVu Sans", 10, ledGreen));
        cursor.insertText(QStringLiteral("y"), chars("DejaVu Sans", 10, ledYellow));
        const QByteArray rtf = RtfWriter::write(*document);
        QVERIFY(rtf.contains(
            "{\\colortbl "
            ";\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red255\\green255\\blue0;}"));
        const auto back = readBack(rtf);
        QTextCursor c(back.get());
        c.setPosition(5 + 1);
        QCOMPARE(c.charFormat().foreground().color(), ledRed);
        c.setPosition(6 + 1);
        QCOMPARE(c.charFormat().foreground().color(), ledGreen);
        c.setPosition(7 + 1);
        QCOMPARE(c.charFormat().foreground().color(), ledYellow);
        c.setPosition(1);
        QVERIFY(!c.charFormat().hasProperty(QTextFormat::ForegroundBrush));
    }

    void headerIsPlainRtf()
    {
        auto document = newDocument();
        QTextCursor(document.get()).insertText(QStringLiteral("x"), chars("Liberation Mono", 12));
        const QByteArray rtf = RtfWriter::write(*document);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
        QVERIFY(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 DejaVu Sans;}"
                             "{\\f1\\fnil\\fcharset0 Liberation Mono;}}"));
        QVERIFY(rtf.contains("\\viewkind4\\uc1"));
        QVERIFY(rtf.trimmed().endsWith('}'));
    }

    void textEscaping()
    {
        auto document = newDocument();
        QTextCursor cursor(document.get());
        const QString text = QString::fromUtf8("{braces} back\\slash tab\there é€ 你好 ")
            + QString::fromUtf8("\xF0\x90\x8C\xB2 nb\u00a0sp soft\u00adhy nb\u2011hy")
            + QChar(QChar::LineSeparator) + QStringLiteral("next line");
        cursor.insertText(text, chars("DejaVu Sans", 10));
        const QByteArray rtf = RtfWriter::write(*document);
        QVERIFY(rtf.contains("\\{braces\\} back\\\\slash tab\\tab here \\u233\\'e9\\u8364\\'80 "
                             "\\u20320?\\u22909? \\u-10240?\\u-8398? nb\\~sp soft\\-hy nb\\_hy"
                             "\\line next line"));
        for (char c : rtf)
            QVERIFY(uchar(c) < 0x80); // 7-bit clean
        QCOMPARE(readBack(rtf)->begin().text(), text); // toPlainText() would map U+00A0, U+2028
    }

    void paragraphFormats()
    {
        auto document = newDocument();
        QTextCursor cursor(document.get());
        QTextBlockFormat centre;
        centre.setAlignment(Qt::AlignHCenter);
        centre.setLeftMargin(4);
        centre.setRightMargin(2);
        centre.setTextIndent(-3);
        centre.setTopMargin(1);
        centre.setBottomMargin(5);
        cursor.setBlockFormat(centre);
        cursor.insertText(QStringLiteral("centre"), chars("DejaVu Sans", 10));
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        right.setLineHeight(18, QTextBlockFormat::FixedHeight);
        cursor.insertBlock(right, chars("DejaVu Sans", 24));
        cursor.insertText(QStringLiteral("right exact"), chars("DejaVu Sans", 10));
        QTextBlockFormat justify;
        justify.setAlignment(Qt::AlignJustify);
        justify.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        cursor.insertBlock(justify, chars("DejaVu Sans", 10));
        cursor.insertText(QStringLiteral("justify proportional"), chars("DejaVu Sans", 10));
        QTextBlockFormat minimum;
        minimum.setLineHeight(20, QTextBlockFormat::MinimumHeight);
        cursor.insertBlock(minimum, chars("DejaVu Sans", 10));
        cursor.insertText(QStringLiteral("at least"), chars("DejaVu Sans", 10));
        cursor.insertBlock(QTextBlockFormat(), chars("DejaVu Sans", 30)); // empty, big mark
        cursor.insertBlock(QTextBlockFormat(), chars("DejaVu Sans", 10));
        cursor.insertText(QStringLiteral("last"), chars("DejaVu Sans", 10));
        compareRoundTrip(*document);
    }

    void exactLineSpacingContract()
    {
        // 18 px exact = 270 twips, written with RTF's negative \sl for "exactly".
        auto document = newDocument();
        QTextCursor cursor(document.get());
        QTextBlockFormat exact;
        exact.setLineHeight(18, QTextBlockFormat::FixedHeight);
        cursor.setBlockFormat(exact);
        cursor.insertText(QStringLiteral("exact"));
        const QByteArray rtf = RtfWriter::write(*document);
        QVERIFY(rtf.contains("\\sl-270\\slmult0"));
        const QTextBlockFormat back = readBack(rtf)->begin().blockFormat();
        QCOMPARE(back.lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QCOMPARE(back.lineHeight(), 18.0);
    }

    void trailingAndLeadingEmptyParagraphs()
    {
        for (const QString &text : { QStringLiteral(""), QStringLiteral("a\n"),
                 QStringLiteral("\na"), QStringLiteral("a\n\n"), QStringLiteral("\n\n") }) {
            auto document = newDocument();
            document->setPlainText(text);
            const auto back = readBack(RtfWriter::write(*document));
            QCOMPARE(back->blockCount(), document->blockCount());
            QCOMPARE(back->toPlainText(), text);
        }
    }

    void lists()
    {
        auto document = newDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("intro"), chars("DejaVu Sans", 10));
        QTextListFormat disc;
        disc.setStyle(QTextListFormat::ListDisc);
        cursor.insertBlock(QTextBlockFormat(), chars("DejaVu Sans", 10));
        QTextList *bullets = cursor.createList(disc);
        cursor.insertText(QStringLiteral("bullet one"), chars("DejaVu Sans", 10));
        QTextListFormat decimal;
        decimal.setStyle(QTextListFormat::ListLowerRoman);
        decimal.setIndent(2);
        decimal.setNumberSuffix(QStringLiteral(")"));
        cursor.insertBlock(QTextBlockFormat(), chars("DejaVu Sans", 10));
        cursor.createList(decimal);
        cursor.insertText(QStringLiteral("nested i"), chars("DejaVu Sans", 10));
        cursor.insertBlock(QTextBlockFormat(), chars("DejaVu Sans", 10));
        cursor.insertText(QStringLiteral("nested ii"), chars("DejaVu Sans", 10));
        cursor.insertBlock(QTextBlockFormat(), chars("DejaVu Sans", 10));
        bullets->add(cursor.block());
        QTextBlockFormat indented = cursor.blockFormat();
        indented.setLeftMargin(6);
        cursor.setBlockFormat(indented);
        cursor.insertText(QStringLiteral("bullet two"), chars("DejaVu Sans", 10));
        for (auto style : { QTextListFormat::ListCircle, QTextListFormat::ListSquare,
                 QTextListFormat::ListDecimal, QTextListFormat::ListUpperAlpha,
                 QTextListFormat::ListLowerAlpha, QTextListFormat::ListUpperRoman }) {
            cursor.insertBlock(QTextBlockFormat(), chars("DejaVu Sans", 10));
            QTextListFormat f;
            f.setStyle(style);
            cursor.createList(f);
            cursor.insertText(QStringLiteral("style %1").arg(style), chars("DejaVu Sans", 10));
        }
        const QByteArray rtf = RtfWriter::write(*document);
        QVERIFY(rtf.contains("{\\*\\listtable"));
        QVERIFY(rtf.contains("{\\*\\listoverridetable"));
        QVERIFY(rtf.contains("{\\listtext\\pard\\plain"));
        compareRoundTrip(*document);
    }

    void tables()
    {
        auto document = newDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("before"), chars("DejaVu Sans", 10));
        cursor.insertBlock(QTextBlockFormat(), chars("DejaVu Sans", 10));
        QTextTableFormat format;
        format.setColumnWidthConstraints({ QTextLength(QTextLength::FixedLength, 40),
            QTextLength(QTextLength::FixedLength, 60), QTextLength(QTextLength::FixedLength, 20) });
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(2);
        QTextTable *table = cursor.insertTable(3, 3, format);
        table->mergeCells(0, 1, 1, 2);
        table->mergeCells(1, 0, 2, 1);
        const char *texts[3][3]
            = { { "a", "bc", nullptr }, { "d", "e", "f" }, { nullptr, "h", "i" } };
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                if (!texts[r][c])
                    continue;
                QTextCursor cell = table->cellAt(r, c).firstCursorPosition();
                cell.insertText(QString::fromLatin1(texts[r][c]), chars("DejaVu Sans", 10, ledRed));
            }
        }
        QTextCursor two = table->cellAt(1, 1).lastCursorPosition();
        QTextBlockFormat centre;
        centre.setAlignment(Qt::AlignHCenter);
        two.insertBlock(centre, chars("DejaVu Sans", 10));
        two.insertText(QStringLiteral("second paragraph"), chars("DejaVu Sans", 10));
        QTextTableCellFormat green = table->cellAt(2, 2).format().toTableCellFormat();
        green.setBackground(ledGreen);
        table->cellAt(2, 2).setFormat(green);
        QTextCursor after(document.get());
        after.movePosition(QTextCursor::End);
        after.insertText(QStringLiteral("after"), chars("DejaVu Sans", 10));
        compareRoundTrip(*document);

        // Columns wider than any single length RTF allows in one place still add up.
        auto wide = newDocument();
        QTextTableFormat wideFormat = format;
        wideFormat.setColumnWidthConstraints({ QTextLength(QTextLength::FixedLength, 427),
            QTextLength(QTextLength::FixedLength, 21000), QTextLength(QTextLength::FixedLength, 96),
            QTextLength(QTextLength::FixedLength, 96) });
        QTextTable *wideTable = QTextCursor(wide.get()).insertTable(1, 4, wideFormat);
        wideTable->cellAt(0, 3).firstCursorPosition().insertText(QStringLiteral("last"));
        compareRoundTrip(*wide);

        // A table at the very start and two tables in a row.
        auto second = newDocument();
        QTextCursor c2(second.get());
        format.setColumnWidthConstraints({ QTextLength(QTextLength::FixedLength, 40),
            QTextLength(QTextLength::FixedLength, 60) });
        c2.insertTable(1, 2, format);
        c2.movePosition(QTextCursor::End);
        format.setColumnWidthConstraints({ QTextLength(QTextLength::FixedLength, 33) });
        c2.insertTable(2, 1, format);
        compareRoundTrip(*second);
    }

    void pictures()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("file.png"));
        QVERIFY(testImage(5, 4).save(path));
        QByteArray encoded;
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        testImage(2, 3).save(&buffer, "PNG");

        auto document = newDocument();
        document->addResource(QTextDocument::ImageResource, QUrl("mem:image"), testImage(7, 3));
        document->addResource(QTextDocument::ImageResource, QUrl("mem:bytes"), encoded);
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("pictures "), chars("DejaVu Sans", 10));
        QTextImageFormat scaled;
        scaled.setName(QStringLiteral("mem:image"));
        scaled.setWidth(14);
        scaled.setHeight(6);
        cursor.insertImage(scaled);
        QTextImageFormat own;
        own.setName(QStringLiteral("mem:bytes"));
        cursor.insertImage(own);
        QTextImageFormat fromFile;
        fromFile.setName(path);
        fromFile.setWidth(5);
        fromFile.setHeight(4);
        cursor.insertImage(fromFile);
        cursor.insertImage(scaled); // the same image twice

        const QByteArray rtf = RtfWriter::write(*document);
        QCOMPARE(rtf.count("\\pngblip"), 4);
        QVERIFY(rtf.contains("\\picw7\\pich3\\picwgoal210\\pichgoal90"));
        const auto back = readBack(rtf);
        QStringList expected = DocumentSnapshot::describe(*document);
        // An image without a size is read back at its own size, now stated.
        expected.replaceInStrings(QRegularExpression(QStringLiteral("^ image 0x0 pixels=2x3")),
            QStringLiteral(" image 2x3 pixels=2x3"));
        QCOMPARE(DocumentSnapshot::describe(*back), expected);
    }

    void picturesReadFromRtfKeepTheirPngData()
    {
        // PNG with an unusual encoding (no compression) that Qt would never write itself.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setQuality(100);
        QVERIFY(writer.write(testImage(100, 50))); // large enough to be worth keeping
        const QByteArray hex = png.toHex();
        const auto document = readBack("{\\rtf1{\\pict\\pngblip " + hex + "}}");
        QByteArray written = RtfWriter::write(*document);
        written.replace("\n", "");
        QVERIFY(written.contains(hex)); // copied, not encoded again

        // An edited picture is a new image and is encoded from its pixels.
        QTextCursor cursor(document.get());
        cursor.setPosition(1);
        const QString name = cursor.charFormat().toImageFormat().name();
        QImage image = document->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
        image.setPixelColor(0, 0, ledGreen);
        document->addResource(QTextDocument::ImageResource, QUrl(name), image);
        written = RtfWriter::write(*document);
        QVERIFY(!QByteArray(written).replace("\n", "").contains(hex));
        const auto back = readBack(written);
        QTextCursor backCursor(back.get());
        backCursor.setPosition(1);
        const QImage backImage = back->resource(QTextDocument::ImageResource,
                                         QUrl(backCursor.charFormat().toImageFormat().name()))
                                     .value<QImage>();
        QCOMPARE(backImage.pixelColor(0, 0), ledGreen);
        QCOMPARE(backImage.pixelColor(99, 49), image.pixelColor(99, 49));
    }

    void pageBackground()
    {
        auto document = newDocument();
        QTextFrameFormat frame = document->rootFrame()->frameFormat();
        frame.setBackground(ledYellow);
        frame.setTopMargin(2);
        document->rootFrame()->setFrameFormat(frame);
        QTextCursor(document.get()).insertText(QStringLiteral("on yellow"));
        const QByteArray rtf = RtfWriter::write(*document);
        QVERIFY(rtf.contains("\\viewbksp1"));
        QVERIFY(rtf.contains("{\\sp{\\sn fillColor}{\\sv 65535}}"));
        auto back = newDocument();
        QTextFrameFormat margins = back->rootFrame()->frameFormat();
        margins.setTopMargin(2);
        back->rootFrame()->setFrameFormat(margins);
        QVERIFY(RtfReader::read(rtf, back.get()).ok);
        QCOMPARE(back->rootFrame()->frameFormat().background().color(), ledYellow);
        QCOMPARE(back->rootFrame()->frameFormat().topMargin(), 2.0);

        auto plain = newDocument();
        QVERIFY(!RtfWriter::write(*plain).contains("\\background"));
    }
};

QTEST_MAIN(TestRtfRoundTrip)
#include "tst_rtfroundtrip.moc"
