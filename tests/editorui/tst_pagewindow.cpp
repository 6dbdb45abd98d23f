#include "frmdocument.h"
#include "pagecanvas.h"
#include "pagedocument.h"
#include "pagerenderer.h"

#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
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

} // namespace

// A page window on its own: the canvas size and scrolling, a new page, what the canvas
// paints and what a paste puts in. In the main window: tests/mainwindow.
class tst_PageWindow : public QObject
{
    Q_OBJECT

private slots:
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

    void newPageEmptiesAndTypesRed()
    {
        frmDocument page(QSize(130, 18));
        QCOMPARE(page.rtfText()->textColor(), QColor(255, 0, 0));
        page.rtfText()->setTextColor(QColor(0, 255, 0));
        page.rtfText()->insertPlainText("x");
        Page::setBackground(page.document(), QColor(0, 0, 80));
        QVERIFY(page.hasUnsavedChanges());
        page.newPage();
        QVERIFY(page.document()->isEmpty());
        QVERIFY(!page.hasUnsavedChanges());
        QCOMPARE(page.rtfText()->textColor(), QColor(255, 0, 0));
        QCOMPARE(Page::background(*page.document()), QColor(0, 0, 80)); // the page's, kept
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
        const int sent = canvas->unsentRect().x(); // the last module column is shaded
        QCOMPARE(grabCanvas(canvas).copy(0, 0, sent, canvas->height()),
            Page::renderCanvas(canvas->document(), canvas->size())
                .copy(0, 0, sent, canvas->height()));
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
};

QTEST_MAIN(tst_PageWindow)
#include "tst_pagewindow.moc"
