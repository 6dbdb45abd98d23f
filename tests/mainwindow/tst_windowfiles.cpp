#include "windowfixture.h"

#include "filebrowserpane.h"
#include "inserttabledialog.h"
#include "mainstatusbar.h"
#include "pagedocument.h"
#include "pagefilecommands.h"
#include "pagerenderer.h"
#include "standardtoolbar.h"

#include <QClipboard>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>

namespace {

bool hasPicture(const QTextDocument *document)
{
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return true;
    return false;
}

} // namespace

// The file browser, and saving, opening and inserting files from the real main window.
class tst_WindowFiles : public QObject
{
    Q_OBJECT

private:
    static QStringList listed(WindowFixture &f) { return f.window().fileBrowser()->names(); }
    static void clickFile(WindowFixture &f, const QString &name)
    {
        clickIndex(f.files(), fileIndex(f.files(), name));
    }

private slots:
    void browserListsThePageFiles()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp", "LOGO.BMP");
        f.writeFile("notes.txt", "not a page");
        f.writeFile("broken.bmp", "not a picture at all");
        MDIFrmMain &w = f.startWith();
        QCOMPARE(listed(f), QStringList({ "broken.bmp", "LOGO.BMP", "welcome.rtf" }));

        // A file copied in shows up at the next tick of the refresh timer; the selection stays.
        clickFile(f, "welcome.rtf");
        f.copySample("sale.rtf");
        QVERIFY(!listed(f).contains("sale.rtf"));
        w.fileBrowser()->refresh(); // what Timer1's tick runs
        QCOMPARE(listed(f), QStringList({ "broken.bmp", "LOGO.BMP", "sale.rtf", "welcome.rtf" }));
        QCOMPARE(w.fileBrowser()->selectedName(), QString("welcome.rtf"));

