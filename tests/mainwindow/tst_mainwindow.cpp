#include "windowfixture.h"

#include "formattoolbar.h"
#include "mainstatusbar.h"
#include "messageboxanswerer.h"
#include "messages.h"
#include "programlistpane.h"
#include "windowarrangement.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {

// A double-click as the window system delivers it: two presses within the double-click time,
// sent to the window that shows `view`. As on screen, a press that comes while a modal box
// is open goes to the box, not to the view.
class OperatorDoubleClick
{
public:
    OperatorDoubleClick(QAbstractItemView *view, const QModelIndex &index)
        : m_window(view->window()->windowHandle())
    {
        view->scrollTo(index);
        const QPoint at = view->visualRect(index).center();
        m_local = view->viewport()->mapTo(view->window(), at);
        m_global = view->viewport()->mapToGlobal(at);
    }

    void first() { press(10000); } // no earlier press pairs with this one
    // The second press, unless it was already made (while a box was open).
    void second()
    {
        if (!std::exchange(m_secondDone, true))
            press(50);
    }

private:
    void press(int after)
    {
        s_time += after;
        for (const QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
            const Qt::MouseButtons held
                = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            qt_handleMouseEvent(
                m_window, m_local, m_global, held, Qt::LeftButton, type, {}, int(s_time += 10));
        }
    }

    static inline qint64 s_time = 1000000;
    QWindow *m_window;
    QPointF m_local;
    QPointF m_global;
    bool m_secondDone = false;
};

} // namespace

