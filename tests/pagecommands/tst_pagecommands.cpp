#include "pagecommands.h"
#include "pagedocument.h"
#include "pageformat.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

using namespace Page;

namespace {

// A page of three paragraphs, as the editor makes one.
struct TestPage
{
    QTextDocument document;
    TestPage(const QString &text = QStringLiteral("first line\nsecond line\nthird line"))
    {
        Page::setUpDocument(&document);
        document.setPlainText(text);
    }
    QTextCursor select(int from, int to)
    {
        QTextCursor c(&document);
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        return c;
    }
    QTextCursor all()
    {
        QTextCursor c(&document);
        c.select(QTextCursor::Document);
        return c;
    }
    QTextBlock block(int n) const { return document.findBlockByNumber(n); }
    // The character format of the character at `position`.
    QTextCharFormat charAt(int position)
    {
        QTextCursor c(&document);
        c.setPosition(position + 1);
        return c.charFormat();
    }
};

bool hasAttribute(const QTextCharFormat &f, CharToggle which)
{
    switch (which) {
    case CharToggle::Bold:
        return f.fontWeight() == QFont::Bold;
    case CharToggle::Italic:
        return f.fontItalic();
    case CharToggle::Underline:
        return f.fontUnderline();
    case CharToggle::StrikeOut:
        return f.fontStrikeOut();
    }
    return false;
}

const qreal kStepUnits = 13.0 / 25.4 * 96.0;

} // namespace

Q_DECLARE_METATYPE(Page::CharToggle)

