#include "pagecommands.h"
#include "pagedocument.h"

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
    QTextBlock block(int n) const { return document.findBlockByNumber(n); }
    // The character format of the character at `position`.
    QTextCharFormat charAt(int position)
    {
        QTextCursor c(&document);
        c.setPosition(position + 1);
        return c.charFormat();
    }
};

} // namespace

// The page commands' rules that the toolbar keys on a real page (tests/mainwindow) do not reach:
// the states a page read from a file can be in, and what the clipboard may hold.
class tst_PageCommands : public QObject
{
    Q_OBJECT

private slots:
    void numberingKeyOnMixedAndForeignLists()
    {
        TestPage page;
        QTextCursor all = page.select(0, page.document.characterCount() - 1);
        // Only the middle paragraph bulleted: mixed, and the key turns them all on.
        QTextCursor middle = page.select(12, 13);
        applyFormatKey(FormatKey::Bullets, middle);
        QCOMPARE(page.block(1).textList()->format().style(), QTextListFormat::ListDisc);
        QVERIFY(!page.block(0).textList());
        QCOMPARE(bulletState(all), std::nullopt);
        QCOMPARE(applyFormatKey(FormatKey::Numbering, all).pressed, std::optional<bool>(true));
        QCOMPARE(bulletState(all), std::optional<bool>(true));
        // Off takes the hanging indent with it.
        QCOMPARE(applyFormatKey(FormatKey::Numbering, all).pressed, std::optional<bool>(false));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!page.block(i).textList());
            QCOMPARE(page.block(i).blockFormat().indent(), 0);
            QCOMPARE(page.block(i).blockFormat().textIndent(), 0.0);
        }
        // A numbered list from a file counts as off: the key makes it bullets.
        TestPage numbered;
        QTextCursor n = numbered.select(0, 5);
        n.createList(QTextListFormat::ListDecimal);
        QCOMPARE(applyFormatKey(FormatKey::Numbering, n).pressed, std::optional<bool>(true));
        QCOMPARE(numbered.block(0).textList()->format().style(), QTextListFormat::ListDisc);
    }

    void indentMovesEachParagraphByItsOwn()
    {
        TestPage page;
        QTextCursor first = page.select(0, 1);
        applyFormatKey(FormatKey::IndentMore, first);
        QCOMPARE(page.block(0).blockFormat().leftMargin(), 13.0 / 25.4 * 96.0); // page units
        QCOMPARE(page.block(1).blockFormat().leftMargin(), 0.0);
        // 13, 0 and 0 mm less 13: the first moves, the others would go negative and stay.
        QTextCursor whole = page.select(0, page.document.characterCount() - 1);
        QVERIFY(changeLeftIndent(whole, -kIndentStepMm));
        QCOMPARE(leftIndentMm(QTextCursor(page.block(0))), 0.0);
        QVERIFY(!changeLeftIndent(whole, -kIndentStepMm));
        applyFormatKey(FormatKey::IndentMore, whole);
        applyFormatKey(FormatKey::IndentMore, first);
        QVERIFY(changeLeftIndent(whole, -26.0));
        QCOMPARE(leftIndentMm(QTextCursor(page.block(0))), 0.0);
        QVERIFY(qFuzzyCompare(leftIndentMm(QTextCursor(page.block(2))), 13.0));
    }

    void fontBoxesRefuseWhatIsNoFont()
    {
        TestPage page;
        QTextCursor c = page.select(0, 5);
        QVERIFY(applyFontSize(c, " 14 ") && applyFontSize(c, "1638") && applyFontSize(c, "10.5"));
        QCOMPARE(page.charAt(2).fontPointSize(), 10.5);
        for (const char *bad : { "abc", "0", "-3", "", "1639", "2000" })
            QVERIFY2(!applyFontSize(c, bad), bad);
        QCOMPARE(page.charAt(2).fontPointSize(), 10.5);
        QVERIFY(applyFontFamily(c, "Liberation Sans") && !applyFontFamily(c, "  "));
        QCOMPARE(page.charAt(2).fontFamilies().toStringList(), QStringList("Liberation Sans"));
        QCOMPARE(applyFormatKey("无此键", c).handled, false);
        QCOMPARE(applyFormatKey(FormatKey::Background, c).handled, false);
    }

    void clipboardIsPlainText()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText("before");
        TestPage page;
        QTextCursor none(&page.document);
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
        sel = page.select(0, 1);
        pastePlainText(sel, clipboard);
        QVERIFY(page.document.toPlainText().startsWith("X\nb"));
    }

    void clearRemovesFormattingAndPicturesButNotTheBackground()
    {
        TestPage page;
        QTextCursor c(&page.document);
        selectAll(c);
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
        c.insertText("new");
        QVERIFY(page.charAt(0).fontWeight() != QFont::Bold);
        QCOMPARE(Page::background(page.document), QColor(10, 20, 30));
    }
};

QTEST_MAIN(tst_PageCommands)
#include "tst_pagecommands.moc"
