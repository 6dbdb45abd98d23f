#include "windowfixture.h"

#include "formattoolbar.h"
#include "mainstatusbar.h"
#include "standardtoolbar.h"
#include "windowarrangement.h"

#include "messages.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {

QStringList keysOf(const QList<QAction *> &buttons)
{
    QStringList keys;
    for (QAction *a : buttons)
        keys.append(a->data().toString());
    return keys;
}

} // namespace

// Start-up, the program list and its selectors, and the default page window's size.
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
        QCOMPARE(f.control<QLabel>("LblProgressValue")->text(), QString("0%"));
        QVERIFY(w.menus().english->isChecked() && !w.menus().chinese->isChecked());

        // Name, first and last item, the item shown, and whether it may be typed into.
        for (const char *line : { "cboSize 1 100 12 e", "CobTxtWidth 1 100 8 e",
                 "CobTxtHeight 1 100 2 e", "CobWidth 1 100 8 e", "CobHeight 1 100 2 e",
                 "CobTimes 0 25 0 -", "CobTimesE 0 25 0 -", "CobSpeed 1 25 1 -",
                 "CobSpeedE 1 25 1 -", "CobRepeat 1 125 1 -", "CobRepeatE 1 125 1 -" }) {
            const QStringList p = QString::fromLatin1(line).split(' ');
            const QComboBox *box = f.box(p.at(0));
            const QStringList items = itemTexts(box);
            QVERIFY2(items.first() == p.at(1) && items.last() == p.at(2), line);
            QVERIFY2(items.size() == p.at(2).toInt() - p.at(1).toInt() + 1, line);
            QVERIFY2(box->currentText() == p.at(3) && box->isEditable() == (p.at(4) == "e"), line);
        }
        for (const auto &[name, count, shown] :
            { std::tuple("CobEffect", 11, "rightleft"), std::tuple("CobEffectE", 6, "none") }) {
            QCOMPARE(f.box(name)->count(), count);
            QCOMPARE(f.box(name)->currentText(), QString(shown));
            QVERIFY(!f.box(name)->isEditable());
        }
        QComboBox *fonts = f.box("cboFont");
        QVERIFY(fonts->isEditable() && !fonts->currentText().isEmpty());
        QVERIFY(fonts->count() <= 43 || fonts->currentIndex() == 43);

        // The toolbars' keys in the order the language file's tooltip lists follow.
        QCOMPARE(keysOf(w.tbToolBar()->buttons()),
            QStringList({ "新建", "打开", "保存", "剪切", "复制", "粘贴", "插入表格", "插入图片",
                "帮助" }));
        QCOMPARE(keysOf(w.tbFormatBar()->buttons()),
            QStringList({ "粗体", "斜体", "下划线", "删除线", "两端对齐", "居中", "右对齐",
                "项目符号", "编号", "减少缩进量", "增加缩进量", "段落", "字体颜色(红)",
                "字体颜色(黄)", "字体颜色(绿)", "背景" }));
        QVERIFY(f.control<QTimer>("Timer1")->isActive());
        QCOMPARE(f.control<QTimer>("Timer1")->interval(), 5000);

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
        QCOMPARE(f.box("CobTxtWidth")->currentText(), QString("3000"));
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
        QCOMPARE(f.prompts.texts(), QStringList({ "Please Select One Creact File ID" }));
        QCOMPARE(f.prompts.prompts.first().icon, PromptIcon::Information);

        f.addRows({ "a.rtf", "b.rtf" });
        const QStringList row1 = f.rowTexts(1), row2 = f.rowTexts(2);
        pickText(box, item); // before any click the pick only makes row 1 current
        QCOMPARE(w.programList().CurrentRow, qint16(1));
        QCOMPARE(f.rowTexts(1), row1);
        pickText(box, item);
        QTEST(f.rowTexts(1).at(column), "stored");
        if (box->isEditable()) // typing writes nothing
            box->setEditText("40");
        QTEST(f.rowTexts(1).at(column), "stored");
        QCOMPARE(f.rowTexts(2), row2);
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
        pl.model()->setCell(2, ListColumn::Times, "12");
        pl.model()->setCell(2, ListColumn::EEffect, "5");
        pl.model()->setCell(1, ListColumn::TWidth, "4");
        pl.model()->setCell(1, ListColumn::THeight, "1");
        const QStringList row2 = f.rowTexts(2);

        clickIndex(f.list(), f.row(2));
        QCOMPARE(pl.CurrentRow, qint16(2));
        QCOMPARE(f.box("CobSpeed")->currentText(), QString("7"));
        QCOMPARE(f.box("CobTimes")->currentText(), QString("12"));
        QCOMPARE(f.box("CobEffectE")->currentText(), QString("stay"));
        QCOMPARE(f.rowTexts(2), row2); // showing writes nothing back

        // Row 1 names a page that exists: it is shown and sized 4 x 1.
        clickIndex(f.list(), f.row(1));
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.canvas()->canvasSize(), QSize(4 * 16 + 2, 16 + 2));
        QCOMPARE(f.box("CobWidth")->currentText(), QString("4"));

        // Row 3's width is no whole number: the page opens unsized and the status bar says why.
        f.canvas()->clear();
        clickIndex(f.list(), f.row(3));
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.canvas()->canvasSize(), QSize(4 * 16 + 2, 16 + 2));
        QVERIFY(w.PicStatusBar()->note().contains("not a whole number"));
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void removingRows()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        f.addRows({ "a.rtf", "b.rtf", "c.rtf" });
        QTreeView *list = f.list();

        // A double-click beside the rows, or Delete with no row selected, asks nothing.
        const QPoint blank(5, list->viewport()->height() - 3);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, blank);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, blank);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(f.prompts.prompts.isEmpty());

        f.prompts.confirmAnswer = false; // Cancel keeps the row
        doubleClickIndex(list, f.row(2));
        QCOMPARE(f.prompts.texts(), QStringList({ MsgText(Msg::ConfirmDelete, "English") }));
        QVERIFY(f.prompts.prompts.last().question);
        QCOMPARE(w.programList().rowCount(), 3);

        // OK removes it. The double-click's press made row 2 current and it stays 2, so the
        // next pick writes the row that was row 3.
        f.prompts.confirmAnswer = true;
        doubleClickIndex(list, f.row(2));
        QCOMPARE(w.programList().rowCount(), 2);
        QCOMPARE(w.programList().CurrentRow, qint16(2));
        QCOMPARE(f.rowTexts(2).first() + f.rowTexts(2).last(), QString("2c.rtf"));
        pickText(f.box("CobRepeat"), "9");
        QCOMPARE(f.rowTexts(2).at(4), QString("9"));

        // The current row removed from the end: the next pick only moves to row 1.
        doubleClickIndex(list, f.row(2));
        pickText(f.box("CobRepeat"), "5");
        QCOMPARE(w.programList().CurrentRow, qint16(1));
        QCOMPARE(f.rowTexts(1).at(4), QString("1"));

        // Delete on the selected row asks the same question.
        f.prompts.prompts.clear();
        list->setCurrentIndex(f.row(1));
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(f.prompts.texts(), QStringList({ MsgText(Msg::ConfirmDelete, "English") }));
        QCOMPARE(w.programList().rowCount(), 0);
    }

    void canvasSizesAndNewPage()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        QCOMPARE(w.activeDocument(), f.page());
        // The text-size boxes resize the active canvas, not the rows.
        pickText(f.box("CobTxtWidth"), "4");
        pickText(f.box("CobTxtHeight"), "3");
        QCOMPARE(f.canvas()->canvasSize(), QSize(4 * 16 + 2, 3 * 16 + 2));
        QCOMPARE(f.box("CobWidth")->currentText(), QString("8"));
        // A text that is not a whole number leaves the canvas and says why.
        f.box("CobTxtWidth")->setEditText("");
        emit w.tbFormatBar()->textWidthPicked("");
        QCOMPARE(f.canvas()->canvasSize().width(), 4 * 16 + 2);
        QVERIFY(!w.PicStatusBar()->note().isEmpty());

        QCOMPARE(w.ChangeWindowState(8, 2), frmDocument::SizeResult::Sized);
        QCOMPARE(f.canvas()->canvasSize(), QSize(130, 34));
        QCOMPARE(w.ChangeWindowState(4000, 2), frmDocument::SizeResult::WidthTooLarge);
        QCOMPARE(f.prompts.prompts.size(), 1);
        QCOMPARE(f.canvas()->canvasSize(), QSize(130, 34));

        // Close, then New: an empty page of the screen's size, typing red.
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
        QVERIFY(tiledRects(area, 0, Qt::Vertical).isEmpty());
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
        QCOMPARE(w.PicStatusBar()->note(), note);
        QVERIFY(w.minimumSizeHint().width() < 1000);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