// Start-up, the program list and its selectors as the operator sees and drives them, and the
// default page window's size.
class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startUpFillsEverySelector_data()
    {
        QTest::addColumn<int>("trance");
        QTest::addColumn<QString>("style");
        QTest::newRow("TCP/IP") << 2 << u"TranceStyle:TCP/IP"_s;
        QTest::newRow("kind 7") << 7 << u"TranceStyle:None"_s;
    }
    void startUpFillsEverySelector()
    {
        WindowFixture f;
        WindowFixture::Settings s;
        QFETCH(int, trance);
        s.trance = trance;
        MDIFrmMain &w = f.startWith(s); // a sign of 8 x 2 modules
        QVERIFY(f.prompts.prompts.isEmpty());
        QCOMPARE(w.windowTitle(), QString("Vantrel V2.0"));
        QCOMPARE(w.programList().CurrentRow, qint16(0));
        QTEST(f.control<QLabel>("LblTranceStyle")->text(), "style");
        QVERIFY(w.menus().english->isChecked() && !w.menus().chinese->isChecked());
        // The selectors show the screen's size and their first items.
        for (const char *line : { "CobTxtWidth 8", "CobHeight 2", "CobTimesE 0", "CobRepeat 1",
                 "CobEffect rightleft", "CobEffectE none" }) {
            const QStringList p = QString::fromLatin1(line).split(' ');
            QVERIFY2(f.box(p.at(0))->currentText() == p.at(1), line);
        }
        QVERIFY(f.control<QTimer>("Timer1")->isActive());
        // The default page window is open, its canvas the screen: 8 x 16 + 2 by 2 x 16 + 2.
        QVERIFY(f.page() && f.page()->isVisible());
        QCOMPARE(f.canvas()->canvasSize(), QSize(130, 34));
    }

    void startUpTellsWhatWentWrongInOrder()
    {
        // Settings first, the link last: the bad width, then the port that will not open.
        WindowFixture f;
        WindowFixture::Settings s;
        s.screenWidth = "3000";
        s.trance = 0;
        s.commPort = "/nonexistent/vantrel-port";
        f.startWith(s);
        const QStringList said = f.prompts.texts();
        QCOMPARE(said.size(), 2);
        QVERIFY2(said.at(0).contains("3000 modules wide"), qPrintable(said.at(0)));
        QVERIFY2(
            said.at(1).startsWith(MsgText(Msg::PortInitError, "English")), qPrintable(said.at(1)));
        // The width is refused before the height is looked at.
        QCOMPARE(f.canvas()->canvasSize(), QSize(130, 18));
    }

    void missingSettingsFileIsCreatedAndSaid()
    {
        WindowFixture f;
        f.start();
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(QFile::exists(f.path("BaseSet.ini")));
        QCOMPARE(f.box("CobTxtWidth")->currentText(), QString("8")); // the default
    }

    void picksWriteTheCurrentRow_data()
    {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("column"); // of rowTexts, the number column being 0
        QTest::addColumn<QString>("stored");
        QTest::newRow("speed") << u"CobSpeed"_s << u"7"_s << 2 << u"7"_s;
        QTest::newRow("effect position") << u"CobEffect"_s << u"zoomup"_s << 1 << u"9"_s;
        QTest::newRow("exit effect") << u"CobEffectE"_s << u"updown"_s << 5 << u"4"_s;
        QTest::newRow("exit repeat") << u"CobRepeatE"_s << u"9"_s << 8 << u"9"_s;
        QTest::newRow("text width") << u"CobWidth"_s << u"12"_s << 9 << u"12"_s;
        QTest::newRow("text height") << u"CobHeight"_s << u"3"_s << 10 << u"3"_s;
    }
    void picksWriteTheCurrentRow()
    {
        QFETCH(QString, selector);
        QFETCH(QString, item);
        QFETCH(int, column);
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        QComboBox *box = f.box(selector);
        pickText(box, item); // on an empty list a pick asks for a file first
        QCOMPARE(f.prompts.prompts.size(), 1);
        f.addRows({ "a.rtf", "b.rtf" });
        const QStringList row1 = f.rowTexts(1), row2 = f.rowTexts(2);
        pickText(box, item); // before any click the pick only makes row 1 current
        QCOMPARE(w.programList().CurrentRow, qint16(1));
        QCOMPARE(f.rowTexts(1), row1);
        pickText(box, item);
        QTEST(f.rowTexts(1).at(column), "stored");
        QCOMPARE(f.rowTexts(2), row2);
        if (!box->isEditable())
            return;
        // Typed and confirmed with Enter: an item's text, but not a pick.
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, "5");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->currentText(), QString("5"));
        QTEST(f.rowTexts(1).at(column), "stored");
        // A step through the list with the keys is a pick.
        QTest::keyClick(box, Qt::Key_Down);
        QVERIFY(box->currentText() != "5");
        QCOMPARE(f.rowTexts(1).at(column), box->currentText());
    }

    void clickingARowShowsItsValues()
    {
        WindowFixture f;
        f.copySample("welcome.rtf", "a.rtf");
        MDIFrmMain &w = f.startWith();
        f.addRows({ "a.rtf", "b.rtf" });
        w.AddFileToListView("a.rtf", "", "2");
        ProgramList &pl = w.programList();
        pl.model()->setCell(2, ListColumn::Speed, "7");
        pl.model()->setCell(2, ListColumn::EEffect, "5");
        pl.model()->setCell(1, ListColumn::TWidth, "4");
        pl.model()->setCell(1, ListColumn::THeight, "1");
        const QStringList row2 = f.rowTexts(2);
        clickIndex(f.list(), f.row(2));
        QCOMPARE(f.box("CobEffectE")->currentText(), QString("stay"));
        QCOMPARE(f.rowTexts(2), row2); // showing writes nothing back
        // Row 1 names a page that exists: it is shown and sized 4 x 1.
        clickIndex(f.list(), f.row(1));
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.canvas()->canvasSize(), QSize(4 * 16 + 2, 16 + 2));
        // Row 3's width is no whole number: the page opens unsized and the status bar says why.
        f.canvas()->clear();
        clickIndex(f.list(), f.row(3));
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.canvas()->canvasSize(), QSize(4 * 16 + 2, 16 + 2));
        QVERIFY(w.PicStatusBar()->note().contains("not a whole number"));
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void closeThenNewPage()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        QCOMPARE(w.activeDocument(), f.page());
        // Close, then New: an empty page of the screen's size, not the last one's, typing red.
        f.page()->ChangeWindowState(4, 3, 16);
        f.canvas()->insertPlainText("old text");
        f.closePage();
        w.menus().close->trigger(); // nothing to close: nothing happens
        w.menus().newPage->trigger();
        QVERIFY(f.page() && f.page()->isVisible() && f.page()->document()->isEmpty());
        QCOMPARE(f.canvas()->textColor(), QColor(255, 0, 0));
        QCOMPARE(f.canvas()->canvasSize(), QSize(130, 34));
    }

    void selectionFontReachesTheFontBoxes()
    {
        WindowFixture f;
        f.startWith();
        PageCanvas *canvas = f.canvas();
        QTextCharFormat format;
        format.setFontFamilies({ "Liberation Sans" });
        format.setFontPointSize(10.5);
        canvas->textCursor().insertText("aaa", format);
        format.setFontPointSize(20);
        canvas->textCursor().insertText("bbb", format);
        const auto shown = [&](int from, int to) {
            selectText(canvas, from, to);
            return f.box("cboSize")->currentText() + " " + f.box("cboFont")->currentText();
        };
        QCOMPARE(shown(0, 1), QString("10.5 Liberation Sans"));
        QCOMPARE(shown(4, 5), QString("20 Liberation Sans"));
        // Mixed sizes: the size box keeps its text, the common family shows.
        f.box("cboFont")->setEditText("");
        QCOMPARE(shown(0, 6), QString("20 Liberation Sans"));
        QCOMPARE(shown(2, 2), QString("10.5 Liberation Sans")); // no selection: the caret's
    }

    void tiling()
    {
        const QRect area(0, 0, 300, 100);
        QCOMPARE(tiledRects(area, 3, Qt::Horizontal), // stacked, the last takes the rest
            QList<QRect>({ QRect(0, 0, 300, 33), QRect(0, 33, 300, 33), QRect(0, 66, 300, 34) }));
        QCOMPARE(tiledRects(area, 2, Qt::Vertical), // side by side
            QList<QRect>({ QRect(0, 0, 150, 100), QRect(150, 0, 150, 100) }));
        // Cascaded: each a step down and right at its own size as far as the area allows,
        // moved back where it would reach past the area; at the top left again when it would
        // be moved back on both sides.
        QCOMPARE(cascadedRects(
                     area, { QSize(100, 40), QSize(400, 40), QSize(50, 90), QSize(280, 80) }, 20),
            QList<QRect>({ QRect(0, 0, 100, 40), QRect(0, 20, 300, 40), QRect(40, 10, 50, 90),
                QRect(0, 0, 280, 80) }));
    }

    void cascadeAndLongNotesLeaveTheWindowAlone()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        w.createPageWindow();
        w.createPageWindow()->ChangeWindowState(12, 3, 16);
        const QSize size = w.size();
        w.menus().cascade->trigger();
        QCOMPARE(w.mdiArea()->subWindowList().size(), 3);
        for (QMdiSubWindow *sub : w.mdiArea()->subWindowList()) {
            const auto *page = qobject_cast<frmDocument *>(sub->widget());
            // The whole canvas shows, clear of the scroll bars.
            const QRect shown = page->rect().adjusted(
                0, 0, -page->VScroll1()->width(), -page->HScroll1()->height());
            QVERIFY2(shown.contains(page->rtfText()->geometry()), qPrintable(sub->windowTitle()));
            QVERIFY(w.mdiArea()->viewport()->rect().contains(sub->geometry()));
        }
        QCOMPARE(w.size(), size);
        // A note longer than the screen is wide: shown elided, whole in the tooltip.
        const QString note = QString("Language.lng is missing. ").repeated(40);
        w.showNote(note);
        QCoreApplication::processEvents();
        QCOMPARE(w.size(), size);
        const auto *label = f.control<QLabel>("StatusNote");
        QVERIFY(label->text().endsWith(QChar(0x2026)));
        QCOMPARE(label->toolTip(), note);
        QVERIFY(w.minimumSizeHint().width() < 1000);
    }

    void doubleClickWithUnsavedChanges_data()
    {
        QTest::addColumn<bool>("inList"); // a row of the program list, else a browser file
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("page");
        QTest::newRow("file, page discarded") << false << "ok"
                                              << "discard" << 1 << "Welcome!";
        QTest::newRow("file, page kept") << false << "cancel"
                                         << "discard" << 1 << "typed";
        // A removed row's page is not shown, so nothing is asked about the page.
        QTest::newRow("row removed") << true << "ok"
                                     << "delete" << 2 << "typed";
        QTest::newRow("row kept, page discarded") << true << "cancel,ok"
                                                  << "delete,discard" << 3 << "Welcome!";
        QTest::newRow("row kept, page kept") << true << "cancel,cancel"
                                             << "delete,discard" << 3 << "typed";
    }
    void doubleClickWithUnsavedChanges()
    {
        QFETCH(bool, inList);
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith();
        if (inList)
            f.addRows({ "welcome.rtf", "welcome.rtf", "welcome.rtf" });
        w.setPromptSink(nullptr); // real message boxes, which take the input while open
        f.canvas()->insertPlainText("typed");
        QAbstractItemView *view = inList ? static_cast<QAbstractItemView *>(f.list()) : f.files();
        OperatorDoubleClick click(view, inList ? f.row(2) : fileIndex(f.files(), "welcome.rtf"));
        QFETCH(QString, answers);
        MessageBoxAnswerer boxes; // the operator's second press lands while a box is up
        for (const QString &answer : answers.split(','))
            boxes.script << (answer == "ok" ? QMessageBox::Ok : QMessageBox::Cancel);
        boxes.onBox = [&click] { click.second(); };
        const auto askedKinds = [&boxes] {
            QStringList kinds;
            for (const QString &text : boxes.texts())
                kinds << (text == MsgText(Msg::ConfirmDelete, "English") ? "delete"
                        : text.contains("not saved")                     ? "discard"
                                                                         : text);
            return kinds.join(',');
        };
        click.first();
        click.second();
        QFETCH(QString, asked);
        QTRY_COMPARE(askedKinds(), asked);
        QTEST(w.programList().rowCount(), "rows");
        QTEST(f.page()->document()->toPlainText(), "page");
        QCOMPARE(w.programListPane()->selectedRow(), inList ? 2 : 0);
    }

    void keyboardMovesActLikeClicks_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("row");
        QTest::newRow("Down") << int(Qt::Key_Down) << 4;
        QTest::newRow("Home") << int(Qt::Key_Home) << 1;
        QTest::newRow("End") << int(Qt::Key_End) << 6;
    }
    void keyboardMovesActLikeClicks()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith();
        ProgramList &pl = w.programList();
        for (int r = 1; r <= 6; ++r) {
            w.AddFileToListView("welcome.rtf", QString::number(r), "1");
            pl.model()->setCell(r, ListColumn::Speed, QString::number(10 + r));
        }
        clickIndex(f.list(), f.row(3));
        f.page()->newPage();
        QFETCH(int, key);
        QFETCH(int, row);
        QTest::keyClick(f.list(), Qt::Key(key));
        // Current, highlighted, in the selectors, and its page shown at its size.
        QCOMPARE(pl.CurrentRow, qint16(row));
        QCOMPARE(w.programListPane()->selectedRow(), row);
        QCOMPARE(f.box("CobSpeed")->currentText(), QString::number(10 + row));
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.canvas()->width(), row * 16 + 2);
        // The selectors write the row the keys moved to.
        pickText(f.box("CobTimes"), "9");
        QCOMPARE(f.rowTexts(row).at(ListColumn::Times - 1), QString("9"));
    }

    void removingRowsMovesTheHighlight()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp");
        f.addRows({ "a.rtf", "welcome.rtf", "logo.bmp" });
        w.programList().model()->setCell(3, ListColumn::Speed, "6");
        ProgramListPane *pane = w.programListPane();
        QTreeView *list = f.list();
        // A double-click beside the rows, or Delete with no row selected, asks nothing.
        const QPoint blank(5, list->viewport()->height() - 3);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, blank);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, blank);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(f.prompts.prompts.isEmpty());
        // A double-click on row 2, answered OK, removes it; CurrentRow stays 2, now the row
        // that was row 3, and the selectors and page window show it, not the removed one.
        doubleClickIndex(list, f.row(2));
        QCOMPARE(f.prompts.prompts.size(), 1);
        QCOMPARE(w.programList().rowCount(), 2);
        QCOMPARE(w.programList().CurrentRow, qint16(2));
        QCOMPARE(pane->selectedRow(), 2);
        QCOMPARE(f.rowTexts(1).last() + f.rowTexts(2).first() + f.rowTexts(2).last(),
            QString("a.rtf2logo.bmp"));
        QCOMPARE(f.box("CobSpeed")->currentText(), QString("6"));
        QVERIFY(hasPicture(f.page()->document()));
        pickText(f.box("CobRepeat"), "9");
        QCOMPARE(f.rowTexts(2).at(4), QString("9"));
        // Delete on the current row at the end: nothing is highlighted, as nothing is current,
        // and the removed row's page goes with it.
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(w.programList().CurrentRow, qint16(2));
        QCOMPARE(pane->selectedRow(), 0);
        QVERIFY(f.page()->document()->isEmpty());
        // A pick then makes row 1 current, and row 1 is highlighted.
        pickText(f.box("CobSpeed"), "5");
        QCOMPARE(w.programList().CurrentRow, qint16(1));
        QCOMPARE(pane->selectedRow(), 1);
    }

    void aPictureInAFolderNamedRtfPagesStaysAPicture()
    {
        WindowFixture f;
        f.writeSettings(WindowSettings());
        const QString folder = f.path("rtf-pages");
        QVERIFY(QDir().mkdir(folder));
        for (const char *name : { "BaseSet.ini", "Language.lng" })
            QVERIFY(QFile::copy(f.path(name), folder + '/' + QLatin1String(name)));
        f.copySample("logo.bmp", "rtf-pages/logo.bmp");
        setProgramFolder(folder);
        MDIFrmMain &w = f.start();
        clickIndex(f.files(), fileIndex(f.files(), "logo.bmp"));
        QVERIFY(hasPicture(f.page()->document()));
        w.AddFileToListView("logo.bmp", "8", "1");
        f.page()->newPage();
        clickIndex(f.list(), f.row(1));
        QVERIFY(hasPicture(f.page()->document()));
    }

    void sizesTheSignCannotTakeAreNotDrawn()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith(); // a canvas of 8 x 2 modules
        const QSize canvas(130, 34);
        const auto noted
            = [&w](const QString &part) { return w.PicStatusBar()->note().contains(part); };
        // A row of 999 x 999: current and in the selectors, its page shown unsized.
        w.AddFileToListView("welcome.rtf", "999", "999");
        clickIndex(f.list(), f.row(1));
        QCOMPARE(f.box("CobWidth")->currentText(), QString("999"));
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.canvas()->size(), canvas);
        QVERIFY2(noted("TextWidth is 999, but the sign takes TextWidth from 0 to 127"),
            qPrintable(w.PicStatusBar()->note()));
        // "SendChar" refuses it before loading and drawing the page.
        f.page()->newPage();
        w.sendPicture();
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(f.prompts.texts().first().contains("TextWidth is 999"));
        QCOMPARE(f.canvas()->size(), canvas);
        QVERIFY(f.page()->document()->isEmpty());
        // The text-size boxes: each side against its own limit.
        emit w.tbFormatBar()->textWidthPicked("999");
        QVERIFY(noted("TextWidth is 999"));
        emit w.tbFormatBar()->textHeightPicked("16");
        QVERIFY(noted("TextHeight is 16, but the sign takes TextHeight from 0 to 15"));
        QCOMPARE(f.canvas()->size(), canvas);
        emit w.tbFormatBar()->textWidthPicked("127");
        QCOMPARE(f.canvas()->size(), QSize(127 * 16 + 2, 34));
        // Picks in the boxes resize the active canvas, not the rows; a text that is not a whole
        // number leaves it and says why.
        const QStringList row = f.rowTexts(1);
        pickText(f.box("CobTxtWidth"), "4");
        pickText(f.box("CobTxtHeight"), "3");
        QCOMPARE(f.canvas()->canvasSize(), QSize(4 * 16 + 2, 3 * 16 + 2));
        QCOMPARE(f.rowTexts(1), row);
        f.box("CobTxtWidth")->setEditText("");
        emit w.tbFormatBar()->textWidthPicked("");
        QCOMPARE(f.canvas()->canvasSize().width(), 4 * 16 + 2);
        QVERIFY2(noted("\"\" is not a text size"), qPrintable(w.PicStatusBar()->note()));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
