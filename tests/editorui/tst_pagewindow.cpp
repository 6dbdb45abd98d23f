#include "frmdocument.h"
#include "pagecanvas.h"
#include "pagedocument.h"
#include "pagerenderer.h"
#include "selectionfont.h"

#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// What the canvas widget shows, one pixel per unit, without caret or selection.
QImage grabCanvas(PageCanvas *canvas)
{
    canvas->setTextCursor(QTextCursor(canvas->document())); // no selection
    canvas->clearFocus();
    return canvas->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void typeColoured(QTextCursor &cursor, const QString &text, const QColor &color, int pointSize = 12,
    bool bold = false)
{
    QTextCharFormat format;
    format.setForeground(color);
    format.setFontPointSize(pointSize);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    cursor.insertText(text, format);
}

} // namespace

class tst_PageWindow : public QObject
{
    Q_OBJECT

private slots:
    void changeWindowStateSizesTheCanvas()
    {
        frmDocument page(QSize(130, 18));
        page.resize(400, 200);
        QCOMPARE(page.ChangeWindowState(8, 2, 16), frmDocument::SizeResult::Sized);
        QCOMPARE(page.rtfText()->size(), QSize(130, 34));
        QCOMPARE(page.rtfText()->objectName(), QString("rtfText"));
        QCOMPARE(page.HScroll1()->objectName(), QString("HScroll1"));
        QCOMPARE(page.VScroll1()->objectName(), QString("VScroll1"));
    }

    void sizeBeyondSixteenBitsIsRefusedWidthFirst()
    {
        frmDocument page(QSize(130, 18));
        // 2048 x 16 + 2 does not fit: nothing changes.
        QCOMPARE(page.ChangeWindowState(2048, 1, 16), frmDocument::SizeResult::WidthTooLarge);
        QCOMPARE(page.rtfText()->size(), QSize(130, 18));
        // The width is set before the height is looked at.
        QCOMPARE(page.ChangeWindowState(4, 2048, 16), frmDocument::SizeResult::HeightTooLarge);
        QCOMPARE(page.rtfText()->size(), QSize(66, 18));
        QCOMPARE(page.ChangeWindowState(-1, 1, 16), frmDocument::SizeResult::WidthTooLarge);
        QVERIFY(frmDocument::sizeRefusalMessage(
            frmDocument::SizeResult::HeightTooLarge, 4, 2048, 16, "English")
                    .contains("2048 modules high"));
        QVERIFY(!page.setCanvasWidth(40000));
        QVERIFY(page.setCanvasWidth(128));
        QCOMPARE(page.rtfText()->width(), 128);
    }

    void smallCanvasIsCentredLargeOneScrolls()
    {
        frmDocument page(QSize(130, 34));
        page.resize(400, 200);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(page.rtfText()->pos(), QPoint((400 - 130) / 2, (200 - 34) / 2));
        QCOMPARE(page.HScroll1()->maximum(), 0);

        QCOMPARE(page.ChangeWindowState(64, 1, 16), frmDocument::SizeResult::Sized); // 1026 wide
        QCOMPARE(page.HScroll1()->maximum(), 1026 - 400);
        QCOMPARE(page.HScroll1()->pageStep(), 400);
        QCOMPARE(page.rtfText()->x(), 0);
        QCOMPARE(page.HScroll1()->geometry().bottom(), 199);
        QCOMPARE(page.HScroll1()->width(), 400 - page.VScroll1()->width());

        // The canvas follows the bar, by thumb or by arrow.
        page.HScroll1()->setValue(300);
        QCOMPARE(page.rtfText()->x(), -300);
        page.HScroll1()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(page.rtfText()->x(), -301);
        // A wider window shortens the range and pulls the canvas back with the value.
        page.resize(1000, 200);
        QCOMPARE(page.HScroll1()->maximum(), 26);
        QCOMPARE(page.rtfText()->x(), -26);
    }

    void typingStartsRed()
    {
        frmDocument page(QSize(130, 18));
        QCOMPARE(page.rtfText()->textColor(), QColor(255, 0, 0));
        page.rtfText()->setTextColor(QColor(0, 255, 0));
        page.rtfText()->insertPlainText("x");
        page.newPage();
        QVERIFY(page.document()->isEmpty());
        QCOMPARE(page.rtfText()->textColor(), QColor(255, 0, 0));
    }

