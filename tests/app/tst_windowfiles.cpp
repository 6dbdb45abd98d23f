#include "windowfixture.h"

#include "filebrowserpane.h"
#include "frmdocument.h"
#include "inserttabledialog.h"
#include "mainstatusbar.h"
#include "pagecanvas.h"
#include "pagedocument.h"
#include "pagefilecommands.h"
#include "pagerenderer.h"
#include "standardtoolbar.h"

#include "messages.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTimer>

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

class tst_WindowFiles : public QObject
{
    Q_OBJECT

private:
    static QListWidget *files(WindowFixture &f) { return f.control<QListWidget>("File1"); }
    static QStringList listed(WindowFixture &f) { return f.window().fileBrowser()->names(); }

private slots:
    void browserListsThePageFiles()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp", "LOGO.BMP");
        f.writeFile("notes.txt", "not a page");
        f.startWith();
        QCOMPARE(listed(f), QStringList({ "LOGO.BMP", "welcome.rtf" }));

        // A file copied in shows up at the next tick of the refresh timer; the selection stays.
        clickIndex(files(f), fileIndex(files(f), "welcome.rtf"));
        f.copySample("sale.rtf");
        QVERIFY(!listed(f).contains("sale.rtf"));
        f.window().fileBrowser()->refresh(); // what Timer1's tick runs
        QCOMPARE(listed(f), QStringList({ "LOGO.BMP", "sale.rtf", "welcome.rtf" }));
        QCOMPARE(f.window().fileBrowser()->selectedName(), QString("welcome.rtf"));
    }

    void clickShowsAPageWithoutTheClipboard()
    {
        WindowFixture f;
        f.copySample("welcome.rtf", "a.rtf");
        f.copySample("logo.bmp");
        MDIFrmMain &w = f.startWith();
        QApplication::clipboard()->setText("the user's clipboard");

        clickIndex(files(f), fileIndex(files(f), "logo.bmp"));
        frmDocument *page = w.openDefaultDocument();
        QVERIFY(hasPicture(page->document()));
        QCOMPARE(page->rtfText()->width(), 130); // not in the list: no text width
        QCOMPARE(QApplication::clipboard()->text(), QString("the user's clipboard"));

        // A page listed twice opens with the text width of its first row: 12 x 16.
        w.AddFileToListView("a.rtf", "12", "1");
        w.AddFileToListView("a.rtf", "20", "1");
        clickIndex(files(f), fileIndex(files(f), "a.rtf"));
        QCOMPARE(page->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(page->rtfText()->width(), 12 * 16);
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void theCanvasShowsTheRenderedPage()
    {
        WindowFixture f;
        f.copySample("sale.rtf");
        MDIFrmMain &w = f.startWith();
        clickIndex(files(f), fileIndex(files(f), "sale.rtf"));
        PageCanvas *canvas = w.openDefaultDocument()->rtfText();
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
        const QImage shown
            = canvas->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage rendered = Page::renderCanvas(canvas->document(), canvas->size());
        QCOMPARE(shown, rendered);
        // And it is the page: lit in each of its three colours.
        for (const QRgb led : { qRgb(255, 0, 0), qRgb(255, 255, 0), qRgb(0, 255, 0) }) {
            int lit = 0;
            for (int y = 0; y < rendered.height(); ++y)
                for (int x = 0; x < rendered.width(); ++x)
                    lit += rendered.pixel(x, y) == led;
            QVERIFY2(lit > 10, qPrintable(QString::number(led, 16)));
        }
    }

    void unreadableListedPageIsSaidInTheStatusBar()
    {
        WindowFixture f;
        f.writeFile("broken.bmp", "not a picture at all");
        MDIFrmMain &w = f.startWith();
        w.openDefaultDocument()->rtfText()->insertPlainText("kept");
        w.openDefaultDocument()->markSaved();
        clickIndex(files(f), fileIndex(files(f), "broken.bmp"));
        QCOMPARE(w.openDefaultDocument()->document()->toPlainText(), QString("kept"));
        QVERIFY2(
            w.PicStatusBar()->note().contains("broken.bmp"), qPrintable(w.PicStatusBar()->note()));
        QVERIFY(f.prompts.prompts.isEmpty());
    }

    void unsavedChangesAreOnlyDiscardedWhenTheOperatorAgrees()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith();
        frmDocument *page = w.openDefaultDocument();
        clickIndex(files(f), fileIndex(files(f), "welcome.rtf"));
        QVERIFY(f.prompts.prompts.isEmpty()); // nothing typed yet: nothing to ask
        QTest::keyClicks(page->rtfText(), "typed");

        f.prompts.confirmAnswer = false;
        clickIndex(files(f), fileIndex(files(f), "welcome.rtf"));
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(f.prompts.prompts.first().question);
        QVERIFY(page->document()->toPlainText().contains("typed"));
        w.menus().newPage->trigger();
        w.menus().close->trigger();
        QVERIFY(page->document()->toPlainText().contains("typed"));
        QVERIFY(page->isVisible());
        w.close();
        QVERIFY(w.isVisible()); // the main window stays with the page

        f.prompts.confirmAnswer = true;
        clickIndex(files(f), fileIndex(files(f), "welcome.rtf"));
        QCOMPARE(page->document()->toPlainText(), QString("Welcome!"));
        QVERIFY(!page->hasUnsavedChanges());
    }

    void doubleClickAddsARowWithTheTextSize()
    {
        WindowFixture f;
        f.copySample("logo.bmp", "b.bmp");
        MDIFrmMain &w = f.startWith();
        f.control<QComboBox>("CobTxtWidth")->setEditText(" 64 ");
        doubleClickIndex(files(f), fileIndex(files(f), "b.bmp"));
        QCOMPARE(w.programList().rowCount(), 1);
        QCOMPARE(w.programList().model()->rowTexts(1),
            QStringList({ "1", "0", "3", "0", "1", "0", "3", "0", "1", "64", "2", "b.bmp" }));
        doubleClickIndex(files(f), fileIndex(files(f), "b.bmp"));
        QCOMPARE(w.programList().rowCount(), 2);
        QCOMPARE(w.programList().cellText(2, ListColumn::Number), QString("2"));
    }

    void savingPages()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        w.openDefaultDocument()->rtfText()->insertPlainText("saved text");
        f.dialogs.answers = { f.path("mine") };
        emit w.tbToolBar()->buttonClicked("保存");
        const ScriptedFileDialogs::Request asked = f.dialogs.requests.last();
        QCOMPARE(asked.title, QString("保存"));
        QCOMPARE(asked.filter, QString("Rtf File(*.rtf)|*.rtf|All Files(*.*)|*.*"));
        QCOMPARE(asked.folder, f.folder());
        QCOMPARE(asked.initialName, w.openDefaultDocument()->windowTitle());
        QCOMPARE(asked.defaultSuffix, QString("txt"));
        QVERIFY(QFile::exists(f.path("mine.rtf")));
        QVERIFY(listed(f).contains("mine.rtf")); // no timer tick needed
        QCOMPARE(w.openDefaultDocument()->windowTitle(), QString("Untitled")); // caption stays

        // A page whose caption is an .rtf path proposes that path and saves to it unchanged.
        w.openDefaultDocument()->setWindowTitle(f.path("mine.rtf"));
        f.dialogs.answers = { f.path("mine.rtf") };
        w.menus().save->trigger();
        QCOMPARE(f.dialogs.requests.last().initialName, f.path("mine.rtf"));
        QVERIFY(!QFile::exists(f.path("mine.rtf.rtf")));

        // Cancel saves nothing; a folder that does not exist is said, the caption kept.
        f.dialogs.answers = { QString(), f.path("no-such-folder/x") };
        w.menus().save->trigger();
        QCOMPARE(listed(f), QStringList({ "mine.rtf" }));
        w.menus().saveAs->trigger();
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(f.prompts.texts().first().contains("no-such-folder"));
        QCOMPARE(w.openDefaultDocument()->windowTitle(), f.path("mine.rtf"));

        // Save As writes RTF under a .txt name and takes it as the caption.
        f.dialogs.answers = { f.path("a.TXT") };
        w.menus().saveAs->trigger();
        QCOMPARE(f.dialogs.requests.last().title, QString("另存为"));
        QFile saved(f.path("a.TXT.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().startsWith("{\\rtf1"));
        QCOMPARE(w.openDefaultDocument()->windowTitle(), f.path("a.TXT.txt"));
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
        QCOMPARE(w.activeDocument()->document()->toPlainText(), QString("Welcome!"));
        QCOMPARE(w.activeDocument()->windowTitle(), f.path("welcome.rtf"));

        // With no page window open, the file opens in a new one.
        w.menus().close->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(w.mdiArea()->subWindowList().isEmpty(), 5000);
        f.dialogs.answers = { f.path("welcome.rtf") };
        w.pageCommands().OpenPageFile();
        QCOMPARE(f.dialogs.requests.last().filter, QString("文本文件(*.txt)|*.txt|"));
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(w.activeDocument()->document()->toPlainText(), QString("Welcome!"));

        // A file that cannot be read says why and opens no window.
        w.menus().close->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(w.mdiArea()->subWindowList().isEmpty(), 5000);
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
        QApplication::clipboard()->setText("before");
        f.dialogs.answers = { f.path("logo.bmp") };
        emit w.tbToolBar()->buttonClicked("插入图片");
        QCOMPARE(f.dialogs.requests.last().title, QString("插入图片"));
        QVERIFY(hasPicture(w.activeDocument()->document()));
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(128, 16));

        f.dialogs.answers = { f.path("BaseSet.ini") };
        emit w.tbToolBar()->buttonClicked("插入图片");
        QCOMPARE(f.prompts.prompts.size(), 1); // not a picture: said, nothing inserted

        // "插入表格" asks for the size: 2 x 3.
        QTimer::singleShot(0, [] {
            auto *dialog = shownWindow<InsertTableDialog>();
            QVERIFY(dialog);
            dialog->setSize(2, 3);
            dialog->accept();
        });
        emit w.tbToolBar()->buttonClicked("插入表格");
        QTextTable *table = w.activeDocument()->rtfText()->textCursor().currentTable();
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 3);
        QVERIFY(!w.pageCommands().insertTable(0, 3));
        QVERIFY(!w.pageCommands().insertTable(2, 51));

        // The table survives a save and a reload.
        f.dialogs.answers = { f.path("table") };
        w.menus().save->trigger();
        f.dialogs.answers = { f.path("table.rtf") };
        w.pageCommands().OpenPageFile();
        bool found = false;
        for (QTextFrame *frame : w.activeDocument()->document()->rootFrame()->childFrames())
            found = found || qobject_cast<QTextTable *>(frame);
        QVERIFY(found);
    }
};

QTEST_MAIN(tst_WindowFiles)
#include "tst_windowfiles.moc"
