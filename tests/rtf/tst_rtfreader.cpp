#include "documentsnapshot.h"
#include "rtfpicture.h"
#include "rtfreader.h"

#include <QBuffer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<QTextDocument> read(const QByteArray &rtf, RtfReadResult *result = nullptr)
{
    auto document = std::make_unique<QTextDocument>();
    const RtfReadResult r = RtfReader::read(rtf, document.get());
    if (result)
        *result = r;
    return document;
}

QString text(const QByteArray &rtf)
{
    return read(rtf)->toPlainText();
}

// The text with line separators and no-break spaces as they are (toPlainText() maps them).
QString rawText(const QTextDocument &document)
{
    QStringList blocks;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks.join(QLatin1Char('\n'));
}

// The format of the character at `position` of the document.
QTextCharFormat charAt(const QTextDocument &document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QTextCharFormat charOf(const QTextDocument &document, const QString &word)
{
    const int at = document.toPlainText().indexOf(word);
    return at < 0 ? QTextCharFormat() : charAt(document, at);
}

QByteArray pngHex(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

QList<QTextImageFormat> images(const QTextDocument &document)
{
    QList<QTextImageFormat> out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                out << it.fragment().charFormat().toImageFormat();
        }
    }
    return out;
}

QImage imageOf(const QTextDocument &document, const QTextImageFormat &format)
{
    return document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
}

QTextTable *firstTable(const QTextDocument &document)
{
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame()))
            return table;
    }
    return nullptr;
}