    void newPageKeepsTheBackground()
    {
        frmDocument page(QSize(130, 18));
        Page::setBackground(page.document(), QColor(0, 0, 80));
        page.rtfText()->insertPlainText("abc");
        page.newPage();
        QCOMPARE(Page::background(*page.document()), QColor(0, 0, 80));
        QCOMPARE(page.document()->defaultFont().family(), Page::defaultFont().family());
    }

    void canvasShowsWhatTheSignGets()
    {
        frmDocument page(QSize(130, 34));
        page.resize(300, 120);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        PageCanvas *canvas = page.rtfText();
        QTextCursor cursor(canvas->document());
        typeColoured(cursor, "Red ", Page::ledRed());
        typeColoured(cursor, "Green ", Page::ledGreen(), 10, true);
        typeColoured(cursor, "Yellow", Page::ledYellow(), 14);
        cursor.insertBlock();
        cursor.insertText("plain 中文"); // no colour of its own: red
        Page::setBackground(canvas->document(), QColor(0, 0, 40));
        QCoreApplication::processEvents();

        const QImage shown = grabCanvas(canvas);
        const QImage rendered = Page::renderCanvas(canvas->document(), canvas->size());
        QCOMPARE(shown.size(), rendered.size());
        QCOMPARE(shown, rendered);
        // And it is a page at all: lit pixels in each colour.
        int red = 0;
        int green = 0;
        for (int y = 0; y < rendered.height(); ++y)
            for (int x = 0; x < rendered.width(); ++x) {
                red += rendered.pixel(x, y) == qRgb(255, 0, 0);
                green += rendered.pixel(x, y) == qRgb(0, 255, 0);
            }
        QVERIFY(red > 20);
        QVERIFY(green > 10);
    }

    void overflowingTextDoesNotScrollTheCanvas()
    {
        frmDocument page(QSize(130, 18));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        PageCanvas *canvas = page.rtfText();
        canvas->setFocus();
        QTest::keyClicks(canvas, "first");
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(canvas, Qt::Key_Return);
        QTest::keyClicks(canvas, "last");
        QCoreApplication::processEvents();
        QCOMPARE(canvas->verticalScrollBar()->value(), 0);
        QCOMPARE(grabCanvas(canvas), Page::renderCanvas(canvas->document(), canvas->size()));
    }

    void pasteIsPlainText()
    {
        frmDocument page(QSize(130, 18));
        auto *rich = new QMimeData;
        rich->setHtml("<span style='color:#0000ff'>blue</span>");
        rich->setText("blue");
        QApplication::clipboard()->setMimeData(rich);
        page.rtfText()->paste();
        QCOMPARE(page.document()->toPlainText(), QString("blue"));
        const QTextCharFormat format = page.document()->begin().begin().fragment().charFormat();
        QCOMPARE(format.foreground().color(), QColor(255, 0, 0));
    }

    void selectionFontFollowsTheSelection()
    {
        frmDocument page(QSize(130, 18));
        QSignalSpy spy(&page, &frmDocument::selectionFontChanged);
        QTextCursor cursor(page.document());
        QTextCharFormat a;
        a.setFontFamilies({ "Liberation Sans" });
        a.setFontPointSize(10);
        cursor.insertText("aaa", a);
        QTextCharFormat b;
        b.setFontFamilies({ "Liberation Sans" });
        b.setFontPointSize(20);
        cursor.insertText("bbb", b);

        cursor.setPosition(0);
        cursor.setPosition(6, QTextCursor::KeepAnchor);
        page.rtfText()->setTextCursor(cursor);
        QVERIFY(!spy.isEmpty());
        const SelectionFont mixed = spy.last().at(0).value<SelectionFont>();
        QCOMPARE(mixed.family.value_or(""), QString("Liberation Sans"));
        QVERIFY(!mixed.pointSize); // sizes differ: the size box keeps its text

        cursor.setPosition(4);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        page.rtfText()->setTextCursor(cursor);
        QCOMPARE(spy.last().at(0).value<SelectionFont>().pointSize.value_or(0), 20.0);
        QCOMPARE(fontSizeText(10.5), QString("10.5"));
        QCOMPARE(fontSizeText(12), QString("12"));

        // No selection: the caret's font, the page default on an empty page.
        frmDocument empty(QSize(130, 18));
        const SelectionFont caret = selectionFont(empty.rtfText()->textCursor());
        QCOMPARE(caret.pointSize.value_or(0), 12.0);
    }
};

QTEST_MAIN(tst_PageWindow)
#include "tst_pagewindow.moc"