class tst_PageCommands : public QObject
{
    Q_OBJECT

private slots:
    void toggles_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<CharToggle>("which");
        QTest::newRow("粗体") << FormatKey::Bold << CharToggle::Bold;
        QTest::newRow("斜体") << FormatKey::Italic << CharToggle::Italic;
        QTest::newRow("下划线") << FormatKey::Underline << CharToggle::Underline;
        QTest::newRow("删除线") << FormatKey::StrikeOut << CharToggle::StrikeOut;
    }
    void toggles()
    {
        QFETCH(QString, key);
        QFETCH(CharToggle, which);
        TestPage page;
        QTextCursor c = page.select(0, 5);
        FormatKeyResult r = applyFormatKey(key, c);
        QVERIFY(r.handled);
        QCOMPARE(r.pressed, std::optional<bool>(true));
        for (int i = 0; i < 5; ++i)
            QVERIFY(hasAttribute(page.charAt(i), which));
        QVERIFY(!hasAttribute(page.charAt(6), which));

        // A selection that is half set has no single value: nothing changes, not pressed.
        QTextCursor mixed = page.select(2, 8);
        QCOMPARE(charAttribute(mixed, which), std::nullopt);
        r = applyFormatKey(key, mixed);
        QCOMPARE(r.pressed, std::optional<bool>(false));
        QVERIFY(hasAttribute(page.charAt(2), which));
        QVERIFY(!hasAttribute(page.charAt(7), which));

        // Pressing again on the set text clears it.
        r = applyFormatKey(key, c);
        QCOMPARE(r.pressed, std::optional<bool>(false));
        QVERIFY(!hasAttribute(page.charAt(0), which));

        // Without a selection the key sets the format typing will use.
        QTextCursor typing(&page.document);
        typing.movePosition(QTextCursor::End);
        QCOMPARE(applyFormatKey(key, typing).pressed, std::optional<bool>(true));
        typing.insertText("x");
        QVERIFY(hasAttribute(page.charAt(page.document.characterCount() - 2), which));
    }

    void alignment()
    {
        TestPage page;
        QTextCursor c = page.select(3, 15); // the first two paragraphs
        QTextBlockFormat justified;
        justified.setAlignment(Qt::AlignJustify);
        c.mergeBlockFormat(justified);

        applyFormatKey(FormatKey::AlignCentre, c);
        QCOMPARE(
            page.block(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(
            page.block(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(int(Page::alignment(c)), 2);
        applyFormatKey(FormatKey::AlignRight, c);
        QCOMPARE(int(Page::alignment(c)), 1);
        // "两端对齐" is left, not justified.
        applyFormatKey(FormatKey::AlignLeft, c);
        QCOMPARE(page.block(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(int(Page::alignment(c)), 0);
        QVERIFY(!page.block(2).blockFormat().hasProperty(QTextFormat::BlockAlignment));
    }

    void bulletsStayOn()
    {
        TestPage page;
        QTextCursor c = page.select(0, 15);
        applyFormatKey(FormatKey::Bullets, c);
        QTextList *list = page.block(0).textList();
        QVERIFY(list);
        QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(page.block(1).textList(), list);
        QVERIFY(!page.block(2).textList());
        applyFormatKey(FormatKey::Bullets, c);
        QCOMPARE(page.block(0).textList(), list);
        QCOMPARE(page.block(1).textList(), list);
        QCOMPARE(bulletState(c), std::optional<bool>(true));
    }

    void numberingTogglesBullets()
    {
        TestPage page;
        QTextCursor c = page.all();
        FormatKeyResult r = applyFormatKey(FormatKey::Numbering, c);
        QCOMPARE(r.pressed, std::optional<bool>(true));
        for (int i = 0; i < 3; ++i)
            QVERIFY(page.block(i).textList());

        r = applyFormatKey(FormatKey::Numbering, c);
        QCOMPARE(r.pressed, std::optional<bool>(false));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!page.block(i).textList());
            QCOMPARE(page.block(i).blockFormat().textIndent(), 0.0);
            QCOMPARE(page.block(i).blockFormat().indent(), 0);
        }

        // Mixed (only the middle paragraph bulleted) turns them all on.
        QTextCursor middle = page.select(12, 13);
        applyFormatKey(FormatKey::Bullets, middle);
        QCOMPARE(bulletState(c), std::nullopt);
        QCOMPARE(applyFormatKey(FormatKey::Numbering, c).pressed, std::optional<bool>(true));
        QCOMPARE(bulletState(c), std::optional<bool>(true));

        // A numbered list from a file counts as off.
        TestPage numbered;
        QTextCursor n = numbered.all();
        n.createList(QTextListFormat::ListDecimal);
        QCOMPARE(applyFormatKey(FormatKey::Numbering, n).pressed, std::optional<bool>(true));
        QCOMPARE(numbered.block(0).textList()->format().style(), QTextListFormat::ListDisc);
    }

    void ledColoursAreExact_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QRgb>("rgb");
        QTest::newRow("red 0x0000FF") << FormatKey::ColorRed << qRgb(255, 0, 0);
        QTest::newRow("yellow 0x00FFFF") << FormatKey::ColorYellow << qRgb(255, 255, 0);
        QTest::newRow("green 0x00FF00") << FormatKey::ColorGreen << qRgb(0, 255, 0);
    }
    void ledColoursAreExact()
    {
        QFETCH(QString, key);
        QFETCH(QRgb, rgb);
        TestPage page;
        QTextCursor c = page.select(6, 20);
        applyFormatKey(key, c);
        for (int i = 6; i < 20; ++i) {
            if (page.document.characterAt(i) == QChar::ParagraphSeparator)
                continue;
            const QColor colour = page.charAt(i).foreground().color();
            QCOMPARE(colour.rgba(), rgb);
            QCOMPARE(colour.spec(), QColor::Rgb);
        }
        QVERIFY(!page.charAt(5).foreground().color().isValid()
            || page.charAt(5).foreground().color().rgb() != rgb);
    }

    void indentSteps()
    {
        TestPage page;
        QTextCursor c = page.select(0, 1);
        applyFormatKey(FormatKey::IndentMore, c);
        QCOMPARE(leftIndentMm(c), 13.0);
        QCOMPARE(page.block(0).blockFormat().leftMargin(), kStepUnits);
        QCOMPARE(page.block(1).blockFormat().leftMargin(), 0.0);

        // Two decreases from 13 mm reach 0 mm, then the negative request is refused.
        QVERIFY(changeLeftIndent(c, -kIndentStepMm));
        QCOMPARE(leftIndentMm(c), 0.0);
        QVERIFY(!changeLeftIndent(c, -kIndentStepMm));
        QCOMPARE(leftIndentMm(c), 0.0);
        QCOMPARE(page.block(0).blockFormat().leftMargin(), 0.0);

        // Each paragraph moves by its own indent; one that would go negative stays.
        QTextCursor whole = page.all();
        applyFormatKey(FormatKey::IndentMore, whole);
        applyFormatKey(FormatKey::IndentMore, whole);
        QTextCursor last = page.select(25, 26);
        applyFormatKey(FormatKey::IndentLess, last);
        applyFormatKey(FormatKey::IndentLess, last);
        QVERIFY(qFuzzyCompare(leftIndentMm(QTextCursor(page.block(0))), 26.0));
        QCOMPARE(leftIndentMm(QTextCursor(page.block(2))), 0.0);
        QVERIFY(changeLeftIndent(whole, -26.0));
        QCOMPARE(leftIndentMm(QTextCursor(page.block(0))), 0.0);
        QCOMPARE(leftIndentMm(QTextCursor(page.block(2))), 0.0);
    }

    void exactSpacingOnEveryParagraph()
    {
        TestPage page;
        QTextCursor c = page.select(1, 1);
        applyFormatKey(FormatKey::Paragraph, c);
        QCOMPARE(c.selectionStart(), 0);
        QCOMPARE(c.selectionEnd(), page.document.characterCount() - 1);
        const auto check = [&](const QTextDocument &doc) {
            for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
                QCOMPARE(b.blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));
                QCOMPARE(b.blockFormat().lineHeight(), 18.0);
            }
        };
        check(page.document);
        applyFormatKey(FormatKey::Paragraph, c); // twice is the same as once
        check(page.document);

        // An empty page's one paragraph takes it, and so does text typed afterwards.
        TestPage empty { QString() };
        QTextCursor e(&empty.document);
        applyFormatKey(FormatKey::Paragraph, e);
        e.insertText("typed\nmore");
        check(empty.document);
    }

    void backgroundIsThePages()
    {
        TestPage page;
        QTextCursor c = page.select(0, 3);
        QCOMPARE(applyFormatKey(FormatKey::Background, c).handled, false);
        setPageBackground(&page.document, QColor(0, 0, 128));
        QCOMPARE(Page::background(page.document), QColor(0, 0, 128));
        setPageBackground(&page.document, QColor()); // a cancelled choice changes nothing
        QCOMPARE(Page::background(page.document), QColor(0, 0, 128));
        QCOMPARE(applyFormatKey("无此键", c).handled, false);
    }

    void fontBoxes()
    {
        TestPage page;
        QTextCursor c = page.select(0, 5);
        QVERIFY(applyFontSize(c, " 14 "));
        QCOMPARE(page.charAt(2).fontPointSize(), 14.0);
        for (const char *bad : { "abc", "0", "-3", "", "2000" })
            QVERIFY(!applyFontSize(c, bad));
        QCOMPARE(page.charAt(2).fontPointSize(), 14.0);
        QVERIFY(applyFontFamily(c, "Liberation Sans"));
        QCOMPARE(page.charAt(2).fontFamilies().toStringList(), QStringList("Liberation Sans"));
        QVERIFY(!applyFontFamily(c, "  "));
    }

    void clipboardIsPlainText()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText("before");
        TestPage page;
        QTextCursor none(&page.document);
        QVERIFY(!copyPlainText(none, clipboard));
        QVERIFY(!cutPlainText(none, clipboard));
        QCOMPARE(clipboard->text(), QString("before"));

        QTextCursor c = page.select(6, 17);
        QVERIFY(copyPlainText(c, clipboard));
        QCOMPARE(clipboard->text(), QString("line\nsecond"));
        QVERIFY(cutPlainText(c, clipboard));
        QCOMPARE(page.document.toPlainText(), QString("first  line\nthird line"));

        // Paste takes the plain text only, with Windows line ends as one break each.
        auto *mime = new QMimeData;
        mime->setHtml("<b>bold</b>");
        mime->setText("a\r\nb");
        clipboard->setMimeData(mime);
        QTextCursor at(&page.document);
        pastePlainText(at, clipboard);
        QCOMPARE(page.document.toPlainText(), QString("a\nbfirst  line\nthird line"));
        QVERIFY(page.charAt(0).fontWeight() != QFont::Bold);

        // Paste replaces the selection; an empty clipboard leaves it.
        clipboard->setText("X");
        QTextCursor sel = page.select(0, 1);
        pastePlainText(sel, clipboard);
        QVERIFY(page.document.toPlainText().startsWith("X\nb"));
        clipboard->clear();
        QTextCursor sel2 = page.select(0, 1);
        pastePlainText(sel2, clipboard);
        QVERIFY(page.document.toPlainText().startsWith("X\nb"));
    }

    void selectAllAndClear()
    {
        TestPage page;
        QTextCursor c(&page.document);
        selectAll(c);
        QCOMPARE(c.selectionStart(), 0);
        QCOMPARE(c.selectedText().size(), page.document.characterCount() - 1);

        applyFormatKey(FormatKey::Bold, c);
        applyFormatKey(FormatKey::Bullets, c);
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::green);
        page.document.addResource(QTextDocument::ImageResource, QUrl("pic"), image);
        QTextCursor end(&page.document);
        end.movePosition(QTextCursor::End);
        end.insertImage("pic");
        setPageBackground(&page.document, QColor(10, 20, 30));

        clearText(c);
        QCOMPARE(page.document.toPlainText(), QString());
        QCOMPARE(page.document.blockCount(), 1);
        QVERIFY(!page.block(0).textList());
        QVERIFY(!c.charFormat().isImageFormat());
        QVERIFY(c.charFormat().fontWeight() != QFont::Bold);
        c.insertText("new");
        QVERIFY(page.charAt(0).fontWeight() != QFont::Bold);
        QCOMPARE(Page::background(page.document), QColor(10, 20, 30));
    }

    void keysInToolbarOrder()
    {
        const QStringList keys = formatBarKeys();
        QCOMPARE(keys.size(), 16);
        QCOMPARE(keys.first(), QString("粗体"));
        QCOMPARE(keys.at(4), QString("两端对齐"));
        QCOMPARE(keys.at(8), QString("编号"));
        QCOMPARE(keys.last(), QString("背景"));
        QCOMPARE(backgroundDialogTitle(), QString("背景颜色"));
    }
};

QTEST_MAIN(tst_PageCommands)
#include "tst_pagecommands.moc"
