#include "windowfixture.h"

#include "effectpanel.h"
#include "filebrowserpane.h"
#include "formattoolbar.h"
#include "frmdocument.h"
#include "mainstatusbar.h"
#include "pagecanvas.h"
#include "programlistpane.h"
#include "standardtoolbar.h"
#include "windowarrangement.h"

#include "basesettings.h"
#include "messages.h"

#include <QAction>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

namespace {

QStringList itemTexts(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

QStringList numbers(int first, int last)
{
    QStringList n;
    for (int i = first; i <= last; ++i)
        n.append(QString::number(i));
    return n;
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private:
    // A started window with rows for a.rtf, b.rtf and c.rtf (8 x 2 each).
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
    void startUpFillsEverySelector()
    {
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();
        QVERIFY(f.prompts.prompts.isEmpty());
        QCOMPARE(w.windowTitle(), QString("Vantrel V2.0"));
        QVERIFY(!w.windowIcon().pixmap(32).isNull());
        QCOMPARE(w.programList().CurrentRow, qint16(0));
        QVERIFY(!w.programList().IsLoading);
        QCOMPARE(w.programList().rowCount(), 0);

        for (const char *name : { "CobTxtWidth", "CobWidth" })
            QCOMPARE(f.control<QComboBox>(name)->currentText(), QString("8"));
        for (const char *name : { "CobTxtHeight", "CobHeight" })
            QCOMPARE(f.control<QComboBox>(name)->currentText(), QString("2"));
        for (const char *name :
            { "cboSize", "CobTxtWidth", "CobTxtHeight", "CobWidth", "CobHeight" })
            QCOMPARE(itemTexts(f.control<QComboBox>(name)), numbers(1, 100));
        QCOMPARE(f.control<QComboBox>("cboSize")->currentText(), QString("12"));
        for (const char *name : { "CobTimes", "CobTimesE" }) {
            QCOMPARE(itemTexts(f.control<QComboBox>(name)), numbers(0, 25));
            QCOMPARE(f.control<QComboBox>(name)->currentText(), QString("0"));
        }
        for (const char *name : { "CobSpeed", "CobSpeedE" }) {
            QCOMPARE(itemTexts(f.control<QComboBox>(name)), numbers(1, 25));
            QCOMPARE(f.control<QComboBox>(name)->currentText(), QString("1"));
        }
        for (const char *name : { "CobRepeat", "CobRepeatE" }) {
            QCOMPARE(itemTexts(f.control<QComboBox>(name)), numbers(1, 125));
            QCOMPARE(f.control<QComboBox>(name)->currentText(), QString("1"));
        }
        QCOMPARE(f.control<QComboBox>("CobEffect")->currentText(), QString("rightleft"));
        QCOMPARE(f.control<QComboBox>("CobEffect")->count(), 11);
        QCOMPARE(f.control<QComboBox>("CobEffectE")->currentText(), QString("none"));
        QCOMPARE(f.control<QComboBox>("CobEffectE")->count(), 6);

        QComboBox *fonts = f.control<QComboBox>("cboFont");
        QVERIFY(fonts->count() > 0);
        if (fonts->count() > 43)
            QCOMPARE(fonts->currentIndex(), 43);
        else
            QVERIFY(!fonts->currentText().isEmpty());

        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:TCP/IP"));
        QCOMPARE(f.control<QLabel>("LblProgressValue")->text(), QString("0%"));
        QVERIFY(w.menus().english->isChecked());
        QVERIFY(!w.menus().chinese->isChecked());

        // The default page window is open, its canvas the screen: 8 x 16 + 2 by 2 x 16 + 2.
        frmDocument *page = w.openDefaultDocument();
        QVERIFY(page);
        QVERIFY(page->isVisible());
        QCOMPARE(page->rtfText()->size(), QSize(130, 34));
    }

    void unknownLinkKindReadsNone()
    {
        WindowFixture f;
        WindowFixture::Settings s;
        s.trance = 7;
        f.writeSettings(s);
        f.start();
        QCOMPARE(f.control<QLabel>("LblTranceStyle")->text(), QString("TranceStyle:None"));
    }

    void startUpTellsWhatWentWrongInOrder()
    {
        // A bad width is reported by the load, then the canvas that cannot be that wide, then
        // the serial port that cannot be opened: settings first, the link last.
        WindowFixture f;
        WindowFixture::Settings s;
        s.screenWidthText = "3000";
        s.trance = 0;
        s.commPort = "/nonexistent/vantrel-port";
        f.writeSettings(s);
        MDIFrmMain &w = f.start();
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

    void controlsCarryTheirNames()
    {
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();

        for (const char *name : { "file", "edit", "set", "language", "tools", "window", "help" })
            QVERIFY2(f.control<QMenu>(name), name);
        const QList<QPair<const char *, const char *>> items {
            { "new", "&New" },
            { "save", "&Save" },
            { "saveas", "&Save As" },
            { "close", "&Close" },
            { "exit", "&Exit" },
            { "cut", "&Cut" },
            { "copy", "&Copy" },
            { "paste", "&Paste" },
            { "selectall", "&Select All" },
            { "textclear", "&TextClear" },
            { "baseset", "&Base Set" },
            { "English", "English" },
            { "chinese", "简体中文" },
            { "jap", "日文" },
            { "screenclear", "&Screen Clear" },
            { "painter", "&Painter" },
            { "notebook", "&NoteBook" },
            { "Horizontal", "Tile &Horizontal" },
            { "ArrVertical", "Tile &Vertical" },
            { "Cascade", "&Cascade" },
            { "About", "About Vantrel" },
        };
        for (const auto &[name, caption] : items) {
            QAction *a = f.control<QAction>(name);
            QVERIFY2(a, name);
            QCOMPARE(a->text(), QString::fromUtf8(caption));
        }
        QCOMPARE(f.control<QMenu>("file")->title(), QString("&File"));
        QCOMPARE(w.menus().newPage->shortcut(), QKeySequence(QKeySequence::New));

        auto keysOf = [](const QToolBar *bar) {
            QStringList keys;
            for (QAction *a : bar->actions())
                if (!a->data().toString().isEmpty())
                    keys.append(a->data().toString());
            return keys;
        };
        QCOMPARE(keysOf(f.control<QToolBar>("tbToolBar")),
            QStringList({ "新建", "打开", "保存", "剪切", "复制", "粘贴", "插入表格", "插入图片",
                "帮助" }));
        QCOMPARE(keysOf(f.control<QToolBar>("tbFormatBar")),
            QStringList({ "粗体", "斜体", "下划线", "删除线", "两端对齐", "居中", "右对齐",
                "项目符号", "编号", "减少缩进量", "增加缩进量", "段落", "字体颜色(红)",
                "字体颜色(黄)", "字体颜色(绿)", "背景" }));
        for (const QString &key : FormatToolBar::keys())
            QCOMPARE(w.tbFormatBar()->button(key)->isCheckable(),
                FormatToolBar::toggleKeys().contains(key));
        for (QAction *button : w.tbToolBar()->buttons() + w.tbFormatBar()->buttons())
            QVERIFY2(!button->icon().isNull(), qPrintable(button->data().toString()));

        QVERIFY(f.control<QWidget>("Frame1"));
        QCOMPARE(f.control<QLabel>("LblTxtWidth")->text(), QString("TextWidth"));
        QCOMPARE(f.control<QLabel>("LblTxtHeight")->text(), QString("TextHeight"));
        // The language file's text: INI values lose their trailing blanks.
        QCOMPARE(f.control<QGroupBox>("FrmEffect")->title(), QString("Display Effect:"));
        const QList<QPair<const char *, const char *>> labels {
            { "LblEffect", "Effect" },
            { "LblSpeed", "Speed" },
            { "LblTimes", "Time" },
            { "LblRepeat", "Repeat" },
            { "LblEffectE", "EEffect" },
            { "LblSpeedE", "ESpeed" },
            { "LblTimesE", "ETime" },
            { "LblRepeatE", "ERepeat" },
            { "LblWidth", "TextWidth" },
            { "LblHeight", "TextHeight" },
            { "LblName", "Vantrel V2.0" },
        };
        for (const auto &[name, text] : labels)
            QCOMPARE(f.control<QLabel>(name)->text(), QString(text));
        for (const char *name : { "CobEffect", "CobSpeed", "CobTimes", "CobRepeat", "CobEffectE",
                 "CobSpeedE", "CobTimesE", "CobRepeatE" })
            QVERIFY2(!f.control<QComboBox>(name)->isEditable(), name);
        for (const char *name :
            { "CobWidth", "CobHeight", "CobTxtWidth", "CobTxtHeight", "cboFont", "cboSize" })
            QVERIFY2(f.control<QComboBox>(name)->isEditable(), name);
        QCOMPARE(f.control<QPushButton>("CmdSendChecked")->text(), QString("SendChar"));
        QCOMPARE(f.control<QPushButton>("CmdSendAll")->text(), QString("SendCtrl"));
        QCOMPARE(f.control<QPushButton>("CmdExit")->text(), QString("Exit"));
        QVERIFY(f.control<QWidget>("PicEffect"));
        QVERIFY(f.control<QFrame>("SplitH"));
        QVERIFY(f.control<QStatusBar>("PicStatusBar"));
        QVERIFY(f.control<QProgressBar>("ProgressBar1"));
        for (const char *name : { "LeftBar", "BottomBar", "SignPreview" })
            QVERIFY2(f.control<QDockWidget>(name), name);
        QVERIFY(f.control<QListWidget>("File1"));
        QCOMPARE(f.control<QTimer>("Timer1")->interval(), 5000);
        QVERIFY(f.control<QTimer>("Timer1")->isActive());
        QVERIFY(f.control<QMdiArea>("MDIClient"));

        QTreeView *view = list(f);
        const QStringList headers { "NO.", "Effect", "Speed", "Times", "Repeat", "EEffect",
            "ESpeed", "ETime", "ERepeat", "TWidth", "THeight", "File Path" };
        for (int c = 0; c < 12; ++c)
            QCOMPARE(view->model()->headerData(c, Qt::Horizontal).toString(), headers.at(c));
        QCOMPARE(view->columnWidth(0), 500 / 15);
        QCOMPARE(view->columnWidth(5), 800 / 15);
        QVERIFY(view->columnWidth(11) >= 5000 / 15 || view->header()->stretchLastSection());
    }

    void picksWriteTheCurrentRow()
    {
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();

        // On an empty list a pick asks for a file first.
        pickText(f.control<QComboBox>("CobSpeed"), "5");
        QCOMPARE(f.prompts.texts(), QStringList({ MsgText(Msg::SelectFileId, "English") }));
        QCOMPARE(f.prompts.prompts.first().icon, PromptIcon::Information);

        addThreeRows(f);
        QCOMPARE(rowTexts(f, 1),
            QStringList({ "1", "0", "3", "0", "1", "0", "3", "0", "1", "8", "2", "a.rtf" }));
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
        f.writeSettings({});
        f.copySample("welcome.rtf", "a.rtf");
        MDIFrmMain &w = f.start();
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
        f.writeSettings({});
        f.copySample("welcome.rtf", "a.rtf");
        MDIFrmMain &w = f.start();
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
        f.writeSettings({});
        MDIFrmMain &w = f.start();
        addThreeRows(f);

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
        list(f)->setFocus();
        QTest::keyClick(list(f), Qt::Key_Delete);
        QCOMPARE(f.prompts.texts(), QStringList({ MsgText(Msg::ConfirmDelete, "English") }));
        QCOMPARE(w.programList().rowCount(), 0);
    }

    void textSizeBoxesResizeTheActiveCanvas()
    {
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();
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
        f.writeSettings({});
        MDIFrmMain &w = f.start();
        QCOMPARE(w.ChangeWindowState(8, 2), frmDocument::SizeResult::Sized);
        QCOMPARE(w.openDefaultDocument()->rtfText()->size(), QSize(130, 34));
        QCOMPARE(w.ChangeWindowState(4000, 2), frmDocument::SizeResult::WidthTooLarge);
        QCOMPARE(f.prompts.prompts.size(), 1);
        QCOMPARE(w.openDefaultDocument()->rtfText()->size(), QSize(130, 34));
    }

    void closeThenNewShowsAnEmptyPage()
    {
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();
        QPointer<frmDocument> first = w.openDefaultDocument();
        first->rtfText()->insertPlainText("old text");
        w.menus().close->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), 5000);
        QVERIFY(!w.activeDocument());
        w.menus().close->trigger(); // nothing to close: nothing happens
        w.menus().newPage->trigger();
        frmDocument *page = w.openDefaultDocument();
        QVERIFY(page);
        QVERIFY(page->isVisible());
        QVERIFY(page->document()->isEmpty());
        QCOMPARE(page->rtfText()->textColor(), QColor(255, 0, 0));
        QCOMPARE(page->rtfText()->size(), QSize(130, 34));
    }

    void selectionFontReachesTheFontBoxes()
    {
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();
        PageCanvas *canvas = w.openDefaultDocument()->rtfText();
        QTextCharFormat big;
        big.setFontPointSize(20);
        big.setFontFamilies({ "Liberation Sans" });
        canvas->textCursor().insertText("abc", big);
        QTextCursor all(canvas->document());
        all.select(QTextCursor::Document);
        canvas->setTextCursor(all);
        QCOMPARE(f.control<QComboBox>("cboSize")->currentText(), QString("20"));
        QCOMPARE(f.control<QComboBox>("cboFont")->currentText(), QString("Liberation Sans"));
    }

    void editMenuWorksOnTheActivePage()
    {
        WindowFixture f;
        f.writeSettings({});
        MDIFrmMain &w = f.start();
        PageCanvas *canvas = w.openDefaultDocument()->rtfText();
        canvas->insertPlainText("hello");
        w.menus().selectAll->trigger();
        w.menus().cut->trigger();
        QVERIFY(canvas->document()->isEmpty());
        w.menus().paste->trigger();
        w.menus().paste->trigger();
        QCOMPARE(canvas->toPlainText(), QString("hellohello"));
        w.menus().textClear->trigger();
        QVERIFY(canvas->document()->isEmpty());
    }

    void sendsOnAnEmptyListOnlyAskForAFile()
    {
        WindowFixture f;
        f.writeSettings({});
        f.start();
        QTest::mouseClick(f.control<QPushButton>("CmdSendChecked"), Qt::LeftButton);
        QTest::mouseClick(f.control<QPushButton>("CmdSendAll"), Qt::LeftButton);
        QCOMPARE(f.prompts.texts(),
            QStringList(
                { MsgText(Msg::AddTheFile, "English"), MsgText(Msg::AddTheFile, "English") }));
    }

    void tiling_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QList<QRect>>("rects");
        QTest::newRow("stacked") << 3 << int(Qt::Horizontal)
                                 << QList<QRect> { QRect(0, 0, 300, 33), QRect(0, 33, 300, 33),
                                        QRect(0, 66, 300, 34) };
        QTest::newRow("side by side")
            << 2 << int(Qt::Vertical)
            << QList<QRect> { QRect(0, 0, 150, 100), QRect(150, 0, 150, 100) };
        QTest::newRow("none") << 0 << int(Qt::Vertical) << QList<QRect> {};
    }
    void tiling()
    {
        QFETCH(int, count);
        QFETCH(int, orientation);
        QFETCH(QList<QRect>, rects);
        QCOMPARE(tiledRects(QRect(0, 0, 300, 100), count, Qt::Orientation(orientation)), rects);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
