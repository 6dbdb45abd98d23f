// A page window on its own: the canvas size and scrolling, what a paste puts in,
// and the zoom: its rules, LEDs as square blocks of their exact colour, and the caret, clicks,
// drops and pastes landing where they look at every zoom. In the main window: tests/mainwindow.

#include "frmdocument.h"
#include "pagecanvas.h"
#include "pagedocument.h"
#include "pagerenderer.h"
#include "pagezoom.h"

#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <QtTest>

namespace {

// What the canvas widget shows, one pixel per unit, without caret or selection.
QImage grabCanvas(PageCanvas *canvas)
{
    canvas->setTextCursor(QTextCursor(canvas->document())); // no selection
    canvas->clearFocus();
    return canvas->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

const QString kText = QStringLiteral("WAVE lit 8");

// Shows the page window at `size` (and `zoom`) and waits until it is on screen.
bool showAt(frmDocument &page, QSize size, int zoom = 1)
{
    page.resize(size);
    page.setZoom(zoom);
    page.show();
    return QTest::qWaitForWindowExposed(&page);
}

// The centre of character `index` of the first line, in units.
QPointF characterCentre(QTextDocument *document, int index)
{
    const QTextBlock block = document->firstBlock();
    const QTextLine line = block.layout()->lineAt(0);
    const QPointF origin = block.layout()->position();
    const qreal left = line.cursorToX(index);
    const qreal right = line.cursorToX(index + 1);
    // A quarter into the character: the caret goes before it.
    return origin + QPointF(left + (right - left) / 4, line.y() + line.height() / 2);
}

} // namespace

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
        QVERIFY(!page.setCanvasWidth(40000) && page.setCanvasWidth(128));
        QCOMPARE(page.rtfText()->width(), 128);
    }

    void smallCanvasIsCentredLargeOneScrolls()
    {
        frmDocument page(QSize(130, 34));
        QVERIFY(showAt(page, QSize(400, 200)));
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

    void overflowingTextDoesNotScrollTheCanvas()
    {
        frmDocument page(QSize(130, 18));
        QVERIFY(showAt(page, page.size()));
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
        // The shaded columns say why in their tooltip; one module shades nothing.
        for (const int x : { 20, 120 }) {
            QHelpEvent help(QEvent::ToolTip, QPoint(x, 8), QPoint(x, 8));
            QApplication::sendEvent(canvas->viewport(), &help);
            QCOMPARE(QToolTip::text().startsWith("Not sent"), x == 120);
        }
        QCOMPARE(PageCanvas::firstUnsentColumn(18), 0);
    }

    void zoomRules()
    {
        QCOMPARE(PageZoom::fitFactor(QSize(130, 18), QSize(800, 40)), 2); // by the height
        QCOMPARE(PageZoom::fitFactor(QSize(2034, 242), QSize(800, 200)), 1); // never below 100%
        QCOMPARE(PageZoom::usableFactor(8, QSize(4097, 18)), 7); // 8 x 4097 > 32767
    }

    void clicksLandWhereTheyLook_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::newRow("100%") << 1;
        QTest::newRow("300%") << 3;
        QTest::newRow("Fit") << PageZoom::kFit;
    }
    void clicksLandWhereTheyLook()
    {
        QFETCH(int, zoom);
        frmDocument page(QSize(130, 18));
        QVERIFY(showAt(page, QSize(1000, 220), zoom));
        PageCanvas *canvas = page.rtfText();
        // Fit: 7 x 130 = 910 fits the width less the scroll bar, 7 x 18 the height.
        const int factor = zoom == PageZoom::kFit ? 7 : zoom;
        QCOMPARE(page.zoomFactor(), factor);
        QCOMPARE(canvas->size(), QSize(130, 18) * factor);
        QCOMPARE(canvas->canvasSize(), QSize(130, 18));
        canvas->setPlainText(kText);
        for (int index = 0; index < kText.size(); ++index) {
            const QPoint at = (characterCentre(canvas->document(), index) * factor).toPoint();
            QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(canvas->textCursor().position(), index);
            // The caret is drawn where the click went: its rectangle, zoomed, is left of it.
            const QRectF caret = canvas->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
            QVERIFY(caret.left() <= at.x() && at.x() - caret.left() < 6 * factor);
            QVERIFY(caret.top() <= at.y() && caret.bottom() >= at.y());
        }
        // A drag from the second to the fifth character selects them.
        const QPoint from = (characterCentre(canvas->document(), 1) * factor).toPoint();
        const QPoint to = (characterCentre(canvas->document(), 5) * factor).toPoint();
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, canvas->viewport()->mapToGlobal(to), Qt::NoButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas->viewport(), &move);
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(canvas->textCursor().selectedText(), kText.mid(1, 4));
    }

    void everyLedIsASquareBlockOfItsColour()
    {
        frmDocument page(QSize(130, 34));
        QVERIFY(showAt(page, QSize(600, 300)));
        PageCanvas *canvas = page.rtfText();
        QTextCursor cursor(canvas->document());
        QTextCharFormat green;
        green.setForeground(Page::ledGreen());
        cursor.insertText("Go ", green);
        cursor.insertText("now");
        Page::setBackground(canvas->document(), QColor(0, 0, 40));
        const QImage units = Page::renderCanvas(canvas->document(), QSize(130, 34));
        for (const int zoom : { 1, 3, 4 }) {
            page.setZoom(zoom);
            QCoreApplication::processEvents();
            const QImage view = grabCanvas(canvas);
            QCOMPARE(view.size(), units.size() * zoom);
            // The last module column (units 112 on) is shaded, as the sign never lights it.
            const QRect sent(0, 0, 112 * zoom, 34 * zoom);
            const QImage scaled
                = units.scaled(units.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            QCOMPARE(view.copy(sent), scaled.copy(sent));
            QVERIFY(view.copy(canvas->unsentRect()) != scaled.copy(canvas->unsentRect()));
            // A view only: what the sign gets stays.
            QCOMPARE(Page::renderCanvas(canvas->document(), canvas->canvasSize()), units);
        }
    }

    void dropsAndPastesLandAtTheirPlace()
    {
        frmDocument page(QSize(130, 18));
        QVERIFY(showAt(page, QSize(900, 220), 4));
        PageCanvas *canvas = page.rtfText();
        canvas->setPlainText(kText);
        // Text dropped on the fourth character goes in before it.
        QMimeData text;
        text.setText("+");
        const QPointF at = characterCentre(canvas->document(), 3) * 4;
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas->viewport(), &enter); // the drop's target from now on
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas->viewport(), &move);
        QDropEvent drop(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas->viewport(), &drop);
        QCOMPARE(canvas->toPlainText(), kText.left(3) + "+" + kText.mid(3));
        // Pasted text comes as plain text in the typing colour, a picture in the sign's colours,
        // both at the caret.
        QTextCursor end(canvas->document());
        end.movePosition(QTextCursor::End);
        canvas->setTextCursor(end);
        auto *rich = new QMimeData;
        rich->setHtml("<span style='color:#0000ff'>blue</span>");
        rich->setText("blue");
        QApplication::clipboard()->setMimeData(rich);
        canvas->paste();
        QVERIFY(canvas->toPlainText().endsWith("8blue"));
        QCOMPARE(canvas->textCursor().charFormat().foreground().color(), QColor(255, 0, 0));
        QImage photo(20, 10, QImage::Format_RGB32);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x)
                photo.setPixel(x, y, qRgb(x * 12, 250 - y * 20, 200));
        for (const Page::PictureMode mode :
            { Page::PictureMode::Threshold, Page::PictureMode::Dither }) {
            canvas->setPictureMode(mode);
            QApplication::clipboard()->setImage(photo);
            canvas->paste();
            // The caret is after the picture: the format before it is the picture's.
            const QTextCharFormat placed = canvas->textCursor().charFormat();
            QVERIFY(placed.isImageFormat());
            const QImage image
                = canvas->document()
                      ->resource(QTextDocument::ImageResource, QUrl(placed.toImageFormat().name()))
                      .value<QImage>();
            QCOMPARE(image, Page::toLedColours(photo, mode));
        }
        // Too large a picture is refused, and the page stays as it was.
        QSignalSpy refused(canvas, &PageCanvas::pictureRefused);
        const QString before = canvas->toPlainText();
        QApplication::clipboard()->setImage(QImage(20000, 2, QImage::Format_RGB32));
        canvas->paste();
        QCOMPARE(refused.size(), 1);
        QCOMPARE(canvas->toPlainText(), before);
    }

    void zoomKeysAndWheel()
    {
        frmDocument page(QSize(130, 18));
        QVERIFY(showAt(page, QSize(1000, 220)));
        page.activateWindow();
        page.rtfText()->setFocus();
        QCOMPARE(page.zoom(), 1);
        QTest::keyClick(page.rtfText(), Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(page.zoom(), 2);
        QTest::keyClick(page.rtfText(), Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(page.rtfText(), Qt::Key_Minus, Qt::ControlModifier); // stays at 100%
        QCOMPARE(page.zoom(), 1);
        QTest::keyClick(page.rtfText(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(page.zoom(), PageZoom::kFit);
        QCOMPARE(page.zoomFactor(), 7);
        QCOMPARE(page.rtfText()->toPlainText(), QString()); // no key was typed into the page
        // Ctrl+wheel steps from the factor shown; the canvas leaves it to its window. The plain
        // wheel does not zoom.
        const QPointF over = page.rtfText()->geometry().center();
        QWheelEvent in(over, page.mapToGlobal(over), {}, QPoint(0, 120), Qt::NoButton,
            Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(page.rtfText()->viewport(), &in);
        QVERIFY(!in.isAccepted());
        QCOMPARE(page.zoom(), PageZoom::kFit);
        QApplication::sendEvent(&page, &in);
        QCOMPARE(page.zoom(), 8);
        QWheelEvent plain(over, page.mapToGlobal(over), {}, QPoint(0, -120), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&page, &plain);
        QCOMPARE(page.zoom(), 8);
        // Fit follows the window's size.
        page.setZoom(PageZoom::kFit);
        page.resize(500, 220);
        QCOMPARE(page.zoomFactor(), 3);
    }
};

QTEST_MAIN(tst_PageWindow)
#include "tst_pagewindow.moc"
