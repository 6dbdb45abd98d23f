#include "rtftokenizer.h"

#include <QtTest>

namespace {

// One line per token, e.g. "{", "\b0", "T:text", "H:e9", "S:~", "B:payload".
QStringList tokens(const QByteArray &rtf)
{
    RtfTokenizer tokenizer(rtf);
    QStringList out;
    for (RtfToken t = tokenizer.next(); t.type != RtfToken::EndOfInput; t = tokenizer.next()) {
        switch (t.type) {
        case RtfToken::GroupOpen:
            out << QStringLiteral("{");
            break;
        case RtfToken::GroupClose:
            out << QStringLiteral("}");
            break;
        case RtfToken::ControlWord:
            out << QLatin1Char('\\') + QString::fromLatin1(t.data.toByteArray())
                    + (t.hasParameter ? QString::number(t.parameter) : QString());
            break;
        case RtfToken::ControlSymbol:
            out << QStringLiteral("S:") + QChar::fromLatin1(t.symbol);
            break;
        case RtfToken::Text:
            out << QStringLiteral("T:") + QString::fromLatin1(t.data.toByteArray());
            break;
        case RtfToken::HexByte:
            out << QStringLiteral("H:%1").arg(t.byte, 2, 16, QLatin1Char('0'));
            break;
        case RtfToken::Binary:
            out << QStringLiteral("B:") + QString::fromLatin1(t.data.toByteArray());
            break;
        case RtfToken::EndOfInput:
            break;
        }
    }
    return out;
}

} // namespace

class TestRtfTokenizer : public QObject
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
};

QTEST_APPLESS_MAIN(TestRtfTokenizer)
#include "tst_rtftokenizer.moc"