        // A listed page that cannot be read: the page stays, a message box says why in full.
        clickFile(f, "broken.bmp");
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY2(f.prompts.texts().first().contains("broken.bmp"),
            qPrintable(f.prompts.texts().first()));
    }

    void clickShowsAPageWithoutTheClipboard()
    {
        WindowFixture f;
        f.copySample("welcome.rtf", "a.rtf");
        f.copySample("logo.bmp");
        MDIFrmMain &w = f.startWith();
        QApplication::clipboard()->setText("the user's clipboard");
        clickFile(f, "logo.bmp");
        QVERIFY(hasPicture(f.page()->document()));
        QCOMPARE(f.canvas()->canvasSize().width(), 130); // not in the list: no text width
        QCOMPARE(QApplication::clipboard()->text(), QString("the user's clipboard"));

        // A page listed twice opens with the text width of its first row: 12 x 16.
        w.AddFileToListView("a.rtf", "12", "1");
        w.AddFileToListView("a.rtf", "20", "1");
        clickFile(f, "a.rtf");
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.canvas()->canvasSize().width(), 12 * 16);
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void theCanvasShowsTheRenderedPage()
    {
        WindowFixture f;
        f.copySample("sale.rtf");
        f.startWith();
        clickFile(f, "sale.rtf");
        PageCanvas *canvas = f.canvas();
        // More than the file holds: a second paragraph in other sizes and weights, plain
        // Chinese text (no colour of its own: red) and a background.
        QTextCursor cursor(canvas->document());
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat format;
        format.setForeground(Qt::green);
        format.setFontPointSize(10);
        cursor.insertBlock();
        cursor.insertText("Green ", format);
        format.setFontPointSize(14);
        format.setFontWeight(QFont::Normal);
        cursor.insertText("big ", format);
        cursor.insertText("中文", QTextCharFormat());
        Page::setBackground(canvas->document(), QColor(0, 0, 40));
        canvas->setTextCursor(QTextCursor(canvas->document()));
        canvas->clearFocus();
        QCoreApplication::processEvents();
        const QImage rendered = Page::renderCanvas(canvas->document(), canvas->canvasSize());
        const QRect sent(0, 0, canvas->unsentRect().x(), rendered.height());
        QCOMPARE(
            canvas->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(sent),
            rendered.copy(sent));
        // And it is the page: lit in each of its three colours.
        for (const QRgb led : { qRgb(255, 0, 0), qRgb(255, 255, 0), qRgb(0, 255, 0) }) {
            int lit = 0;
            for (int y = 0; y < rendered.height(); ++y)
                for (int x = 0; x < rendered.width(); ++x)
                    lit += rendered.pixel(x, y) == led;
            QVERIFY2(lit > 10, qPrintable(QString::number(led, 16)));
        }
    }

    void unsavedChangesAreOnlyDiscardedWhenTheOperatorAgrees()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith();
        clickFile(f, "welcome.rtf");
        QVERIFY(f.prompts.prompts.isEmpty()); // nothing typed yet: nothing to ask
        QTest::keyClicks(f.canvas(), "typed");

        // Kept: by the file browser, New, Close, and closing the main window. The browser
        // asks once the double-click time has passed, so a double-click is not lost under it.
        f.prompts.confirmAnswer = false;
        clickFile(f, "welcome.rtf");
        QVERIFY(f.prompts.prompts.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(f.prompts.prompts.size(), 1, 5000);
        w.menus().newPage->trigger();
        w.menus().close->trigger();
        w.close();
        QCOMPARE(f.prompts.prompts.size(), 4);
        QVERIFY(f.prompts.prompts.first().question);
        QVERIFY(f.page()->document()->toPlainText().contains("typed"));
        QVERIFY(f.page()->isVisible() && w.isVisible());

        f.prompts.confirmAnswer = true;
        clickFile(f, "welcome.rtf");
        QTRY_COMPARE_WITH_TIMEOUT(f.page()->document()->toPlainText(), QString("Welcome!"), 5000);
        QVERIFY(!f.page()->hasUnsavedChanges());
    }

    void doubleClickAddsARowWithTheTextSize()
    {
        WindowFixture f;
        f.copySample("logo.bmp", "b.bmp");
        MDIFrmMain &w = f.startWith();
        f.box("CobTxtWidth")->setEditText(" 64 ");
        doubleClickIndex(f.files(), fileIndex(f.files(), "b.bmp"));
        doubleClickIndex(f.files(), fileIndex(f.files(), "b.bmp"));
        QCOMPARE(w.programList().rowCount(), 2);
        QCOMPARE(f.rowTexts(2),
            QStringList({ "2", "0", "3", "0", "1", "0", "3", "0", "1", "64", "2", "b.bmp" }));
    }

    void savingPages()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        f.canvas()->insertPlainText("saved text");
        f.dialogs.answers = { f.path("mine") };
        emit w.tbToolBar()->buttonClicked("保存");
        const ScriptedFileDialogs::Request asked = f.dialogs.requests.last();
        QCOMPARE(asked.title, QString("保存"));
        QCOMPARE(asked.filter, QString("Rtf File(*.rtf)|*.rtf|All Files(*.*)|*.*"));
        QCOMPARE(asked.folder, f.folder());
        // What is proposed, and what a typed name gets, is the name saved: ".rtf".
        QCOMPARE(QStringList({ asked.initialName, asked.defaultSuffix }),
            QStringList({ "Untitled.rtf", "rtf" }));
        QVERIFY(f.bytes("mine.rtf").startsWith("{\\rtf1"));
        QVERIFY(listed(f).contains("mine.rtf")); // no timer tick needed
        QCOMPARE(f.page()->windowTitle(), QString("Untitled")); // caption stays

        // A page whose caption is an .rtf path proposes that path and saves to it unchanged.
        f.page()->setWindowTitle(f.path("mine.rtf"));
        f.dialogs.answers = { f.path("mine.rtf") };
        w.menus().save->trigger();
        QCOMPARE(f.dialogs.requests.last().initialName, f.path("mine.rtf"));

        // Cancel saves nothing; a folder that does not exist is said, the caption kept.
        f.dialogs.answers = { QString(), f.path("no-such-folder/x") };
        w.menus().save->trigger();
        w.menus().saveAs->trigger();
        QCOMPARE(listed(f), QStringList({ "mine.rtf" }));
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(f.prompts.texts().first().contains("no-such-folder"));
        QCOMPARE(f.page()->windowTitle(), f.path("mine.rtf"));

        // Save As writes RTF under a .txt name and takes it as the caption.
        f.dialogs.answers = { f.path("a.TXT") };
        w.menus().saveAs->trigger();
        QCOMPARE(f.dialogs.requests.last().title, QString("另存为"));
        QVERIFY(f.bytes("a.TXT.txt").startsWith("{\\rtf1"));
        QCOMPARE(f.page()->windowTitle(), f.path("a.TXT.txt"));

        // A page shown from the browser proposes its own file, a picture as a page of its name.
        f.copySample("logo.bmp", "Logo.BMP");
        w.pageFilesChanged();
        clickFile(f, "Logo.BMP");
        w.menus().save->trigger();
        QCOMPARE(f.dialogs.requests.last().initialName, f.path("Logo.rtf"));
    }

    void openIntoTheActiveWindowOrANewOne()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith();
        f.dialogs.answers = { f.path("welcome.rtf") };
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.dialogs.requests.last().title, QString("打开"));
        QCOMPARE(f.dialogs.requests.last().filter,
            QString("文本文件(*.txt)|*.txt|rtf文件(*.rtf)|*.rtf"));
        QCOMPARE(f.dialogs.requests.last().selectedFilter, 1); // "rtf文件(*.rtf)": pages listed
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(f.page()->windowTitle(), f.path("welcome.rtf"));

        // With no page window open, the file opens in a new one.
        f.closePage();
        f.dialogs.answers = { f.path("welcome.rtf") };
        w.pageCommands().OpenPageFile();
        QCOMPARE(f.dialogs.requests.last().filter, QString("文本文件(*.txt)|*.txt|"));
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(w.activeDocument()->document()->toPlainText(), QString("Welcome!"));

        // A file that cannot be read says why and opens no window.
        f.closePage();
        f.dialogs.answers = { f.path("missing.rtf") };
        w.pageCommands().OpenPageFile();
        QVERIFY(w.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(f.prompts.prompts.size(), 1);
    }

    void insertPictureAndTable()
    {
        WindowFixture f;
        f.copySample("logo.bmp");
        MDIFrmMain &w = f.startWith();
        f.dialogs.answers = { f.path("logo.bmp"), f.path("BaseSet.ini") };
        emit w.tbToolBar()->buttonClicked("插入图片");
        QCOMPARE(f.dialogs.requests.last().title, QString("插入图片"));
        QVERIFY(hasPicture(f.page()->document()));
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(128, 16));
        emit w.tbToolBar()->buttonClicked("插入图片");
        QCOMPARE(f.prompts.prompts.size(), 1); // not a picture: said, nothing inserted

        // "插入表格" asks for the size: 2 x 3.
        whenShown<InsertTableDialog>([](InsertTableDialog *dialog) {
            dialog->setSize(2, 3);
            dialog->accept();
        });
        emit w.tbToolBar()->buttonClicked("插入表格");
        QTextTable *table = f.canvas()->textCursor().currentTable();
        QVERIFY(table);
        QCOMPARE(QSize(table->columns(), table->rows()), QSize(3, 2));
        QVERIFY(!w.pageCommands().insertTable(0, 3));
        QVERIFY(!w.pageCommands().insertTable(2, 51));

        // The table survives a save and a reload.
        f.dialogs.answers = { f.path("table"), f.path("table.rtf") };
        w.menus().save->trigger();
        f.canvas()->clear();
        w.pageCommands().OpenPageFile();
        const QList<QTextFrame *> frames = f.page()->document()->rootFrame()->childFrames();
        QVERIFY(std::any_of(frames.begin(), frames.end(),
            [](QTextFrame *frame) { return qobject_cast<QTextTable *>(frame); }));
    }
};

QTEST_MAIN(tst_WindowFiles)
#include "tst_windowfiles.moc"
