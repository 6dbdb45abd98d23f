#include "windowfixture.h"

#include "formattoolbar.h"
#include "frmdocument.h"
#include "mainstatusbar.h"
#include "pagecanvas.h"
#include "standardtoolbar.h"
#include "windowarrangement.h"

#include "basesettings.h"
#include "messages.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

QStringList numbers(int first, int last)
{
    QStringList n;
    for (int i = first; i <= last; ++i)
        n.append(QString::number(i));
    return n;
}

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

private:
    // Rows for a.rtf, b.rtf and c.rtf (8 x 2 each).
    static void addThreeRows(WindowFixture &f)
    {
        for (const char *name : { "a.rtf", "b.rtf", "c.rtf" })
            f.window().AddFileToListView(name, "8", "2");
    }
    static QTreeView *list(WindowFixture &f) { return f.control<QTreeView>("ListView1"); }
    static QModelIndex row(WindowFixture &f, int row)
    {
        return list(f)->model()->index(row - 1, 0);
    }
    static QStringList rowTexts(WindowFixture &f, int row)
    {
        return f.window().programList().model()->rowTexts(row);
    }

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
        QFETCH(int, trance);
        WindowFixture f;
        WindowFixture::Settings s;
        s.trance = trance;
        MDIFrmMain &w = f.startWith(s); // a sign of 8 x 2 modules
        QVERIFY(f.prompts.prompts.isEmpty());
        QCOMPARE(w.windowTitle(), QString("Vantrel V2.0"));
        QVERIFY(!w.windowIcon().pixmap(32).isNull());
        QCOMPARE(w.programList().CurrentRow, qint16(0));
        QVERIFY(!w.programList().IsLoading);
        QCOMPARE(w.programList().rowCount(), 0);
        QTEST(f.control<QLabel>("LblTranceStyle")->text(), "style");
        QCOMPARE(f.control<QLabel>("LblProgressValue")->text(), QString("0%"));
        QVERIFY(w.menus().english->isChecked() && !w.menus().chinese->isChecked());
        QCOMPARE(w.menus().newPage->shortcut(), QKeySequence(QKeySequence::New));

        // Each selector's name, first and last item, and the item shown.
        for (const char *line :
            { "cboSize 1 100 12", "CobTxtWidth 1 100 8", "CobTxtHeight 1 100 2", "CobWidth 1 100 8",
                "CobHeight 1 100 2", "CobTimes 0 25 0", "CobTimesE 0 25 0", "CobSpeed 1 25 1",
                "CobSpeedE 1 25 1", "CobRepeat 1 125 1", "CobRepeatE 1 125 1" }) {
            const QStringList p = QString::fromLatin1(line).split(' ');
            const QComboBox *box = f.control<QComboBox>(p.at(0));
            QVERIFY2(itemTexts(box) == numbers(p.at(1).toInt(), p.at(2).toInt()), line);
            QVERIFY2(box->currentText() == p.at(3), line);
        }
        QCOMPARE(f.control<QComboBox>("CobEffect")->currentText(), QString("rightleft"));
        QCOMPARE(f.control<QComboBox>("CobEffect")->count(), 11);
        QCOMPARE(f.control<QComboBox>("CobEffectE")->currentText(), QString("none"));
        QCOMPARE(f.control<QComboBox>("CobEffectE")->count(), 6);
        // The effect lists take picks only; sizes and fonts may be typed.
        for (const char *name : { "CobEffect", "CobSpeed", "CobTimes", "CobRepeat", "CobEffectE",
                 "CobSpeedE", "CobTimesE", "CobRepeatE" })
            QVERIFY2(!f.control<QComboBox>(name)->isEditable(), name);
        for (const char *name :
            { "CobWidth", "CobHeight", "CobTxtWidth", "CobTxtHeight", "cboFont", "cboSize" })
            QVERIFY2(f.control<QComboBox>(name)->isEditable(), name);
        QComboBox *fonts = f.control<QComboBox>("cboFont");
        QVERIFY(fonts->count() > 0);
        if (fonts->count() > 43)
            QCOMPARE(fonts->currentIndex(), 43);
        else
            QVERIFY(!fonts->currentText().isEmpty());

        // The toolbars' keys in the order the language file's tooltip lists follow.
        QCOMPARE(keysOf(w.tbToolBar()->buttons()),
            QStringList({ "新建", "打开", "保存", "剪切", "复制", "粘贴", "插入表格", "插入图片",
                "帮助" }));
        QCOMPARE(keysOf(w.tbFormatBar()->buttons()),
            QStringList({ "粗体", "斜体", "下划线", "删除线", "两端对齐", "居中", "右对齐",
                "项目符号", "编号", "减少缩进量", "增加缩进量", "段落", "字体颜色(红)",
                "字体颜色(黄)", "字体颜色(绿)", "背景" }));
        for (QAction *button : w.tbFormatBar()->buttons())
            QCOMPARE(button->isCheckable(),
                FormatToolBar::toggleKeys().contains(button->data().toString()));
        for (QAction *button : w.tbToolBar()->buttons() + w.tbFormatBar()->buttons())
            QVERIFY2(!button->icon().isNull(), qPrintable(button->data().toString()));
        const QImage red = w.tbFormatBar()->button("字体颜色(红)")->icon().pixmap(24, 24).toImage();
        QCOMPARE(red.convertToFormat(QImage::Format_RGB32).pixel(12, 20), qRgb(255, 0, 0));
        QCOMPARE(f.control<QTimer>("Timer1")->interval(), 5000);
        QVERIFY(f.control<QTimer>("Timer1")->isActive());

        // The default page window is open, its canvas the screen: 8 x 16 + 2 by 2 x 16 + 2.
        frmDocument *page = w.openDefaultDocument();
        QVERIFY(page && page->isVisible());
        QCOMPARE(page->rtfText()->size(), QSize(130, 34));
    }

    void startUpTellsWhatWentWrongInOrder()
    {
        // A bad width is reported by the load, then the canvas that cannot be that wide, then
        // the serial port that cannot be opened: settings first, the link last.
        WindowFixture f;
        WindowFixture::Settings s;
        s.screenWidth = "3000";
        s.trance = 0;
        s.commPort = "/nonexistent/vantrel-port";
        MDIFrmMain &w = f.startWith(s);
        QCOMPARE(f.prompts.prompts.size(), 2);
        QVERIFY2(f.prompts.texts().at(0).contains("3000 modules wide"),
            qPrintable(f.prompts.texts().at(0)));
        QVERIFY2(f.prompts.texts().at(1).startsWith(MsgText(Msg::PortInitError, "English")),
            qPrintable(f.prompts.texts().at(1)));
        QCOMPARE(f.control<QComboBox>("CobTxtWidth")->currentText(), QString("3000"));
        // The width is refused before the height is looked at: the canvas keeps its size.
        QCOMPARE(w.openDefaultDocument()->rtfText()->size(), QSize(130, 18));
    }

    void missingSettingsFileIsCreatedAndSaid()
    {
        WindowFixture f;
        f.start();
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(QFile::exists(f.path("BaseSet.ini")));
        QCOMPARE(f.control<QComboBox>("CobTxtWidth")->currentText(), QString("8")); // the default
    }

    void picksWriteTheCurrentRow()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();

        // On an empty list a pick asks for a file first.
        pickText(f.control<QComboBox>("CobSpeed"), "5");
        QCOMPARE(f.prompts.texts(), QStringList({ "Please Select One Creact File ID" }));
        QCOMPARE(f.prompts.prompts.first().icon, PromptIcon::Information);

        addThreeRows(f);
        for (int r = 1; r <= 3; ++r)
            QCOMPARE(rowTexts(f, r).mid(0, 11),
                QStringList(
                    { QString::number(r), "0", "3", "0", "1", "0", "3", "0", "1", "8", "2" }));
        // Before any click the pick only makes row 1 current.
        pickText(f.control<QComboBox>("CobSpeed"), "7");
        QCOMPARE(w.programList().CurrentRow, qint16(1));
        QCOMPARE(rowTexts(f, 1).at(2), QString("3"));
        pickText(f.control<QComboBox>("CobSpeed"), "7");
        QCOMPARE(rowTexts(f, 1).at(2), QString("7"));

        pickText(f.control<QComboBox>("CobEffect"), "zoomup");
        QCOMPARE(rowTexts(f, 1).at(1), QString("9"));
        pickText(f.control<QComboBox>("CobEffectE"), "updown");
        QCOMPARE(rowTexts(f, 1).at(5), QString("4"));
        pickText(f.control<QComboBox>("CobEffectE"), "none");
        QCOMPARE(rowTexts(f, 1).at(5), QString("0"));
        pickText(f.control<QComboBox>("CobWidth"), "12");
        QCOMPARE(rowTexts(f, 1).at(9), QString("12"));
        // Typing into the text-width selector writes nothing.
        f.control<QComboBox>("CobWidth")->setEditText("40");
        QCOMPARE(rowTexts(f, 1).at(9), QString("12"));
        QCOMPARE(rowTexts(f, 2).at(2), QString("3"));
    }

    void clickingARowShowsItsValues()
    {
        WindowFixture f;
        f.copySample("welcome.rtf", "a.rtf");
        MDIFrmMain &w = f.startWith();
        addThreeRows(f);
        ProgramList &pl = w.programList();
        pl.model()->setCell(2, ListColumn::Speed, "7");
        pl.model()->setCell(2, ListColumn::Times, "12");
        pl.model()->setCell(2, ListColumn::EEffect, "5");
        pl.model()->setCell(1, ListColumn::TWidth, "4");
        pl.model()->setCell(1, ListColumn::THeight, "1");

        clickIndex(list(f), row(f, 2));
        QCOMPARE(pl.CurrentRow, qint16(2));
        QCOMPARE(f.control<QComboBox>("CobSpeed")->currentText(), QString("7"));
        QCOMPARE(f.control<QComboBox>("CobTimes")->currentText(), QString("12"));
        QCOMPARE(f.control<QComboBox>("CobEffectE")->currentText(), QString("stay"));
        QCOMPARE(rowTexts(f, 2),
            QStringList({ "2", "0", "7", "12", "1", "5", "3", "0", "1", "8", "2", "b.rtf" }));

        // Row 1 names a page that exists: it is shown and sized 4 x 1.
        clickIndex(list(f), row(f, 1));
        frmDocument *page = w.openDefaultDocument();
        QCOMPARE(page->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(page->rtfText()->size(), QSize(4 * 16 + 2, 16 + 2));
        QCOMPARE(f.control<QComboBox>("CobWidth")->currentText(), QString("4"));
    }

    void rowWithoutAWholeSizeOpensUnsized()
    {
        WindowFixture f;
        f.copySample("welcome.rtf", "a.rtf");
        MDIFrmMain &w = f.startWith();
        w.AddFileToListView("a.rtf", "", "2");
        const QSize before = w.openDefaultDocument()->rtfText()->size();
        clickIndex(list(f), row(f, 1));
        QCOMPARE(w.openDefaultDocument()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(w.openDefaultDocument()->rtfText()->size(), before);
        QVERIFY(w.PicStatusBar()->note().contains("not a whole number"));
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void removingRows()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        addThreeRows(f);

        // A double-click beside the rows, or Delete with no row selected, asks nothing.
        const QPoint blank(5, list(f)->viewport()->height() - 3);
        QTest::mouseClick(list(f)->viewport(), Qt::LeftButton, {}, blank);
        QTest::mouseDClick(list(f)->viewport(), Qt::LeftButton, {}, blank);
        list(f)->setFocus();
        QTest::keyClick(list(f), Qt::Key_Delete);
        QVERIFY(f.prompts.prompts.isEmpty());
        QCOMPARE(w.programList().rowCount(), 3);

        // Cancel keeps the row and its number.
        f.prompts.confirmAnswer = false;
        doubleClickIndex(list(f), row(f, 2));
        QCOMPARE(f.prompts.texts().last(), MsgText(Msg::ConfirmDelete, "English"));
        QVERIFY(f.prompts.prompts.last().question);
        QCOMPARE(w.programList().rowCount(), 3);
        QCOMPARE(rowTexts(f, 2).first(), QString("2"));

        // OK removes it; the double-click's first press made it current, and it stays 2, so
        // the next pick writes the row that was row 3.
        f.prompts.confirmAnswer = true;
        doubleClickIndex(list(f), row(f, 2));
        QCOMPARE(w.programList().rowCount(), 2);
        QCOMPARE(w.programList().CurrentRow, qint16(2));
        QCOMPARE(rowTexts(f, 2).first(), QString("2"));
        QCOMPARE(rowTexts(f, 2).last(), QString("c.rtf"));
        pickText(f.control<QComboBox>("CobRepeat"), "9");
        QCOMPARE(rowTexts(f, 2).at(4), QString("9"));

        // The current row removed from the end: the next pick only moves to row 1.
        doubleClickIndex(list(f), row(f, 2));
        QCOMPARE(w.programList().rowCount(), 1);
        pickText(f.control<QComboBox>("CobRepeat"), "5");
        QCOMPARE(w.programList().CurrentRow, qint16(1));
        QCOMPARE(rowTexts(f, 1).at(4), QString("1"));

        // Delete on the selected row asks the same question.
        f.prompts.prompts.clear();
        list(f)->setCurrentIndex(row(f, 1));
        QTest::keyClick(list(f), Qt::Key_Delete);
        QCOMPARE(f.prompts.texts(), QStringList({ MsgText(Msg::ConfirmDelete, "English") }));
        QCOMPARE(w.programList().rowCount(), 0);
    }

    void textSizeBoxesResizeTheActiveCanvas()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        frmDocument *page = w.openDefaultDocument();
        QCOMPARE(w.activeDocument(), page);
        QComboBox *width = f.control<QComboBox>("CobTxtWidth");
        pickText(width, "4");
        QCOMPARE(page->rtfText()->width(), 4 * 16 + 2);
        QCOMPARE(f.control<QComboBox>("CobWidth")->currentText(), QString("8")); // rows untouched
        pickText(f.control<QComboBox>("CobTxtHeight"), "3");
        QCOMPARE(page->rtfText()->height(), 3 * 16 + 2);
        // A text that is not a whole number leaves the canvas and says why.
        width->setEditText("");
        emit w.tbFormatBar()->textWidthPicked("");
        QCOMPARE(page->rtfText()->width(), 4 * 16 + 2);
        QVERIFY(!w.PicStatusBar()->note().isEmpty());
    }

    void changeWindowStateSizesTheDefaultCanvas()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        w.ChangeWindowState(4, 1);
        QCOMPARE(w.ChangeWindowState(8, 2), frmDocument::SizeResult::Sized);
        QCOMPARE(w.openDefaultDocument()->rtfText()->size(), QSize(130, 34));
        QCOMPARE(w.ChangeWindowState(4000, 2), frmDocument::SizeResult::WidthTooLarge);
        QCOMPARE(f.prompts.prompts.size(), 1);
        QCOMPARE(w.openDefaultDocument()->rtfText()->size(), QSize(130, 34));
    }

    void closeThenNewShowsAnEmptyPage()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        QPointer<frmDocument> first = w.openDefaultDocument();
        first->rtfText()->insertPlainText("old text");
        w.menus().close->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), 5000);
        QVERIFY(!w.activeDocument());
        w.menus().close->trigger(); // nothing to close: nothing happens
        w.menus().newPage->trigger();
        frmDocument *page = w.openDefaultDocument();
        QVERIFY(page && page->isVisible());
        QVERIFY(page->document()->isEmpty());
        QCOMPARE(page->rtfText()->textColor(), QColor(255, 0, 0));
        QCOMPARE(page->rtfText()->size(), QSize(130, 34));
    }

    void selectionFontReachesTheFontBoxes()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        PageCanvas *canvas = w.openDefaultDocument()->rtfText();
        QTextCharFormat format;
        format.setFontFamilies({ "Liberation Sans" });
        format.setFontPointSize(10.5);
        canvas->textCursor().insertText("aaa", format);
        format.setFontPointSize(20);
        canvas->textCursor().insertText("bbb", format);
        const auto select = [canvas](int from, int to) {
            QTextCursor c(canvas->document());
            c.setPosition(from);
            c.setPosition(to, QTextCursor::KeepAnchor);
            canvas->setTextCursor(c);
        };
        select(0, 1);
        QCOMPARE(f.control<QComboBox>("cboSize")->currentText(), QString("10.5"));
        select(4, 5);
        QCOMPARE(f.control<QComboBox>("cboSize")->currentText(), QString("20"));
        QCOMPARE(f.control<QComboBox>("cboFont")->currentText(), QString("Liberation Sans"));
        // Mixed sizes: the size box keeps its text, the common family shows.
        f.control<QComboBox>("cboFont")->setEditText("");
        select(0, 6);
        QCOMPARE(f.control<QComboBox>("cboSize")->currentText(), QString("20"));
        QCOMPARE(f.control<QComboBox>("cboFont")->currentText(), QString("Liberation Sans"));
        select(2, 2); // no selection: the font at the caret
        QCOMPARE(f.control<QComboBox>("cboSize")->currentText(), QString("10.5"));
    }

    void tiling()
    {
        const QRect area(0, 0, 300, 100);
        QCOMPARE(tiledRects(area, 3, Qt::Horizontal), // stacked, the last takes the rest
            QList<QRect>({ QRect(0, 0, 300, 33), QRect(0, 33, 300, 33), QRect(0, 66, 300, 34) }));
        QCOMPARE(tiledRects(area, 2, Qt::Vertical), // side by side
            QList<QRect>({ QRect(0, 0, 150, 100), QRect(150, 0, 150, 100) }));
        QVERIFY(tiledRects(area, 0, Qt::Vertical).isEmpty());
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
