#include "rtfreader.h"
#include "rtftokenizer.h"
#include "testdocuments.h"

#include <QTextBlock>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

using namespace TestDocuments;

namespace {

// One line per token, e.g. "{", "\b0", "T:text", "H:e9", "S:~", "B:payload".
QStringList tokens(const QByteArray &rtf)
{
    RtfTokenizer tokenizer(rtf);
    QStringList out;
    for (RtfToken t = tokenizer.next(); t.type != RtfToken::EndOfInput; t = tokenizer.next()) {
        const QString data = QString::fromLatin1(t.data.toByteArray());
        if (t.type == RtfToken::GroupOpen || t.type == RtfToken::GroupClose)
            out << QString(t.type == RtfToken::GroupOpen ? "{" : "}");
        else if (t.type == RtfToken::ControlWord)
            out << '\\' + data + (t.hasParameter ? QString::number(t.parameter) : QString());
        else if (t.type == RtfToken::ControlSymbol)
            out << QStringLiteral("S:") + QChar::fromLatin1(t.symbol);
        else if (t.type == RtfToken::HexByte)
            out << QStringLiteral("H:%1").arg(t.byte, 2, 16, QLatin1Char('0'));
        else
            out << (t.type == RtfToken::Text ? "T:" : "B:") + data;
    }
    return out;
}

// What a character format shows, as far as it differs from plain text.
QString describe(const QTextCharFormat &f)
{
    QStringList out = f.fontFamilies().toStringList().mid(0, 1);
    out << QString::number(f.fontPointSize()) + "pt";
    const std::pair<bool, QString> parts[] = { { f.fontWeight() >= QFont::DemiBold, "b" },
        { f.fontItalic(), "i" },
        { f.underlineStyle() != QTextCharFormat::NoUnderline,
            QStringLiteral("u%1").arg(f.underlineStyle()) },
        { f.fontStrikeOut(), "s" },
        { f.verticalAlignment() != QTextCharFormat::AlignNormal,
            QStringLiteral("va%1").arg(f.verticalAlignment()) },
        { f.hasProperty(QTextFormat::ForegroundBrush), "fg=" + f.foreground().color().name() },
        { f.hasProperty(QTextFormat::BackgroundBrush), "bg=" + f.background().color().name() } };
    for (const auto &[shown, text] : parts)
        if (shown)
            out << text;
    return out.join(' ');
}

// Each block's text and, for list items, the list (numbered by first use), style, level and
// the item's number as shown.
QStringList listItems(const QTextDocument &document)
{
    QHash<const QTextList *, int> ids;
    QStringList out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        const QTextList *list = b.textList();
        if (list && !ids.contains(list))
            ids.insert(list, int(ids.size()) + 1);
        out << (list ? QStringLiteral("%1 #%2 style%3 level%4 '%5'")
                           .arg(b.text())
                           .arg(ids.value(list))
                           .arg(list->format().style())
                           .arg(list->format().indent())
                           .arg(list->format().style() >= QTextListFormat::ListSquare
                                   ? QString() // a bullet has no number
                                   : list->itemText(b))
                     : b.text());
    }
    return out;
}

const QByteArray colourTable = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green255"
                               "\\blue0;\\red255\\green255\\blue0;}";

