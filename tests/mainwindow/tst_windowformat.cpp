#include "windowfixture.h"

#include "formattoolbar.h"
#include "mainstatusbar.h"
#include "pagecommands.h"
#include "pagedocument.h"
#include "standardtoolbar.h"

#include <QClipboard>
#include <QColorDialog>
#include <QLineEdit>
#include <QMdiSubWindow>

namespace {

// A colour as the sign's colour values are written: 0x00BBGGRR.
int bgr(const QColor &c)
{
    return c.blue() << 16 | c.green() << 8 | c.red();
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
        f.canvas()->setPlainText(text);
        selectText(f.canvas(), 0, int(text.size()));
        return f.canvas();
    }
    // Clicks the button as the operator does, so a toggle's own checking takes part.
    template <typename Bar> static void click(Bar *bar, const QString &key)
    {
        QWidget *widget = bar->widgetForAction(bar->button(key));
        QVERIFY2(widget && widget->isVisible(), qPrintable(key));
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    static void clickFormat(MDIFrmMain &w, const QString &key) { click(w.tbFormatBar(), key); }
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
    static QTextBlockFormat paragraph(PageCanvas *canvas, int block)
    {
        return canvas->document()->findBlockByNumber(block).blockFormat();
    }

private slots:
    void toggleKeysShowTheSelectionState_data()
    {
        QTest::addColumn<QString>("key");
        for (const char *key : { "粗体", "斜体", "下划线", "删除线" })
            QTest::newRow(key) << QString::fromUtf8(key);
    }
    void toggleKeysShowTheSelectionState()
    {
        QFETCH(QString, key);
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "abcd");
        MDIFrmMain &w = f.window();
        const auto isOn = [&](int at) {
            const QTextCharFormat c = formatAt(canvas, at);
            return key == "粗体"  ? c.fontWeight() > QFont::Medium
                : key == "斜体"   ? c.fontItalic()
                : key == "下划线" ? c.fontUnderline()
                                  : c.fontStrikeOut();
        };
        clickFormat(w, key);
        QVERIFY(isOn(0) && isOn(3) && pressed(w, key));
        clickFormat(w, key);
        QVERIFY(!isOn(0) && !isOn(3) && !pressed(w, key));
        // A mixed selection has no single value: nothing changes and the button shows up.
        selectText(canvas, 0, 2);
        clickFormat(w, key);
        selectText(canvas, 0, 4);
        clickFormat(w, key);
        QVERIFY(isOn(0) && !isOn(3) && !pressed(w, key));
        // The button follows the caret...
        selectText(canvas, 1, 1);
        QVERIFY(pressed(w, key));
        selectText(canvas, 3, 3);
        QVERIFY(!pressed(w, key));
        // Without a selection the key sets what typing writes.
        selectText(canvas, 4, 4);
        clickFormat(w, key);
        QTest::keyClicks(canvas, "e");
        QVERIFY(isOn(4) && !isOn(3));
        // ...and the active page window: a new one has none of it.
        frmDocument *second = w.createPageWindow();
        QTRY_COMPARE(w.activeDocument(), second);
        QVERIFY(!pressed(w, key));
        w.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(f.page()->parentWidget()));
        QTRY_VERIFY(pressed(w, key));
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
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "ab");
        clickFormat(f.window(), key);
        selectText(canvas, 2, 2);
        QTest::keyClicks(canvas, "c"); // typing goes on in the colour
        for (int at = 0; at < 3; ++at)
            QTEST(bgr(formatAt(canvas, at).foreground().color()), "value");
    }

    void paragraphKeys()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "one\ntwo\nthree");
        MDIFrmMain &w = f.window();
        const auto aligned = [canvas](Qt::Alignment first, Qt::Alignment second) {
            return (paragraph(canvas, 0).alignment() & Qt::AlignHorizontal_Mask) == first
                && (paragraph(canvas, 1).alignment() & Qt::AlignHorizontal_Mask) == second;
        };
        clickFormat(w, "居中");
        QVERIFY(aligned(Qt::AlignHCenter, Qt::AlignHCenter));
        selectText(canvas, 0, 1); // the paragraphs the selection touches, no others
        clickFormat(w, "右对齐");
        QVERIFY(aligned(Qt::AlignRight, Qt::AlignHCenter));
        selectText(canvas, 0, 7);
        clickFormat(w, "两端对齐"); // left, not justified
        QVERIFY(aligned(Qt::AlignLeft, Qt::AlignLeft));
        // Bullets stay on when pressed again; numbering switches them off and on.
        const auto bulleted = [&](bool on) {
            const QTextDocument *doc = canvas->document();
            return (doc->findBlockByNumber(0).textList() != nullptr) == on
                && (doc->findBlockByNumber(1).textList() != nullptr) == on
                && pressed(w, "项目符号") == on && pressed(w, "编号") == on;
        };
        clickFormat(w, "项目符号");
        clickFormat(w, "项目符号");
        QVERIFY(bulleted(true));
        clickFormat(w, "编号");
        QVERIFY(bulleted(false));
        clickFormat(w, "编号");
        QVERIFY(bulleted(true));
        clickFormat(w, "编号");
        // Indents move every paragraph selected; below 0 is refused and the indent stays.
        selectText(canvas, 0, 13);
        const auto indentsMm = [canvas](double mm) {
            for (int block = 0; block < 3; ++block) {
                const QTextCursor at(canvas->document()->findBlockByNumber(block));
                if (qAbs(Page::leftIndentMm(at) - mm) > 1e-9)
                    return false;
            }
            return true;
        };
        clickFormat(w, "增加缩进量");
        clickFormat(w, "增加缩进量");
        QVERIFY(indentsMm(26));
        for (int i = 0; i < 3; ++i)
            clickFormat(w, "减少缩进量");
        QVERIFY(indentsMm(0));
        // "段落" with the caret in the first paragraph spaces every paragraph exactly, and
        // twice is the same as once.
        selectText(canvas, 1, 1);
        clickFormat(w, "段落");
        clickFormat(w, "段落");
        for (int block = 0; block < 3; ++block) {
            QCOMPARE(paragraph(canvas, block).lineHeightType(), int(QTextBlockFormat::FixedHeight));
            QCOMPARE(paragraph(canvas, block).lineHeight(), 18.0); // 270 twips
        }
        // An empty page: the one paragraph takes it, and so does what is typed afterwards.
        w.menus().textClear->trigger();
        clickFormat(w, "段落");
        QTest::keyClicks(canvas, "x");
        QCOMPARE(paragraph(canvas, 0).lineHeight(), 18.0);
    }

    void backgroundAsksInTheColourDialog()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "ab");
        QStringList titles;
        for (const QColor &answer : { QColor(0, 0, 128), QColor() }) { // OK, then Cancel
            whenShown<QColorDialog>([&titles, answer](QColorDialog *dialog) {
                titles.append(dialog->windowTitle());
                if (!answer.isValid())
                    return dialog->reject();
                dialog->setCurrentColor(answer);
                dialog->accept();
            });
            clickFormat(f.window(), "背景");
            // The whole page, not the selection; the text keeps its colour.
            QCOMPARE(Page::background(*canvas->document()), QColor(0, 0, 128));
            QVERIFY(!formatAt(canvas, 0).hasProperty(QTextFormat::BackgroundBrush));
        }
        QCOMPARE(titles, QStringList({ "背景颜色", "背景颜色" }));
    }

    void fontBoxesApplyWhenTheEditIsFinished()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "abc");
        MDIFrmMain &w = f.window();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QComboBox *size = w.tbFormatBar()->cboSize();
        QTextDocument *doc = canvas->document();
        const int undoSteps = doc->availableUndoSteps();
        const auto type = [size](const char *text) {
            size->lineEdit()->setFocus();
            size->lineEdit()->selectAll();
            QTest::keyClicks(size->lineEdit(), text);
        };
        // Typing "14" applies nothing and no keystroke reaches the page.
        type("14");
        QCoreApplication::processEvents();
        QCOMPARE(doc->toPlainText(), QString("abc"));
        QCOMPARE(doc->availableUndoSteps(), undoSteps);
        // Enter applies 14 once, and the caret is back on the page.
        QTest::keyClick(size->lineEdit(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(formatAt(canvas, 2).fontPointSize(), 14.0, 5000);
        QCOMPARE(doc->availableUndoSteps(), undoSteps + 1);
        QCOMPARE(QApplication::focusWidget(), canvas);
        // Leaving the box after typing applies what was typed; leaving it untouched does not.
        type("20");
        canvas->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(formatAt(canvas, 0).fontPointSize(), 20.0, 5000);
        size->lineEdit()->setFocus();
        canvas->setFocus();
        QTest::qWait(20);
        QCOMPARE(doc->availableUndoSteps(), undoSteps + 2);
        // A text that is no size changes nothing, says so, and the box shows the size again.
        type("big");
        QTest::keyClick(size->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(w.PicStatusBar()->note().contains("\"big\""), 5000);
        QCOMPARE(formatAt(canvas, 0).fontPointSize(), 20.0);
        QCOMPARE(size->currentText(), QString("20"));
        // The name box applies the name picked, and a name typed as typed.
        QComboBox *font = w.tbFormatBar()->cboFont();
        const int index = qMax(0, font->findText("DejaVu Sans"));
        pick(font, index);
        QTRY_COMPARE_WITH_TIMEOUT(formatAt(canvas, 0).fontFamilies().toStringList(),
            QStringList({ font->itemText(index) }), 5000);
        font->setEditText("No Such Font");
        emit font->lineEdit()->returnPressed();
        QTRY_COMPARE_WITH_TIMEOUT(formatAt(canvas, 2).fontFamilies().toStringList(),
            QStringList({ "No Such Font" }), 5000);
    }

    void clipboardKeysEditMenuAndNew()
    {
        WindowFixture f;
        PageCanvas *canvas = startWithText(f, "hello");
        MDIFrmMain &w = f.window();
        StandardToolBar *bar = w.tbToolBar();
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText("before");
        selectText(canvas, 0, 0);
        click(bar, "复制"); // an empty selection leaves the clipboard alone
        w.menus().copy->trigger();
        QCOMPARE(clipboard->text(), QString("before"));
        selectText(canvas, 0, 5);
        click(bar, "剪切");
        QCOMPARE(clipboard->text() + "|" + canvas->toPlainText(), QString("hello|"));
        click(bar, "粘贴");
        w.menus().paste->trigger();
        w.menus().selectAll->trigger();
        w.menus().copy->trigger();
        QCOMPARE(clipboard->text(), QString("hellohello"));
        w.menus().textClear->trigger();
        QVERIFY(canvas->document()->isEmpty());
        // "新建": the default page emptied, typing red, nothing unsaved; the background stays.
        canvas->setTextColor(Qt::green);
        canvas->insertPlainText("green");
        Page::setBackground(canvas->document(), QColor(0, 0, 80));
        QVERIFY(f.page()->hasUnsavedChanges());
        click(bar, "新建");
        QVERIFY(canvas->document()->isEmpty() && bgr(canvas->textColor()) == 0x0000FF);
        QVERIFY(!f.page()->hasUnsavedChanges());
        QCOMPARE(Page::background(*canvas->document()), QColor(0, 0, 80));
    }

    void nothingHappensWithoutAPage()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        w.resize(1400, 800);
        f.closePage();
        QGuiApplication::clipboard()->setText("kept");
        for (const QString &key : FormatToolBar::keys()) {
            clickFormat(w, key);
            QVERIFY2(!pressed(w, key), qPrintable(key));
        }
        for (QAction *a : { w.menus().cut, w.menus().copy, w.menus().paste, w.menus().selectAll,
                 w.menus().textClear, w.menus().saveAs })
            a->trigger();
        for (const char *key : { "保存", "剪切", "复制", "粘贴", "插入表格", "插入图片" })
            click(w.tbToolBar(), key);
        emit w.tbFormatBar()->sizeTextChanged("14");
        emit w.tbFormatBar()->fontTextChanged("Sans");
        QVERIFY(f.dialogs.requests.isEmpty()); // nothing to save or insert into: no dialog
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
        QVERIFY(f.prompts.prompts.isEmpty() && w.mdiArea()->subWindowList().isEmpty());
    }
};

QTEST_MAIN(tst_WindowFormat)
#include "tst_windowformat.moc"