QString cellText(QTextTable *table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor(table->document());
    cursor.setPosition(cell.firstPosition());
    cursor.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('|'));
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void recognisesRtf_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("rtf");
        QTest::newRow("plain") << QByteArray("{\\rtf1 x}") << true;
        QTest::newRow("bom and whitespace") << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 x}") << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("control word only") << QByteArray("\\foobar") << false;
        QTest::newRow("junk before") << QByteArray("/{\\rtf1 x}") << false;
        QTest::newRow("html") << QByteArray("<html>{\\rtf1}") << false;
    }

    void recognisesRtf()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, rtf);
        QCOMPARE(looksLikeRtf(data), rtf);
        RtfReadResult result;
        QTextDocument document;
        document.setPlainText(QStringLiteral("old"));
        result = RtfReader::read(data, &document);
        QCOMPARE(result.ok, rtf);
        if (!rtf) {
            QCOMPARE(result.error, QStringLiteral("not an RTF file"));
            QCOMPARE(document.toPlainText(), QStringLiteral("old")); // untouched on failure
        }
    }

    void replacesContentButKeepsRootFrameMargins()
    {
        QTextDocument document;
        document.setPlainText(QStringLiteral("old text"));
        QTextFrameFormat frame = document.rootFrame()->frameFormat();
        frame.setTopMargin(2);
        frame.setLeftMargin(0);
        frame.setRightMargin(0);
        frame.setBottomMargin(0);
        frame.setBackground(Qt::blue);
        document.rootFrame()->setFrameFormat(frame);
        QVERIFY(RtfReader::read("{\\rtf1 new}", &document).ok);
        QCOMPARE(document.toPlainText(), QStringLiteral("new"));
        frame = document.rootFrame()->frameFormat();
        QCOMPARE(frame.topMargin(), 2.0);
        QCOMPARE(frame.leftMargin(), 0.0);
        QCOMPARE(frame.bottomMargin(), 0.0);
        QVERIFY(!frame.hasProperty(QTextFormat::BackgroundBrush)); // the old page's background
    }

    void unicode_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fallback skipped")
            << QByteArray("{\\rtf1 \\u8364?x}") << QStringLiteral("€x");
        QTest::newRow("hex fallback")
            << QByteArray("{\\rtf1 \\u233\\'e9x}") << QStringLiteral("éx");
        QTest::newRow("uc2 skips two")
            << QByteArray("{\\rtf1\\uc2 \\u24180\\'94\\'4e abc}") << QStringLiteral("年 abc");
        QTest::newRow("uc0 skips none")
            << QByteArray("{\\rtf1\\uc0 \\u946 x}") << QStringLiteral("βx");
        QTest::newRow("uc is group scoped")
            << QByteArray("{\\rtf1 {\\uc0 \\u946 a}\\u947 b}") << QStringLiteral("βaγ");
        QTest::newRow("negative") << QByteArray("{\\rtf1 \\u-3913 ?}") << QString(QChar(0xF0B7));
        QTest::newRow("surrogate pair")
            << QByteArray("{\\rtf1 \\u-10240?\\u-8398?}") << QString::fromUtf8("\xF0\x90\x8C\xB2");
        QTest::newRow("unpaired surrogates") << QByteArray("{\\rtf1\\uc0 a\\u-10240 b\\u-9216 c}")
                                             << QString::fromUtf8("a\xEF\xBF\xBD"
                                                                  "b\xEF\xBF\xBD"
                                                                  "c");
        QTest::newRow("skip stops at a group")
            << QByteArray("{\\rtf1\\uc3 \\u946{x}y}") << QStringLiteral("βxy");
        QTest::newRow("control characters dropped")
            << QByteArray("{\\rtf1\\uc0 a\\u0 \\u10 \\u8233 b}") << QStringLiteral("a\u2028b");
    }

    void unicode()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(rawText(*read(rtf)), expected);
    }

    void codePages_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ansicpg1250")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'9e\\'e1\\'e8}") << QStringLiteral("žáč");
        QTest::newRow("default is 1252")
            << QByteArray("{\\rtf1\\ansi \\'80\\'e9\\'9f}") << QStringLiteral("€éŸ");
        QTest::newRow("font charset overrides the document") << QByteArray(
            "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 A;}{\\f1\\fcharset204 R;}}"
            "\\f0\\'e4\\f1\\'e4}") << QStringLiteral("äд");
        QTest::newRow("gbk double byte")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 S;}}\\f0\\'c4\\'e3\\'ba\\'c3}")
            << QStringLiteral("你好");
        QTest::newRow("shift-jis trail byte as text")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'83\\'5c\\'83e}") << QStringLiteral("ソテ");
        QTest::newRow("big5 by cpg")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\cpg950 B;}}\\f0\\'a4\\'a4}")
            << QStringLiteral("中");
        QTest::newRow("cp949") << QByteArray("{\\rtf1\\ansicpg949 \\'c7\\'d1}")
                               << QStringLiteral("한");
        QTest::newRow("cp874") << QByteArray("{\\rtf1\\ansicpg874 \\'a1}") << QStringLiteral("ก");
        QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e}") << QStringLiteral("é");
        QTest::newRow("utf-8") << QByteArray("{\\rtf1\\ansicpg65001 \\'c3\\'a9}")
                               << QStringLiteral("é");
        QTest::newRow("font name in its charset")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0 x}")
            << QStringLiteral("x");
    }

    void codePages()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(text(rtf), expected);
    }

    void fontTable()
    {
        const auto document
            = read("{\\rtf1\\deff1{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
                   "{\\f1\\fswiss{\\*\\panose 0}Arial{\\*\\falt Ar};}}\\f0 a\\f1 b"
                   "\\plain c{\\fonttbl\\f2\\fnil Helvetica;\\f3 Times;}\\f3 d}");
        QCOMPARE(charOf(*document, "a").fontFamilies().toStringList(), QStringList { "宋体" });
        QCOMPARE(charOf(*document, "b").fontFamilies().toStringList(), QStringList { "Arial" });
        QCOMPARE(charOf(*document, "c").fontFamilies().toStringList(), QStringList { "Arial" });
        QCOMPARE(charOf(*document, "d").fontFamilies().toStringList(), QStringList { "Times" });
    }

    void characterFormats()
    {
        const auto document = read(
            "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green255\\blue0;"
            "\\red255\\green255\\blue0;}"
            "plain {\\b bold}{\\i it}{\\ul ul}{\\uldb db}{\\uld dot}{\\ulwave wave}{\\ul\\ul0 off}"
            "{\\ul\\ulnone none}{\\strike st}{\\striked1 sd}{\\fs40 big}{\\fs17 odd}"
            "{\\cf1 red}{\\cf2 green}{\\cf3 yellow}{\\cf3\\cf0 auto}{\\highlight3 hl}"
            "{\\cb1 cb}{\\chcbpat2 pat}{\\highlight3\\highlight0 nohl}{\\super sup}{\\sub sub}"
            "{\\b\\plain pl}}");
        const QTextDocument &d = *document;
        QVERIFY(!charOf(d, "plain").hasProperty(QTextFormat::FontWeight));
        QCOMPARE(charOf(d, "plain").fontPointSize(), 12.0); // \fs24 unless the file says
        QCOMPARE(charOf(d, "bold").fontWeight(), int(QFont::Bold));
        QVERIFY(charOf(d, "it").fontItalic());
        QCOMPARE(charOf(d, "ul").underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(charOf(d, "db").underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(charOf(d, "dot").underlineStyle(), QTextCharFormat::DotLine);
        QCOMPARE(charOf(d, "wave").underlineStyle(), QTextCharFormat::WaveUnderline);
        QCOMPARE(charOf(d, "off").underlineStyle(), QTextCharFormat::NoUnderline);
        QCOMPARE(charOf(d, "none").underlineStyle(), QTextCharFormat::NoUnderline);
        QVERIFY(charOf(d, "st").fontStrikeOut());
        QVERIFY(charOf(d, "sd").fontStrikeOut());
        QCOMPARE(charOf(d, "big").fontPointSize(), 20.0);
        QCOMPARE(charOf(d, "odd").fontPointSize(), 8.5);
        QCOMPARE(charOf(d, "red").foreground().color(), QColor(255, 0, 0));
        QCOMPARE(charOf(d, "green").foreground().color(), QColor(0, 255, 0));
        QCOMPARE(charOf(d, "yellow").foreground().color(), QColor(255, 255, 0));
        QVERIFY(!charOf(d, "auto").hasProperty(QTextFormat::ForegroundBrush));
        QVERIFY(!charOf(d, "plain").hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(charOf(d, "hl").background().color(), QColor(255, 255, 0));
        QCOMPARE(charOf(d, "cb").background().color(), QColor(255, 0, 0));
        QCOMPARE(charOf(d, "pat").background().color(), QColor(0, 255, 0));
        QVERIFY(!charOf(d, "nohl").hasProperty(QTextFormat::BackgroundBrush));
        QCOMPARE(charOf(d, "sup").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(charOf(d, "sub").verticalAlignment(), QTextCharFormat::AlignSubScript);
        QVERIFY(!charOf(d, "pl").hasProperty(QTextFormat::FontWeight));
    }

    void colourZeroIsExplicitWhenTheTableSaysSo()
    {
        const auto document = read("{\\rtf1{\\colortbl\\red0\\green0\\blue255;}\\cf0 x}");
        QCOMPARE(charOf(*document, "x").foreground().color(), QColor(0, 0, 255));
    }

    void runsAreBatched()
    {
        // Text of one format is inserted at once, whatever the tokens it came in.
        const auto document = read("{\\rtf1 ab\\'e9c\r\nd\\u946?e{}f\\b g}");
        const QTextBlock block = document->begin();
        int fragments = 0;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            ++fragments;
        QCOMPARE(block.text(), QStringLiteral("abécdβefg"));
        QCOMPARE(fragments, 2);
    }

    void paragraphFormats()
    {
        const auto document = read(
            "{\\rtf1\\pard\\qc\\li300\\ri150\\fi-45\\sb30\\sa60 a\\par"
            "\\pard\\qr b\\par\\qj c\\par\\pard\\lin600\\rin90 d\\par"
            "\\pard\\sl270\\slmult0 atleast\\par\\sl-270\\slmult0 exact\\par"
            "\\sl276\\slmult1 prop\\par\\sl0 single\\par\\pard\\qc{\\pard\\ql grouped\\par}back}");
        QStringList lines;
        for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
            const QTextBlockFormat f = b.blockFormat();
            lines << QStringLiteral("%1 a%2 l%3 r%4 f%5 t%6 b%7 h%8:%9")
                         .arg(b.text())
                         .arg(int(f.alignment()))
                         .arg(f.leftMargin())
                         .arg(f.rightMargin())
                         .arg(f.textIndent())
                         .arg(f.topMargin())
                         .arg(f.bottomMargin())
                         .arg(f.lineHeightType())
                         .arg(f.lineHeight());
        }
        const QStringList expected {
            "a a4 l20 r10 f-3 t2 b4 h0:0",
            "b a2 l0 r0 f0 t0 b0 h0:0",
            "c a8 l0 r0 f0 t0 b0 h0:0",
            "d a1 l40 r6 f0 t0 b0 h0:0",
            "atleast a1 l0 r0 f0 t0 b0 h3:18",
            "exact a1 l0 r0 f0 t0 b0 h2:18",
            "prop a1 l0 r0 f0 t0 b0 h1:115",
            "single a1 l0 r0 f0 t0 b0 h0:0",
            "grouped a1 l0 r0 f0 t0 b0 h0:0",
            "back a4 l0 r0 f0 t0 b0 h0:0",
        };
        QCOMPARE(lines, expected);
    }

    void breaksAndSpecialCharacters()
    {
        QCOMPARE(rawText(*read(
                     "{\\rtf1 a\\line b\\tab c\\~d\\-e\\_f\\emdash\\endash\\bullet\\lquote\\rquote"
                     "\\ldblquote\\rdblquote\\{\\}\\\\}")),
            QString::fromUtf8("a\u2028b\tc\u00a0d\u00ade\u2011f—–•‘’“”{}\\"));
        QCOMPARE(text("{\\rtf1 a\\par b\\page c\\sect d\\\nf}"), QStringLiteral("a\nb\nc\nd\nf"));
        // A final \par ends the last paragraph, it does not add an empty one.
        QCOMPARE(read("{\\rtf1 a\\par}")->blockCount(), 1);
        QCOMPARE(read("{\\rtf1 a\\par\\par}")->blockCount(), 2);
    }

    void hiddenDestinationsShowNothing()
    {
        QCOMPARE(text("{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s1 Heading;}}"
                      "{\\header H}{\\footer F}{\\footnote N}{\\*\\generator G;}{\\*\\unknown U}"
                      "{\\*\\themedata 00}{\\*\\datastore 00}{\\*\\latentstyles L}{\\xmlnstbl X}"
                      "{\\pntext P}{\\listtext L}{\\*\\bkmkstart B}{\\v hidden}{\\*\\htmltag <b>}"
                      "shown}"),
            QStringLiteral("shown"));
        QCOMPARE(text("{\\rtf1 a{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}b"
                      "{\\field{\\fldinst PAGE}{\\fldrslt 3}}}"),
            QStringLiteral("alinkb3"));
        QCOMPARE(text("{\\rtf1{\\object\\objemb{\\*\\objclass P}{\\*\\objdata 0102}"
                      "{\\result res}}{\\upr{ansi}{\\*\\ud uni}}}"),
            QStringLiteral("resuni"));
    }

    void pageBackground()
    {
        const auto document
            = read("{\\rtf1\\viewbksp1{\\*\\background {\\shp{\\*\\shpinst"
                   "{\\sp{\\sn fFilled}{\\sv 1}}{\\sp{\\sn fillColor}{\\sv 65280}}}}}"
                   "{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 255}}}}x}");
        const QBrush brush = document->rootFrame()->frameFormat().background();
        QCOMPARE(brush.color(), QColor(0, 255, 0)); // BGR 0x00FF00; the other shape is ignored
        QCOMPARE(document->toPlainText(), QStringLiteral("x"));
    }

    void newStyleLists()
    {
        const auto document = read(
            "{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}"
            "{\\*\\listtable{\\list\\listtemplateid9"
            "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}}"
            "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}}"
            "{\\listlevel\\levelnfc23{\\leveltext\\'01o;}{\\levelnumbers;}}\\listid5}"
            "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'03(\\'00);}{\\levelnumbers\\'02;}}"
            "\\listid6}"
            "{\\list{\\listlevel\\levelnfc255{\\leveltext;}}\\listid7}}"
            "{\\*\\listoverridetable{\\listoverride\\listid5\\listoverridecount0\\ls1}"
            "{\\listoverride\\listid6\\listoverridecount0\\ls2}{\\listoverride\\listid7\\ls3}}"
            "{\\listtext\\f1\\'b7\\tab}\\pard\\ls1\\fi-360\\li720 one\\par"
            "\\pard\\ls1\\ilvl1\\fi-360\\li1440 a\\par\\pard\\ls1\\ilvl1 b\\par"
            "\\pard\\ls1 two\\par\\pard\\ls1\\ilvl1 c\\par\\pard\\ls1\\ilvl2 circle\\par"
            "\\pard plain\\par\\pard\\ls2 n1\\par\\pard\\ls2 n2\\par\\pard\\ls3 none\\par"
            "\\pard\\ls42 unknown\\par}");
        QTextDocument &d = *document;
        auto list = [&](const QString &word) {
            return d.findBlock(d.toPlainText().indexOf(word)).textList();
        };
        QVERIFY(list("one"));
        QCOMPARE(list("one")->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(list("one")->format().indent(), 1);
        QCOMPARE(list("two"), list("one"));
        QCOMPARE(list("a")->format().style(), QTextListFormat::ListLowerAlpha);
        QCOMPARE(list("a")->format().indent(), 2);
        QCOMPARE(list("a")->format().numberSuffix(), QStringLiteral(")"));
        QCOMPARE(list("b"), list("a"));
        QVERIFY(list("c") != list("a")); // numbering restarts after a higher level
        QCOMPARE(list("circle")->format().style(), QTextListFormat::ListCircle);
        QVERIFY(!list("plain"));
        QCOMPARE(list("n1")->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(list("n1")->format().numberPrefix(), QStringLiteral("("));
        QCOMPARE(list("n1")->format().numberSuffix(), QStringLiteral(")"));
        QCOMPARE(list("n2"), list("n1"));
        QCOMPARE(list("n2")->itemText(d.findBlock(d.toPlainText().indexOf("n2"))),
            QStringLiteral("(2)"));
        QVERIFY(!list("none"));
        QVERIFY(list("unknown")); // a list the tables do not define still shows as one
        // The list indent moves the text; the paragraph keeps only what the file adds.
        const QTextBlockFormat one = d.findBlock(d.toPlainText().indexOf("one")).blockFormat();
        QCOMPARE(one.leftMargin() + d.indentWidth(), 48.0);
        QCOMPARE(one.textIndent(), 0.0);
        QVERIFY(!d.toPlainText().contains(QChar(0xB7))); // \listtext is not content
    }

    void oldStyleLists()
    {
        const auto document = read(
            "{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}"
            "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
            "\\fi-360\\li720 b1\\par{\\pntext\\f1\\'B7\\tab}b2\\par\\pard p\\par"
            "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnlcrm\\pnstart1{\\pntxta .}}x\\par"
            "{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody\\pnlcrm\\pnstart1{\\pntxta .}}y\\par}");
        QTextDocument &d = *document;
        QCOMPARE(d.toPlainText(), QStringLiteral("b1\nb2\np\nx\ny"));
        const QTextList *bullets = d.findBlock(0).textList();
        QVERIFY(bullets);
        QCOMPARE(bullets->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(bullets->count(), 2);
        const QTextList *roman = d.lastBlock().textList();
        QVERIFY(roman);
        QCOMPARE(roman->format().style(), QTextListFormat::ListLowerRoman);
        QCOMPARE(roman->count(), 2); // Word 95 repeats \pn on every item of the same list
    }

    void tables()
    {
        const auto document
            = read("{\\rtf1{\\colortbl;\\red0\\green255\\blue0;}before\\par"
                   "\\trowd\\trgaph108\\trleft-108\\clbrdrt\\brdrw15\\brdrs\\clcbpat1\\cellx1392"
                   "\\cellx2892\\cellx4392\\pard\\intbl a\\cell b\\par b2\\cell c\\cell\\row"
                   "\\trowd\\trgaph108\\trleft-108\\clvmgf\\cellx1392\\cellx4392"
                   "\\pard\\intbl d\\cell e\\cell\\row"
                   "\\trowd\\trgaph108\\trleft-108\\clvmrg\\cellx1392\\cellx2892\\cellx4392"
                   "\\pard\\intbl\\cell g\\cell h\\cell\\row\\pard after\\par}");
        QTextTable *table = firstTable(*document);
        QVERIFY(table);
        QCOMPARE(table->rows(), 3);
        QCOMPARE(table->columns(), 3);
        QCOMPARE(cellText(table, 0, 0), QStringLiteral("a"));
        QCOMPARE(cellText(table, 0, 1), QStringLiteral("b|b2"));
        QCOMPARE(cellText(table, 1, 1), QStringLiteral("e"));
        QCOMPARE(table->cellAt(1, 1).columnSpan(), 2); // wider cell spans the grid columns
        QCOMPARE(table->cellAt(1, 0).rowSpan(), 2); // \clvmgf + \clvmrg
        QCOMPARE(cellText(table, 2, 2), QStringLiteral("h"));
        QCOMPARE(table->cellAt(0, 0).format().background().color(), QColor(0, 255, 0));
        const QList<QTextLength> widths = table->format().columnWidthConstraints();
        QCOMPARE(widths.size(), 3);
        QCOMPARE(widths.at(0), QTextLength(QTextLength::FixedLength, 1500 / 15.0));
        QCOMPARE(widths.at(1), QTextLength(QTextLength::FixedLength, 100));
        QCOMPARE(table->format().border(), 1.0);
        QCOMPARE(table->format().cellPadding(), 108 / 15.0);
        QCOMPARE(document->toPlainText().section('\n', 0, 0), QStringLiteral("before"));
        QVERIFY(document->toPlainText().endsWith(QLatin1String("\nafter")));
        // The paragraph break before the table does not leave an empty paragraph.
        QCOMPARE(document->begin().next().text(), QStringLiteral("a"));
    }

    void nestedTablesDegradeToParagraphs()
    {
        const auto document
            = read("{\\rtf1\\trowd\\cellx2000\\pard\\intbl outer"
                   "\\pard\\intbl\\itap2 x\\nestcell y\\nestcell{\\*\\nesttableprops"
                   "\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
                   "\\pard\\intbl\\cell\\row}");
        QTextTable *table = firstTable(*document);
        QVERIFY(table);
        QCOMPARE(table->columns(), 1);
        QCOMPARE(cellText(table, 0, 0), QStringLiteral("outerx|y|"));
    }

    void tableRowsWithoutIntblStayInTheRow()
    {
        // Word 2000+ repeats the row properties after the cells, after a \pard.
        const auto document = read("{\\rtf1\\pard\\intbl a\\cell b\\cell\\pard"
                                   "{\\trowd\\cellx1000\\cellx2000\\row}\\pard x\\par}");
        QTextTable *table = firstTable(*document);
        QVERIFY(table);
        QCOMPARE(table->rows(), 1);
        QCOMPARE(table->columns(), 2);
        QCOMPARE(cellText(table, 0, 1), QStringLiteral("b"));
    }

    void pictures()
    {
        QImage red(3, 2, QImage::Format_RGB32);
        red.fill(QColor(255, 0, 0));
        const QByteArray hex = pngHex(red);
        QImage blue(2, 2, QImage::Format_RGB32);
        blue.fill(QColor(0, 0, 255));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        blue.save(&buffer, "PNG");

        const auto document = read("{\\rtf1{\\pict\\pngblip\\picw3\\pich2 " + hex + "}"
            + "{\\pict\\pngblip\\picwgoal600\\pichgoal300\\picscalex50\\picscaley200 " + hex + "}"
            + "{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}"
            + "{\\*\\shppict{\\pict\\pngblip " + hex + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}"
            + "{\\*\\shppict{\\pict\\emfblip\\picwgoal300\\pichgoal150 0102}}"
            + "{\\nonshppict{\\pict\\pngblip " + hex + "}}"
            + "{\\*\\shppict{\\pict\\emfblip\\picwgoal450\\pichgoal150 0102}}"
            + "{\\nonshppict{\\pict\\wmetafile8 0102}}"
            + "{\\pict\\wmetafile8\\picw2540\\pich1270 0102}"
            + "{\\pict\\wbitmap0\\picw8\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 "
              "f0000f00}}");
        const QList<QTextImageFormat> formats = images(*document);
        QCOMPARE(formats.size(), 8);
        QCOMPARE(imageOf(*document, formats[0]).pixelColor(2, 1), QColor(255, 0, 0));
        QCOMPARE(QSizeF(formats[0].width(), formats[0].height()), QSizeF(3, 2)); // own size
        QCOMPARE(QSizeF(formats[1].width(), formats[1].height()), QSizeF(20, 40)); // goal × scale
        QCOMPARE(imageOf(*document, formats[2]).pixelColor(0, 0), QColor(0, 0, 255)); // \bin
        QCOMPARE(imageOf(*document, formats[3]).size(), QSize(3, 2)); // the \nonshppict skipped
        QCOMPARE(imageOf(*document, formats[4]).size(), QSize(3, 2)); // raster alternative used
        QCOMPARE(QSizeF(formats[5].width(), formats[5].height()), QSizeF(30, 10)); // placeholder
        const QImage placeholder = imageOf(*document, formats[5]);
        QCOMPARE(placeholder.size(), QSize(30, 10));
        QVERIFY(placeholder.pixelColor(0, 5) != placeholder.pixelColor(5, 5)); // border
        QCOMPARE(QSizeF(formats[6].width(), formats[6].height()), QSizeF(96, 48)); // 0.01 mm
        const QImage mono = imageOf(*document, formats[7]);
        QCOMPARE(mono.size(), QSize(8, 2));
        QCOMPARE(mono.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(mono.pixelColor(4, 0), QColor(Qt::black));
        QSet<QString> names;
        for (const QTextImageFormat &f : formats)
            names.insert(f.name());
        QCOMPARE(names.size(), formats.size());
    }

    void deviceIndependentBitmap()
    {
        // 2×1 pixels, 24 bits, bottom-up: blue then green.
        QByteArray dib(40, '\0');
        dib[0] = 40;
        dib[4] = 2;
        dib[8] = 1;
        dib[12] = 1;
        dib[14] = 24;
        dib.append(QByteArray::fromHex("ff0000"
                                       "00ff00"
                                       "0000"));
        const auto document = read("{\\rtf1{\\pict\\dibitmap0\\picw2\\pich1 " + dib.toHex() + "}}");
        const QImage image = imageOf(*document, images(*document).value(0));
        QCOMPARE(image.size(), QSize(2, 1));
        QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(1, 0), QColor(0, 255, 0));
    }

    void hostileInputIsBounded_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        const QByteArray deep = QByteArray("{\\rtf1 ") + QByteArray(200000, '{') + "x"
            + QByteArray(200000, '}') + "}";
        QTest::newRow("deep nesting") << deep;
        QTest::newRow("deep unclosed")
            << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "\\b x";
        QTest::newRow("many closes") << QByteArray("{\\rtf1 x") + QByteArray(100000, '}') + "y";
        QTest::newRow("huge bin") << QByteArray("{\\rtf1{\\pict\\pngblip\\bin2147483647 abc}}");
        QTest::newRow("huge numbers")
            << QByteArray("{\\rtf1\\fs-2147483648\\li2147483647\\sl-2147483648\\fi-2147483648"
                          "\\uc2147483647\\u-2147483648 \\picscalex2147483647 x\\par}");
        QTest::newRow("huge goal") << QByteArray("{\\rtf1{\\pict\\emfblip\\picwgoal2147483647"
                                                 "\\pichgoal2147483647\\picscalex999999 00}}");
        QByteArray columns("{\\rtf1\\trowd");
        for (int i = 1; i <= 5000; ++i)
            columns += "\\cellx" + QByteArray::number(i * 10);
        columns += "\\pard\\intbl" + QByteArray(5000 * 2, 'x').replace("xx", "a\\cell") + "\\row}";
        QTest::newRow("many columns") << columns;
        QByteArray rows("{\\rtf1\\trowd\\cellx100\\cellx200");
        for (int i = 0; i < 20000; ++i)
            rows += "\\pard\\intbl a\\cell b\\cell\\row";
        QTest::newRow("many rows") << rows + "}";
        QByteArray spans("{\\rtf1");
        for (int i = 0; i < 3000; ++i)
            spans += i % 2 ? "\\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row"
                           : "\\trowd\\cellx200\\intbl c\\cell\\row";
        QTest::newRow("many spans") << spans + "}";
        QTest::newRow("malformed hex") << QByteArray("{\\rtf1{\\pict\\pngblip zz9g\\'q}\\'\\'1}");
        QTest::newRow("deep lists") << QByteArray("{\\rtf1\\ls1\\ilvl2147483647 a\\par}");
        QTest::newRow("negative lists")
            << QByteArray("{\\rtf1\\ls-1\\ilvl-5 a\\par\\ls-2147483648 b\\par}");
    }

    void hostileInputIsBounded()
    {
        QFETCH(QByteArray, rtf);
        QElapsedTimer timer;
        timer.start();
        RtfReadResult result;
        const auto document = read(rtf, &result);
        QVERIFY(result.ok);
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    }

    void pngWithCorruptChunkLengthIsRefused()
    {
        // A text chunk claiming 1.8 GB: libpng would allocate it before finding it missing.
        QImage red(2, 2, QImage::Format_RGB32);
        red.fill(Qt::red);
        const QByteArray png = QByteArray::fromHex(pngHex(red));
        QByteArray damaged = png.left(33); // signature and IHDR
        damaged += QByteArray::fromHex("6c000000") + "zTXt" + QByteArray(16, 'x');
        damaged += png.mid(33);
        RtfReadResult result;
        const auto document = read("{\\rtf1{\\pict\\pngblip " + damaged.toHex() + "}}", &result);
        QVERIFY(result.ok);
        QVERIFY(result.warnings.contains(QStringLiteral("PNG picture data is damaged")));
        QCOMPARE(images(*document).size(), 1); // shown as a placeholder

        // Chunks that do not make pixels are dropped, the picture still shows.
        QByteArray extra = png.left(33);
        extra += QByteArray::fromHex("00000004") + "tEXt" + QByteArray("ab\0c", 4)
            + QByteArray(4, '\0');
        extra += png.mid(33);
        const auto fine = read("{\\rtf1{\\pict\\pngblip " + extra.toHex() + "}}");
        QCOMPARE(imageOf(*fine, images(*fine).value(0)).pixelColor(1, 1), QColor(Qt::red));
    }

    void decompressionBombIsRefused()
    {
        // A PNG that declares 20000×20000 pixels is not decoded.
        QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
        png += QByteArray::fromHex("00004e2000004e200802000000");
        png += QByteArray(4, '\0'); // CRC, not checked before the size
        RtfReadResult result;
        const auto document = read("{\\rtf1{\\pict\\pngblip " + png.toHex() + "}}", &result);
        QVERIFY(result.ok);
        QVERIFY(!result.warnings.isEmpty());
        const QList<QTextImageFormat> formats = images(*document);
        QCOMPARE(formats.size(), 1); // a placeholder stands in
        QVERIFY(imageOf(*document, formats[0]).width() <= RtfPicture::maxPlaceholderSide);
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