const QByteArray spannedTable = "{\\rtf1{\\colortbl;\\red0\\green255\\blue0;}before\\par"
                                "\\trowd\\trgaph108\\trleft-108\\clbrdrt\\brdrs\\clcbpat1"
                                "\\cellx1392\\cellx2892\\cellx4392"
                                "\\pard\\intbl a\\cell b\\par b2\\cell c\\cell\\row"
                                "\\trowd\\trgaph108\\trleft-108\\clvmgf\\cellx1392\\cellx4392"
                                "\\pard\\intbl d\\cell e\\cell\\row"
                                "\\trowd\\trgaph108\\trleft-108\\clvmrg\\cellx1392\\cellx2892"
                                "\\cellx4392\\pard\\intbl\\cell g\\cell h\\cell\\row"
                                "\\pard after\\par}";

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("words and delimiters")
            << QByteArray("{\\rtf1\\b0 bold\\i-12x}")
            << QStringList { "{", "\\rtf1", "\\b0", "T:bold", "\\i-12", "T:x", "}" };
        QTest::newRow("only one space is the delimiter")
            << QByteArray("\\par  two") << QStringList { "\\par", "T: two" };
        QTest::newRow("minus without digits is text")
            << QByteArray("\\li-x") << QStringList { "\\li", "T:-x" };
        QTest::newRow("line breaks are not text")
            << QByteArray("a\r\nb\nc") << QStringList { "T:a", "T:b", "T:c" };
        QTest::newRow("backslash newline is a paragraph")
            << QByteArray("a\\\r\nb") << QStringList { "T:a", "S:\n", "T:b" };
        QTest::newRow("symbols") << QByteArray("\\~\\-\\_\\{\\}\\\\\\*")
                                 << QStringList { "S:~", "S:-", "S:_", "S:{", "S:}", "S:\\",
                                        "S:*" };
        QTest::newRow("hex") << QByteArray("\\'e9\\'A0\\'4x\\'zz")
                             << QStringList { "H:e9", "H:a0", "H:04", "T:x", "T:zz" };
        QTest::newRow("trailing backslash") << QByteArray("ab\\") << QStringList { "T:ab" };
        QTest::newRow("parameters saturate at the int range")
            << QByteArray("\\fs99999999999999999999 \\li-99999999999999 \\sl-2147483648 ")
            << QStringList { "\\fs2147483647", "\\li-2147483648", "\\sl-2147483648" };
        // \bin payloads may hold braces and backslashes; their length is clamped to the input.
        QTest::newRow("bin verbatim") << QByteArray("{\\bin4 }{\\x}\\bin3 a{b}")
                                      << QStringList { "{", "B:}{\\x", "}", "B:a{b", "}" };
        QTest::newRow("bin beyond the input")
            << QByteArray("\\bin999999 abc") << QStringList { "B:abc" };
        QTest::newRow("negative bin") << QByteArray("\\bin-5 abc") << QStringList { "B:", "T:abc" };
    }

    void tokens()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, expected);
        QCOMPARE(::tokens(rtf), expected);
    }

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
        QTextDocument document;
        document.setPlainText(QStringLiteral("old"));
        QTextFrameFormat frame = document.rootFrame()->frameFormat();
        frame.setTopMargin(2);
        frame.setLeftMargin(0);
        frame.setBackground(Qt::blue);
        document.rootFrame()->setFrameFormat(frame);
        const RtfReadResult result = RtfReader::read(data, &document);
        QCOMPARE(result.ok, rtf);
        QCOMPARE(result.error, rtf ? QString() : QStringLiteral("not an RTF file"));
        // Read content replaces the old and its page background, not the page margins;
        // a failed read leaves the document untouched.
        QCOMPARE(document.toPlainText(), rtf ? QStringLiteral("x") : QStringLiteral("old"));
        frame = document.rootFrame()->frameFormat();
        QCOMPARE(frame.topMargin(), 2.0);
        QCOMPARE(frame.leftMargin(), 0.0);
        QCOMPARE(frame.hasProperty(QTextFormat::BackgroundBrush), !rtf);
    }

    void text_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const QByteArray &rtf, const QString &expected) {
            QTest::newRow(name) << rtf << expected;
        };
        // \uN and the \ucN fallback characters it skips.
        row("fallback skipped", "{\\rtf1 \\u8364?x}", "€x");
        row("hex fallback", "{\\rtf1 \\u233\\'e9x}", "éx");
        row("uc2 skips two", "{\\rtf1\\uc2 \\u24180\\'94\\'4e abc}", "年 abc");
        row("uc0 skips none", "{\\rtf1\\uc0 \\u946 x}", "βx");
        row("uc is group scoped", "{\\rtf1 {\\uc0 \\u946 a}\\u947 b}", "βaγ");
        row("negative", "{\\rtf1 \\u-3913 ?}", QString(QChar(0xF0B7)));
        row("unpaired surrogates", "{\\rtf1\\uc0 a\\u-10240 b\\u-9216 c}", "a\uFFFDb\uFFFDc");
        row("skip stops at a group", "{\\rtf1\\uc3 \\u946{x}y}", "βxy");
        row("control characters dropped", "{\\rtf1\\uc0 a\\u0 \\u10 \\u8233 b}", "a\u2028b");
        // \'hh in the document's code page, or the font's by \fcharset or \cpg.
        row("ansicpg1250", "{\\rtf1\\ansi\\ansicpg1250 \\'9e\\'e1\\'e8}", "žáč");
        row("default is 1252", "{\\rtf1\\ansi \\'80\\'e9\\'9f}", "€éŸ");
        row("fcharset overrides the document",
            "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 A;}{\\f1\\fcharset204 "
            "R;}}\\f0\\'e4\\f1\\'e4}",
            "äд");
        row("gbk", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 S;}}\\f0\\'c4\\'e3\\'ba\\'c3}",
            "你好");
        row("gbk by ansicpg936", "{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}", "中文");
        row("shift-jis trail byte as text", "{\\rtf1\\ansi\\ansicpg932 \\'83\\'5c\\'83e}", "ソテ");
        row("big5 by cpg", "{\\rtf1{\\fonttbl{\\f0\\cpg950 B;}}\\f0\\'a4\\'a4}", "中");
        row("cp949", "{\\rtf1\\ansicpg949 \\'c7\\'d1}", "한");
        row("cp874", "{\\rtf1\\ansicpg874 \\'a1}", "ก");
        row("mac roman", "{\\rtf1\\mac \\'8e}", "é");
        // A letter of each font charset's code page, and of each code page \cpg may name.
        const QList<QPair<QByteArray, QByteArray>> fonts { { "\\fcharset161", "\\'e1" },
            { "\\fcharset162", "\\'fd" }, { "\\fcharset163", "\\'e0" },
            { "\\fcharset177", "\\'e0" }, { "\\fcharset178", "\\'c7" },
            { "\\fcharset186", "\\'e0" }, { "\\fcharset222", "\\'a1" },
            { "\\fcharset238", "\\'9e" }, { "\\fcharset255", "\\'82" }, { "\\fcharset77", "\\'8e" },
            { "\\fcharset78", "\\'83\\'5c" }, { "\\fcharset79", "\\'c7\\'d1" },
            { "\\fcharset80", "\\'d6\\'d0" }, { "\\fcharset81", "\\'a4\\'a4" },
            { "\\fcharset128", "\\'83\\'5c" }, { "\\fcharset129", "\\'c7\\'d1" },
            { "\\fcharset136", "\\'a4\\'a4" }, { "\\cpg850", "\\'82" }, { "\\cpg852", "\\'a5" },
            { "\\cpg866", "\\'80" }, { "\\cpg10000", "\\'8e" }, { "\\cpg10006", "\\'e1" },
            { "\\cpg10007", "\\'80" }, { "\\cpg10029", "\\'88" }, { "\\cpg20866", "\\'c1" },
            { "\\cpg28591", "\\'e9" }, { "\\cpg28592", "\\'b1" }, { "\\cpg28595", "\\'b0" } };
        QByteArray table = "{\\rtf1\\ansi{\\fonttbl", text;
        for (int i = 0; i < fonts.size(); ++i) {
            table += "{\\f" + QByteArray::number(i) + fonts.at(i).first + " F;}";
            text += "\\f" + QByteArray::number(i) + ' ' + fonts.at(i).second;
        }
        row("every charset and cpg", table + '}' + text + '}',
            "αıàאاąกžééソ한中中ソ한中éąАéαАąаéąА");
        row("utf-8", "{\\rtf1\\ansicpg65001 \\'c3\\'a9}", "é");
        row("one run from many tokens", "{\\rtf1 ab\\'e9c\r\nd\\u946?e{}f\\b g}", "abécdβefg");
        // Breaks and symbols.
        row("symbols",
            "{\\rtf1 a\\line b\\tab c\\~d\\-e\\_f\\emdash\\endash\\bullet\\lquote\\rquote"
            "\\ldblquote\\rdblquote\\{\\}\\\\}",
            "a\u2028b\tc\u00a0d\u00ade\u2011f—–•‘’“”{}\\");
        row("paragraphs", "{\\rtf1 a\\par b\\page c\\sect d\\\nf}", "a\nb\nc\nd\nf");
        row("a final par adds no paragraph", "{\\rtf1 a\\par}", "a");
        row("an empty last paragraph", "{\\rtf1 a\\par\\par}", "a\n");
        // Destinations that are not content.
        row("hidden destinations",
            "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s1 Heading;}}{\\header H}"
            "{\\footer F}{\\footnote N}{\\*\\generator G;}{\\*\\unknown U}{\\*\\themedata 00}"
            "{\\*\\datastore 00}{\\*\\latentstyles L}{\\xmlnstbl X}{\\pntext P}{\\listtext L}"
            "{\\*\\bkmkstart B}{\\v hidden}{\\*\\htmltag <b>}{\\fonttbl{\\f0 F;}}shown}",
            "shown");
        row("field results",
            "{\\rtf1 a{\\field{\\*\\fldinst HYPERLINK \"http://x\"}"
            "{\\fldrslt link}}b{\\field{\\fldinst PAGE}{\\fldrslt 3}}}",
            "alinkb3");
        row("object result and upr",
            "{\\rtf1{\\object\\objemb{\\*\\objclass P}{\\*\\objdata 0102}"
            "{\\result res}}{\\upr{ansi}{\\*\\ud uni}}}",
            "resuni");
    }

    void text()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        // Line separators and no-break spaces as they are; toPlainText() would map them.
        QCOMPARE(read(rtf)->toRawText().replace(QChar::ParagraphSeparator, '\n'), expected);
    }

    void characterFormats_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const QByteArray &body, const char *expected) {
            QTest::newRow(name) << colourTable + body + "}" << QString::fromUtf8(expected);
        };
        row("plain is 12 pt", "x", "12pt");
        row("bold", "{\\b x}", "12pt b");
        row("bold off by plain", "{\\b\\plain x}", "12pt");
        row("italic", "{\\i x}", "12pt i");
        row("underline", "{\\ul x}", "12pt u1");
        row("double underline", "{\\uldb x}", "12pt u1");
        row("dotted underline", "{\\uld x}", "12pt u3");
        row("wave underline", "{\\ulwave x}", "12pt u6");
        row("underline off", "{\\ul\\ul0 x}", "12pt");
        row("underline none", "{\\ul\\ulnone x}", "12pt");
        row("strike", "{\\strike x}", "12pt s");
        row("double strike", "{\\striked1 x}", "12pt s");
        row("size", "{\\fs40 x}", "20pt");
        row("odd half points", "{\\fs17 x}", "8.5pt");
        row("red", "{\\cf1 x}", "12pt fg=#ff0000");
        row("yellow", "{\\cf3 x}", "12pt fg=#ffff00");
        row("auto colour", "{\\cf3\\cf0 x}", "12pt");
        row("highlight", "{\\highlight3 x}", "12pt bg=#ffff00");
        row("cb", "{\\cb1 x}", "12pt bg=#ff0000");
        row("chcbpat", "{\\chcbpat2 x}", "12pt bg=#00ff00");
        row("highlight off", "{\\highlight3\\highlight0 x}", "12pt");
        row("superscript", "{\\super x}", "12pt va1");
        row("subscript", "{\\sub x}", "12pt va2");
        auto file = [](const char *name, const QByteArray &rtf, const char *expected) {
            QTest::newRow(name) << rtf << QString::fromUtf8(expected);
        };
        file("colour 0 when the table defines it",
            "{\\rtf1{\\colortbl\\red0\\green0\\blue255;}\\cf0 x}", "12pt fg=#0000ff");
        const QByteArray fonts = "{\\rtf1\\deff1{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
                                 "{\\f1\\fswiss{\\*\\panose 0}Arial{\\*\\falt Ar};}}";
        file("font name in its charset", fonts + "\\f0 x}", "宋体 12pt");
        file("font name without its extras", fonts + "\\f0 a\\f1 x}", "Arial 12pt");
        file("plain returns to deff", fonts + "\\f0 a\\plain x}", "Arial 12pt");
        file("font table without groups",
            "{\\rtf1{\\fonttbl\\f2\\fnil Helvetica;\\f3 Times;}\\f3 x}", "Times 12pt");
        // \a… after \dbch are for CJK characters (W is the Latin font, A and S East Asian ones);
        // spaces and punctuation go with the character before them.
        const QByteArray cjk = "{\\rtf1{\\fonttbl{\\f0 W;}{\\f1 A;}{\\f2\\fcharset134 S;}}\\f0";
        file("libreoffice dbch run",
            cjk + "\\dbch\\af1{\\loch\\fs20\\loch a}{\\dbch\\afs20\\dbch \\u20320?}}", "A 10pt");
        file("cjk in a low-ANSI run", cjk + "\\dbch\\af1\\ab\\ai\\afs30\\loch x\\u20013?}",
            "A 15pt b i");
        file("latin in that run", cjk + "\\dbch\\af1\\ab\\ai\\afs30\\loch \\u20013?x}", "W 12pt");
        file("punctuation after cjk", cjk + "\\dbch\\af1\\afs30\\loch \\u20013?.}", "A 15pt");
        file("space after latin in a dbch run", cjk + "\\dbch\\af1\\afs30 ab }", "W 12pt");
        file("code page of the East Asian font", cjk + "\\dbch\\af2 \\'c4\\'e3}", "S 12pt");
        file("not after hich or rtlch",
            cjk + "\\hich\\af1\\afs40\\ab\\dbch\\rtlch\\afs40 \\u20320?}", "W 12pt");
        file("plain resets them", cjk + "\\dbch\\af1\\afs40\\plain\\f0 \\u20320?}", "W 12pt");
    }

    void characterFormats()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        const auto document = read(rtf);
        QTextCursor end(document.get());
        end.movePosition(QTextCursor::End);
        QCOMPARE(describe(end.charFormat()), expected); // of the last character
    }

    void lists_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("listtable and ls")
            << QByteArray(
                   "{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}"
                   "{\\*\\listtable{\\list\\listtemplateid9"
                   "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}}"
                   "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}}"
                   "{\\listlevel\\levelnfc23{\\leveltext\\'01o;}{\\levelnumbers;}}\\listid5}"
                   "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'03(\\'00);}"
                   "{\\levelnumbers\\'02;}}\\listid6}"
                   "{\\list{\\listlevel\\levelnfc255{\\leveltext;}}\\listid7}}"
                   "{\\*\\listoverridetable{\\listoverride\\listid5\\listoverridecount0\\ls1}"
                   "{\\listoverride\\listid6\\listoverridecount0\\ls2}"
                   "{\\listoverride\\listid7\\ls3}}"
                   "{\\listtext\\f1\\'b7\\tab}\\pard\\ls1\\fi-360\\li720 one\\par"
                   "\\pard\\ls1\\ilvl1\\fi-360\\li1440 a\\par\\pard\\ls1\\ilvl1 b\\par"
                   "\\pard\\ls1 two\\par\\pard\\ls1\\ilvl1 c\\par\\pard\\ls1\\ilvl2 circle\\par"
                   "\\pard plain\\par\\pard\\ls2 n1\\par\\pard\\ls2 n2\\par\\pard\\ls3 none\\par"
                   "\\pard\\ls42 unknown\\par}")
            // Numbering restarts after a higher level; a level without numbers is no list;
            // a list the tables do not define still shows as one.
            << QStringList { "one #1 style-1 level1 ''", "a #2 style-5 level2 'a)'",
                   "b #2 style-5 level2 'b)'", "two #1 style-1 level1 ''",
                   "c #3 style-5 level2 'a)'", "circle #4 style-2 level3 ''", "plain",
                   "n1 #5 style-4 level1 '(1)'", "n2 #5 style-4 level1 '(2)'", "none",
                   "unknown #6 style-1 level1 ''" };
        // Word 95 repeats \pn on every item of the same list; \pntext is not content.
        QTest::newRow("pn and pntext")
            << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}"
                          "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0"
                          "{\\pntxtb\\'B7}}\\fi-360\\li720 b1\\par{\\pntext\\f1\\'B7\\tab}b2\\par"
                          "\\pard p\\par\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnlcrm"
                          "\\pnstart1{\\pntxta .}}x\\par{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody"
                          "\\pnlcrm\\pnstart1{\\pntxta .}}y\\par}")
            << QStringList { "b1 #1 style-1 level1 ''", "b2 #1 style-1 level1 ''", "p",
                   "x #2 style-7 level1 'i.'", "y #2 style-7 level1 'ii.'" };
        QTest::newRow("pn levels and styles")
            << QByteArray(
                   "{\\rtf1\\pard{\\*\\pn\\pnlvl1\\pnucrm}\\fi-360\\li720 c\\par\\pard p\\par"
                   "\\pard{\\*\\pn\\pnlvl2\\pnucltr{\\pntxta .}}a\\par"
                   "\\pard{\\*\\pn\\pnlvl2\\pnucltr{\\pntxta .}}b\\par\\pard p\\par"
                   "\\pard{\\*\\pn\\pnlvl1\\pnlcltr}d\\par\\pard p\\par"
                   "\\pard{\\*\\pn\\pnlvl1\\pndec}e\\par\\pard{\\*\\pn\\pnlvlcont}f\\par}")
            << QStringList { "c #1 style-8 level1 'I.'", "p", "a #2 style-6 level2 'A.'",
                   "b #2 style-6 level2 'B.'", "p", "d #3 style-5 level1 'a.'", "p",
                   "e #4 style-4 level1 '1.'", "f" };
    }

    void lists()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, expected);
        const auto document = read(rtf);
        QCOMPARE(listItems(*document), expected);
        // The list indent moves the text; the paragraph keeps only what the file adds.
        const QTextBlockFormat first = document->begin().blockFormat();
        QCOMPARE(first.leftMargin() + document->indentWidth(), 48.0);
        QCOMPARE(first.textIndent(), 0.0);
    }

    void tables_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        // A wider cell spans the grid columns; \clvmgf + \clvmrg span rows.
        QTest::newRow("spans") << spannedTable << "a;b|b2;c/d[2x1];e[1x2]/g;h";
        QTest::newRow("clmgf and clmrg span columns")
            << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000"
                          "\\pard\\intbl a\\cell\\cell b\\cell\\row}")
            << "a[1x2];b";
        QTest::newRow("nested tables degrade to paragraphs") << QByteArray(
            "{\\rtf1\\trowd\\cellx2000\\pard\\intbl outer"
            "\\pard\\intbl\\itap2 x\\nestcell y\\nestcell{\\*\\nesttableprops"
            "\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
            "\\pard\\intbl\\cell\\row}") << "outerx|y|";
        // Word 2000+ repeats the row properties after the cells, after a \pard.
        QTest::newRow("row properties after the cells")
            << QByteArray("{\\rtf1\\pard\\intbl a\\cell b\\cell\\pard"
                          "{\\trowd\\cellx1000\\cellx2000\\row}\\pard x\\par}")
            << "a;b";
        // A cell that does not advance is no merge; it gets a sliver of its own.
        QTest::newRow("cell without width")
            << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx1000\\pard\\intbl a\\cell b\\cell\\row}")
            << "a;b";
        QByteArray grid("{\\rtf1\\trowd");
        for (int i = 1; i <= 64; ++i)
            grid += "\\cellx" + QByteArray::number(i * 100);
        grid += "\\pard\\intbl " + QByteArray("a\\cell ").repeated(64)
            + "\\row\\trowd\\cellx6400\\pard\\intbl z\\cell\\row}";
        QTest::newRow("64 columns still make a grid")
            << grid << QString("a;").repeated(63) + "a/z[1x64]";
    }

    void tables()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        const auto document = read(rtf);
        const QTextTable *table = firstTable(*document);
        QVERIFY(table);
        QCOMPARE(tableText(table), expected);
    }

    // What a document shows: the lines of its snapshot that match `pattern`, each as the last
    // part the pattern captures.
    void shown_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");
        auto row = [](const char *name, const QByteArray &rtf, const char *pattern,
                       const QStringList &expected) {
            QTest::newRow(name) << rtf << QString(pattern) << expected;
        };
        // Twips to sign pixels (15 a pixel); line height types 1 proportional, 2 exact,
        // 3 at least.
        row("paragraphs",
            "{\\rtf1\\pard\\qc\\li300\\ri150\\fi-45\\sb30\\sa60 a\\par\\pard\\qr b\\par\\qj c\\par"
            "\\pard\\lin600\\rin90 d\\par\\pard\\sl270\\slmult0 atleast\\par"
            "\\sl-270\\slmult0 exact\\par\\sl276\\slmult1 prop\\par\\sl0 single\\par"
            "\\pard\\qc{\\pard\\ql grouped\\par}back}",
            "^block align=(.*)",
            { "4 margins=20,2,10,4 indent=-3 line=0:0", "2 margins=0,0,0,0 indent=0 line=0:0",
                "8 margins=0,0,0,0 indent=0 line=0:0", "1 margins=40,0,6,0 indent=0 line=0:0",
                "1 margins=0,0,0,0 indent=0 line=3:18", "1 margins=0,0,0,0 indent=0 line=2:18",
                "1 margins=0,0,0,0 indent=0 line=1:115", "1 margins=0,0,0,0 indent=0 line=0:0",
                "1 margins=0,0,0,0 indent=0 line=0:0", "4 margins=0,0,0,0 indent=0 line=0:0" });
        // The fill (BGR) of the background shape; other shapes are neither background nor text.
        row("page background",
            "{\\rtf1\\viewbksp1{\\*\\background {\\shp{\\*\\shpinst{\\sp{\\sn fFilled}{\\sv 1}}"
            "{\\sp{\\sn fillColor}{\\sv 65280}}}}}"
            "{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 255}}}}x}",
            "^page bg=(.*)|^ run '([^']*)'", { "#ff00ff00", "x" });
        // The paragraph break before a table leaves no empty paragraph.
        row("table", spannedTable,
            "^(block).*|^(table .*)|^ cell 0,0 .* bg=(\\S+) .*|^ run '([^']*)'",
            { "block", "before", "table 3x3 widths=[1:100,1:100,1:100] border=1 padding=7.2",
                "#ff00ff00", "block", "after" });
        // Each cell's left, top, right and bottom padding in pixels; the first cell takes the
        // \clpad… words. A unit of 0 voids a value; Word and LibreOffice write a cell's top as
        // \clpadl and its left as \clpadt.
        auto padding = [](const char *name, const QByteArray &row, const QStringList &expected) {
            QTest::newRow(name) << "{\\rtf1\\trowd" + row
                    + "\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row}"
                                << QString(" pad=(.*)") << expected;
        };
        padding("trgaph alone", "\\trgaph90", { "6,6,6,6", "6,6,6,6" });
        padding("trpadd", "\\trgaph90\\trpaddl30\\trpaddfl3\\trpaddt45\\trpaddfb0\\trpaddb15",
            { "2,3,6,0", "2,3,6,0" });
        padding("clpad", "\\trgaph90\\clpadfl3\\clpadl30\\clpadt45\\clpadr60\\clpadb75",
            { "3,2,4,5", "6,6,6,6" });
    }

    void shown()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);
        const QRegularExpression re(pattern);
        QStringList shown;
        for (const QString &line : snapshot(*read(rtf))) {
            const QRegularExpressionMatch m = re.match(line);
            if (m.hasMatch())
                shown << m.captured(m.lastCapturedIndex());
        }
        QCOMPARE(shown, expected);
    }

    void pictures_data()
    {
        QTest::addColumn<QByteArray>("pictures");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("warns");
        QImage red(3, 2, QImage::Format_RGB32);
        red.fill(QColor(255, 0, 0));
        const QByteArray hex = encoded(red).toHex();
        QImage blue(2, 2, QImage::Format_RGB32);
        blue.fill(QColor(0, 0, 255));
        const QByteArray bin = encoded(blue);
        QImage black(3, 2, QImage::Format_RGB32);
        black.fill(Qt::black); // decodes exactly
        const QByteArray jpeg = encoded(black, "JPG");
        // Device-independent bitmaps of 2 x 1 pixels in hex: a 40-byte header (height -1 is
        // top-down), then 24 bits bottom-up: blue then green; 8 bits with the full palette
        // implied (blue, green, ...): pixels 0 and 1; 32 bits: the three bit-field masks first.
        auto dib = [](const char *height, const char *bitsAndCompression, const QByteArray &rest) {
            return "28000000 02000000 " + QByteArray(height) + " 0100 " + bitsAndCompression
                + QByteArray(40, '0') + " " + rest;
        };
        const QByteArray dib24 = dib("01000000", "1800 00000000", "ff000000ff000000");
        const QByteArray dib8 = dib(
            "01000000", "0800 00000000", "ff000000 00ff0000" + QByteArray(2032, '0') + " 00010000");
        const QByteArray fields
            = dib("ffffffff", "2000 03000000", "0000ff00 00ff0000 ff000000 0000ff00 00ff0000");
        auto row = [](const char *name, const QByteArray &rtf, const char *expected,
                       bool warns = false) {
            QTest::newRow(name) << rtf << QString::fromLatin1(expected) << warns;
        };
        // Each picture as "shown size, pixel size, top-left, top-right and middle pixel".
        row("png at its own size", "{\\pict\\pngblip\\picw3\\pich2 " + hex + "}",
            "3x2 3x2 #ff0000 #ff0000 #ff0000");
        row("goal times scale",
            "{\\pict\\pngblip\\picwgoal600\\pichgoal300\\picscalex50\\picscaley200 " + hex + "}",
            "20x40 3x2 #ff0000 #ff0000 #ff0000");
        row("bin", "{\\pict\\pngblip\\bin" + QByteArray::number(bin.size()) + " " + bin + "}",
            "2x2 2x2 #0000ff #0000ff #0000ff");
        row("two pictures", "{\\pict\\pngblip " + hex + "}{\\pict\\pngblip " + bin.toHex() + "}",
            "3x2 3x2 #ff0000 #ff0000 #ff0000 | 2x2 2x2 #0000ff #0000ff #0000ff");
        row("shppict, nonshppict skipped",
            "{\\*\\shppict{\\pict\\pngblip " + hex + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}",
            "3x2 3x2 #ff0000 #ff0000 #ff0000");
        row("raster alternative of a metafile",
            "{\\*\\shppict{\\pict\\emfblip\\picwgoal300\\pichgoal150 0102}}"
            "{\\nonshppict{\\pict\\pngblip "
                + hex + "}}",
            "3x2 3x2 #ff0000 #ff0000 #ff0000");
        // Metafiles without a raster alternative: a bordered placeholder of their size.
        row("metafile placeholder",
            "{\\*\\shppict{\\pict\\emfblip\\picwgoal450\\pichgoal150 0102}}"
            "{\\nonshppict{\\pict\\wmetafile8 0102}}",
            "30x10 30x10 #606060 #606060 #c0c0c0");
        row("picw in 0.01 mm", "{\\pict\\wmetafile8\\picw2540\\pich1270 0102}",
            "96x48 96x48 #606060 #606060 #c0c0c0");
        row("wbitmap",
            "{\\pict\\wbitmap0\\picw8\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 f0000f00}",
            "8x2 8x2 #ffffff #000000 #ffffff");
        row("wbitmap rows on whole words",
            "{\\pict\\wbitmap0\\picw1\\pich2\\wbmbitspixel24 0000ff00 00ff0000}",
            "1x2 1x2 #ff0000 #ff0000 #00ff00");
        row("wbitmap cut short",
            "{\\pict\\wbitmap0\\picw8\\pich2\\wbmbitspixel1\\wbmwidthbytes2 f000}",
            "8x2 8x2 #606060 #606060 #606060", true);
        row("dibitmap", "{\\pict\\dibitmap0\\picw2\\pich1 " + dib24 + "}",
            "2x1 2x1 #0000ff #00ff00 #00ff00");
        row("dibitmap with a palette", "{\\pict\\dibitmap0 " + dib8 + "}",
            "2x1 2x1 #0000ff #00ff00 #00ff00");
        row("dibitmap top-down with bit fields", "{\\pict\\dibitmap0 " + fields + "}",
            "2x1 2x1 #ff0000 #00ff00 #00ff00");
        row("jpegblip", "{\\pict\\jpegblip " + jpeg.toHex() + "}",
            "3x2 3x2 #000000 #000000 #000000");
        // Chunks that make no pixels are dropped, the picture still shows.
        auto withChunk = [good = encoded(red)](const QByteArray &chunk) {
            return "{\\pict\\pngblip " + (good.left(33) + chunk + good.mid(33)).toHex() + "}";
        };
        row("png with a text chunk",
            withChunk(QByteArray::fromHex("00000004 74455874 61620063 00000000")),
            "3x2 3x2 #ff0000 #ff0000 #ff0000");
        // Found by fuzzing: a text chunk claiming 1.8 GB that libpng would allocate.
        row("corrupt png chunk length",
            withChunk(QByteArray::fromHex("6c000000") + "zTXt" + QByteArray(16, 'x')),
            "96x96 96x96 #606060 #606060 #606060", true);
        // 20000×20000 pixels declared; the CRC is not checked before the size.
        row("decompression bomb",
            "{\\pict\\pngblip 89504e470d0a1a0a0000000d4948445200004e2000004e200802000000"
            "00000000}",
            "96x96 96x96 #606060 #606060 #606060", true);
    }

    void pictures()
    {
        QFETCH(QByteArray, pictures);
        QFETCH(QString, expected);
        QFETCH(bool, warns);
        RtfReadResult result;
        const auto document = read("{\\rtf1 " + pictures + "}", &result);
        QVERIFY(result.ok);
        QCOMPARE(!result.warnings.isEmpty(), warns);
        QStringList shown;
        for (const QTextImageFormat &f : images(*document)) {
            const QImage i = imageOf(*document, f);
            shown << QStringLiteral("%1x%2 %3x%4 ")
                         .arg(f.width())
                         .arg(f.height())
                         .arg(i.width())
                         .arg(i.height())
                    + QStringList { i.pixelColor(0, 0).name(),
                          i.pixelColor(i.width() - 1, 0).name(),
                          i.pixelColor(i.width() / 2, i.height() / 2).name() }
                          .join(' ');
        }
        QCOMPARE(shown.join(QStringLiteral(" | ")), expected);
    }

    void hostileInputIsBounded_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("deep nesting") << QByteArray("{\\rtf1 ") + QByteArray(200000, '{') + "x"
                + QByteArray(200000, '}') + "}";
        QTest::newRow("deep unclosed")
            << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "\\b x";
        QTest::newRow("many closes") << QByteArray("{\\rtf1 x") + QByteArray(100000, '}') + "y";
        QTest::newRow("huge bin") << QByteArray("{\\rtf1{\\pict\\pngblip\\bin2147483647 abc}}");
        QTest::newRow("huge numbers") << QByteArray(
            "{\\rtf1\\fs-2147483648\\li2147483647\\sl-2147483648\\fi-2147483648"
            "\\uc2147483647\\u-2147483648 \\picscalex2147483647 \\dbch\\afs2147483647\\af-1 x\\par"
            "\\trowd\\trpaddl2147483647\\clpadt-2147483648\\cellx9\\intbl a\\cell\\row}");
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
        RtfReadResult result;
        read(rtf, &result);
        QVERIFY(result.ok);
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
