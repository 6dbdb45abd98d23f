#include "windowfixture.h"

#include "formattoolbar.h"
#include "frmdocument.h"
#include "mainstatusbar.h"
#include "pagecanvas.h"
#include "pagecommands.h"
#include "pagedocument.h"
#include "standardtoolbar.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>

namespace {

// A colour as the sign's colour values are written: 0x00BBGGRR.
int bgr(const QColor &c)
{
    return c.blue() << 16 | c.green() << 8 | c.red();
}

// Answers the next colour dialog: picks `colour`, or cancels when it is invalid; `title` gets
// the dialog's caption.
void answerColourDialog(const QColor &colour, QString *title)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, colour, title] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QColorDialog *>(w);
            if (!dialog || !dialog->isVisible())
                continue;
            *title = dialog->windowTitle();
            if (colour.isValid()) {
                dialog->setCurrentColor(colour);
                dialog->accept();
            } else {
                dialog->reject();
            }
            timer->deleteLater();
            return;
        }
    });
    timer->start(5);
}

} // namespace

// The two toolbars, the font boxes and the Edit menu on a real page of the real main window.
class tst_WindowFormat : public QObject
{
    Q_OBJECT

private:
    // A started window, wide enough for every toolbar button, its default page holding
    // `text` with the whole text selected.
    static PageCanvas *startWithText(WindowFixture &f, const QString &text)
    {
        f.startWith().resize(1400, 800);
        PageCanvas *canvas = f.window().openDefaultDocument()->rtfText();
        canvas->setPlainText(text);
        select(canvas, 0, int(text.size()));
        return canvas;
    }
    static void select(PageCanvas *canvas, int from, int to)
    {
        QTextCursor c(canvas->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        canvas->setTextCursor(c);
    }
    // Clicks the button as the operator does, so a toggle's own checking takes part.
    static void click(QToolBar *bar, QAction *button)
    {
        QWidget *widget = bar->widgetForAction(button);
        QVERIFY(widget && widget->isVisible());
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    static void clickFormat(MDIFrmMain &w, const QString &key)
    {
        click(w.tbFormatBar(), w.tbFormatBar()->button(key));
    }
    static bool pressed(MDIFrmMain &w, const QString &key)
    {
        return w.tbFormatBar()->button(key)->isChecked();
    }
    static QTextCharFormat formatAt(PageCanvas *canvas, int position)
    {
        QTextCursor c(canvas->document());
        c.setPosition(position);
        c.setPosition(position + 1, QTextCursor::KeepAnchor);
        return c.charFormat();
    }

private slots:
    void toggleKeysShowTheSelectionState_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("bold") << "粗体";
        QTest::newRow("italic") << "斜体";
        QTest::newRow("underline") << "下划线";
        QTest::newRow("strike-through") << "删除线";
    }
    void toggleKeysShowTheSelectionState()
    {
        QFETCH(QString, key);
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "abcd");
        MDIFrmMain &w = f.window();
        const auto isOn = [&](int position) {
            const QTextCharFormat format = formatAt(canvas, position);
            if (key == "粗体")
                return format.fontWeight() > QFont::Medium;
            if (key == "斜体")
                return format.fontItalic();
            if (key == "下划线")
                return format.fontUnderline();
            return format.fontStrikeOut();
        };

        clickFormat(w, key);
        QVERIFY(isOn(0) && isOn(3));
        QVERIFY(pressed(w, key));
        clickFormat(w, key);
        QVERIFY(!isOn(0) && !isOn(3));
        QVERIFY(!pressed(w, key));

        // A mixed selection has no single value: nothing changes and the button shows up.
        select(canvas, 0, 2);
        clickFormat(w, key);
        select(canvas, 0, 4);
        clickFormat(w, key);
        QVERIFY(isOn(0) && !isOn(3));
        QVERIFY(!pressed(w, key));

        // The button follows the caret.
        select(canvas, 1, 1);
        QVERIFY(pressed(w, key));
        select(canvas, 3, 3);
        QVERIFY(!pressed(w, key));

        // Without a selection the key sets what typing writes.
        select(canvas, 4, 4);
        clickFormat(w, key);
        QTest::keyClicks(canvas, "e");
        QVERIFY(isOn(4) && !isOn(3));
    }

    void coloursAreTheSignsExactValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("red") << "字体颜色(红)" << 0x0000FF;
        QTest::newRow("yellow") << "字体颜色(黄)" << 0x00FFFF;
        QTest::newRow("green") << "字体颜色(绿)" << 0x00FF00;
    }
    void coloursAreTheSignsExactValues()
    {
        QFETCH(QString, key);
        QFETCH(int, value);
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "ab");
        clickFormat(f.window(), key);
        QCOMPARE(bgr(formatAt(canvas, 0).foreground().color()), value);
        QCOMPARE(bgr(formatAt(canvas, 1).foreground().color()), value);
        // Typing goes on in the colour.
        select(canvas, 2, 2);
        QTest::keyClicks(canvas, "c");
        QCOMPARE(bgr(formatAt(canvas, 2).foreground().color()), value);
    }

    void alignmentAndBullets()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "one\ntwo");
        MDIFrmMain &w = f.window();
        const auto alignmentOf = [canvas](int block) {
            return canvas->document()->findBlockByNumber(block).blockFormat().alignment()
                & Qt::AlignHorizontal_Mask;
        };
        clickFormat(w, "居中");
        QCOMPARE(alignmentOf(0), Qt::AlignHCenter);
        QCOMPARE(alignmentOf(1), Qt::AlignHCenter);
        select(canvas, 0, 1); // the paragraphs the selection touches, no others
        clickFormat(w, "右对齐");
        QCOMPARE(alignmentOf(0), Qt::AlignRight);
        QCOMPARE(alignmentOf(1), Qt::AlignHCenter);
        select(canvas, 0, 7);
        clickFormat(w, "右对齐");
        QCOMPARE(alignmentOf(1), Qt::AlignRight);
        clickFormat(w, "两端对齐"); // left, not justified
        QCOMPARE(alignmentOf(0), Qt::AlignLeft);
        QCOMPARE(alignmentOf(1), Qt::AlignLeft);

        // Bullets stay on when pressed again; numbering switches them off and on.
        const auto bulleted = [canvas](int block) {
            return canvas->document()->findBlockByNumber(block).textList() != nullptr;
        };
        clickFormat(w, "项目符号");
        clickFormat(w, "项目符号");
        QVERIFY(bulleted(0) && bulleted(1));
        QVERIFY(pressed(w, "项目符号"));
        QVERIFY(pressed(w, "编号"));
        clickFormat(w, "编号");
        QVERIFY(!bulleted(0) && !bulleted(1));
        QVERIFY(!pressed(w, "编号"));
        QVERIFY(!pressed(w, "项目符号"));
        clickFormat(w, "编号");
        QVERIFY(bulleted(0) && bulleted(1));
        QVERIFY(pressed(w, "编号"));
    }

    void indentAndExactSpacing()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "one\ntwo\nthree");
        MDIFrmMain &w = f.window();
        const auto indentMm = [canvas](int block) {
            return Page::leftIndentMm(QTextCursor(canvas->document()->findBlockByNumber(block)));
        };
        clickFormat(w, "增加缩进量");
        QVERIFY(qAbs(indentMm(0) - 13.0) < 1e-9);
        QVERIFY(qAbs(indentMm(2) - 13.0) < 1e-9);
        clickFormat(w, "增加缩进量");
        QVERIFY(qAbs(indentMm(1) - 26.0) < 1e-9);
        clickFormat(w, "减少缩进量");
        clickFormat(w, "减少缩进量");
        QCOMPARE(indentMm(0), 0.0);
        // Below 0 the request is refused and the indent stays.
        clickFormat(w, "减少缩进量");
        QCOMPARE(indentMm(0), 0.0);
        QCOMPARE(indentMm(1), 0.0);

        // "段落" with the caret in the first paragraph spaces every paragraph exactly.
        select(canvas, 1, 1);
        clickFormat(w, "段落");
        clickFormat(w, "段落"); // twice is the same as once
        int blocks = 0;
        for (QTextBlock b = canvas->document()->begin(); b.isValid(); b = b.next(), ++blocks) {
            QCOMPARE(b.blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));
            QCOMPARE(b.blockFormat().lineHeight(), 18.0); // 270 twips
        }
        QCOMPARE(blocks, 3);
        // The whole text stays selected.
        QCOMPARE(canvas->textCursor().selectedText().size(), QString("one\ntwo\nthree").size());

        // An empty page: the one paragraph takes it, and so does what is typed afterwards.
        w.menus().textClear->trigger();
        clickFormat(w, "段落");
        QTest::keyClicks(canvas, "x");
        QCOMPARE(canvas->document()->begin().blockFormat().lineHeight(), 18.0);
    }

    void backgroundAsksInTheColourDialog()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "ab");
        MDIFrmMain &w = f.window();
        QString title;
        answerColourDialog(QColor(0, 0, 128), &title);
        clickFormat(w, "背景");
        QCOMPARE(title, QString("背景颜色"));
        QCOMPARE(Page::background(*canvas->document()), QColor(0, 0, 128));
        // The whole page, not the selection; the text keeps its colour.
        QVERIFY(!formatAt(canvas, 0).hasProperty(QTextFormat::BackgroundBrush));

        title.clear();
        answerColourDialog(QColor(), &title); // cancel
        clickFormat(w, "背景");
        QCOMPARE(title, QString("背景颜色"));
        QCOMPARE(Page::background(*canvas->document()), QColor(0, 0, 128));
    }

    void fontSizeBoxAppliesWhenTheEditIsFinished()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "abc");
        MDIFrmMain &w = f.window();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QComboBox *size = w.tbFormatBar()->cboSize();
        QTextDocument *doc = canvas->document();

        // Typing "14" applies nothing and no keystroke reaches the page.
        size->lineEdit()->setFocus();
        size->lineEdit()->selectAll();
        const int undoSteps = doc->availableUndoSteps();
        QTest::keyClicks(size->lineEdit(), "14");
        QCoreApplication::processEvents();
        QCOMPARE(doc->toPlainText(), QString("abc"));
        QCOMPARE(doc->availableUndoSteps(), undoSteps);
        QCOMPARE(size->currentText(), QString("14"));

        // Enter applies 14 once, and the caret is back on the page.
        QTest::keyClick(size->lineEdit(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(formatAt(canvas, 0).fontPointSize(), 14.0, 5000);
        QCoreApplication::processEvents();
        QCOMPARE(formatAt(canvas, 2).fontPointSize(), 14.0);
        QCOMPARE(doc->availableUndoSteps(), undoSteps + 1);
        QCOMPARE(QApplication::focusWidget(), canvas);
        QCOMPARE(doc->toPlainText(), QString("abc"));

        // Leaving the box after typing applies what was typed; leaving it untouched does not.
        size->lineEdit()->setFocus();
        size->lineEdit()->selectAll();
        QTest::keyClicks(size->lineEdit(), "20");
        canvas->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(formatAt(canvas, 0).fontPointSize(), 20.0, 5000);
        size->lineEdit()->setFocus();
        canvas->setFocus();
        QTest::qWait(20);
        QCOMPARE(doc->availableUndoSteps(), undoSteps + 2);
        QCOMPARE(size->count(), 100); // typed sizes are not added to the list

        // A text that is no size changes nothing, says so, and the box shows the size again.
        size->lineEdit()->setFocus();
        size->lineEdit()->selectAll();
        QTest::keyClicks(size->lineEdit(), "big");
        QTest::keyClick(size->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(w.PicStatusBar()->note().contains("\"big\""), 5000);
        QCOMPARE(formatAt(canvas, 0).fontPointSize(), 20.0);
        QCOMPARE(size->currentText(), QString("20"));
        QVERIFY(f.prompts.prompts.isEmpty());

        // A pick from the list applies at once.
        pickText(size, "36");
        QTRY_COMPARE_WITH_TIMEOUT(formatAt(canvas, 1).fontPointSize(), 36.0, 5000);
    }

    void fontNameBoxAppliesThePickedName()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "abc");
        MDIFrmMain &w = f.window();
        QComboBox *font = w.tbFormatBar()->cboFont();
        const int index = font->findText("DejaVu Sans") >= 0 ? font->findText("DejaVu Sans") : 0;
        const QString name = font->itemText(index);
        pick(font, index);
        QTRY_COMPARE_WITH_TIMEOUT(
            formatAt(canvas, 0).fontFamilies().toStringList(), QStringList({ name }), 5000);
        // A name typed is handed over as typed; an empty one changes nothing.
        font->setEditText("No Such Font");
        emit font->lineEdit()->returnPressed();
        QTRY_COMPARE_WITH_TIMEOUT(formatAt(canvas, 2).fontFamilies().toStringList(),
            QStringList({ "No Such Font" }), 5000);
        font->setEditText("");
        emit font->lineEdit()->returnPressed();
        QTest::qWait(20);
        QCOMPARE(
            formatAt(canvas, 2).fontFamilies().toStringList(), QStringList({ "No Such Font" }));
    }

    void clipboardKeysEditMenuAndNew()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "hello");
        MDIFrmMain &w = f.window();
        StandardToolBar *bar = w.tbToolBar();
        QClipboard *clipboard = QGuiApplication::clipboard();

        clipboard->setText("before");
        select(canvas, 0, 0);
        click(bar, bar->button("复制")); // an empty selection leaves the clipboard alone
        w.menus().copy->trigger();
        QCOMPARE(clipboard->text(), QString("before"));
        select(canvas, 0, 5);
        click(bar, bar->button("剪切"));
        QCOMPARE(clipboard->text(), QString("hello"));
        QVERIFY(canvas->document()->isEmpty());
        click(bar, bar->button("粘贴"));
        w.menus().paste->trigger();
        QCOMPARE(canvas->toPlainText(), QString("hellohello"));
        select(canvas, 0, 5);
        click(bar, bar->button("复制"));
        QCOMPARE(canvas->toPlainText(), QString("hellohello"));
        w.menus().selectAll->trigger();
        w.menus().cut->trigger();
        QCOMPARE(clipboard->text(), QString("hellohello"));
        w.menus().paste->trigger();
        w.menus().textClear->trigger();
        QVERIFY(canvas->document()->isEmpty());

        // "新建": the default page emptied, typing red.
        canvas->setTextColor(Qt::green);
        canvas->insertPlainText("green");
        click(bar, bar->button("新建"));
        QVERIFY(canvas->document()->isEmpty());
        QCOMPARE(bgr(canvas->textColor()), 0x0000FF);
    }

    void nothingHappensWithoutAPage()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        w.resize(1400, 800);
        QPointer<frmDocument> page = w.openDefaultDocument();
        w.menus().close->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), 5000);
        QVERIFY(!w.activeCanvas());

        QGuiApplication::clipboard()->setText("kept");
        for (const QString &key : FormatToolBar::keys()) {
            clickFormat(w, key);
            if (w.tbFormatBar()->button(key)->isCheckable())
                QVERIFY2(!pressed(w, key), qPrintable(key));
        }
        for (QAction *a : { w.menus().cut, w.menus().copy, w.menus().paste, w.menus().selectAll,
                 w.menus().textClear })
            a->trigger();
        for (const char *key : { "保存", "剪切", "复制", "粘贴", "插入表格", "插入图片" })
            click(w.tbToolBar(), w.tbToolBar()->button(key));
        w.menus().saveAs->trigger();
        QVERIFY(f.dialogs.requests.isEmpty()); // nothing to save or insert into: no dialog
        emit w.tbFormatBar()->sizeTextChanged("14");
        emit w.tbFormatBar()->fontTextChanged("Sans");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
        QVERIFY(f.prompts.prompts.isEmpty());
        QVERIFY(w.mdiArea()->subWindowList().isEmpty());
    }

    void buttonsFollowTheActivePage()
    {
        WindowFixture f;
        startWithText(f, "bold");
        MDIFrmMain &w = f.window();
        frmDocument *first = w.openDefaultDocument();
        clickFormat(w, "粗体");
        QVERIFY(pressed(w, "粗体"));
        frmDocument *second = w.createPageWindow();
        QTRY_COMPARE_WITH_TIMEOUT(w.activeDocument(), second, 5000);
        QVERIFY(!pressed(w, "粗体"));
        w.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(first->parentWidget()));
        QTRY_VERIFY_WITH_TIMEOUT(pressed(w, "粗体"), 5000);
    }
};

QTEST_MAIN(tst_WindowFormat)
#include "tst_windowformat.moc"
