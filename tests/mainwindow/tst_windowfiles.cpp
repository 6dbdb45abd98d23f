// The file browser, saving, opening and inserting files, the zoom and picture boxes, and
// files named on the command line, in the real main window.

#include "windowfixture.h"

#include "commandlineopen.h"
#include "filebrowserpane.h"
#include "filedialogs.h"
#include "inserttabledialog.h"
#include "ledpicture.h"
#include "mainstatusbar.h"
#include "pagedocument.h"
#include "pagefilecommands.h"
#include "pagezoom.h"
#include "standardtoolbar.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTextFrame>
#include <QTextTable>
#include <QTimer>

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
        // A picture is shown without going through the clipboard, at the screen's width.
        QApplication::clipboard()->setText("the user's clipboard");
        clickFile(f, "LOGO.BMP");
        QVERIFY(hasPicture(f.page()->document()));
        QCOMPARE(f.canvas()->canvasSize().width(), 130); // not in the list: no text width
        QCOMPARE(QApplication::clipboard()->text(), QString("the user's clipboard"));
        // A page listed twice opens with the text width of its first row: 12 x 16.
        w.AddFileToListView("welcome.rtf", "12", "1");
        w.AddFileToListView("welcome.rtf", "20", "1");
        clickFile(f, "welcome.rtf");
        QCOMPARE(f.canvas()->canvasSize().width(), 12 * 16);
        // A double-click adds a row with the text size typed, each time.
        f.box("CobTxtWidth")->setEditText(" 64 ");
        doubleClickIndex(f.files(), fileIndex(f.files(), "LOGO.BMP"));
        doubleClickIndex(f.files(), fileIndex(f.files(), "LOGO.BMP"));
        QCOMPARE(w.programList().rowCount(), 4);
        QCOMPARE(f.rowTexts(4),
            QStringList({ "4", "0", "3", "0", "1", "0", "3", "0", "1", "64", "2", "LOGO.BMP" }));
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

    void savingAndOpeningPages()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        f.canvas()->insertPlainText("saved text");
        f.dialogs.answers = { f.path("mine") };
        emit w.tbToolBar()->buttonClicked("保存");
        const ScriptedFileDialogs::Request asked = f.dialogs.requests.last();
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
        QVERIFY(f.bytes("a.TXT.txt").startsWith("{\\rtf1"));
        QCOMPARE(f.page()->windowTitle(), f.path("a.TXT.txt"));
        // A page shown from the browser proposes its own file, a picture as a page of its name.
        f.copySample("logo.bmp", "Logo.BMP");
        w.pageFilesChanged();
        clickFile(f, "Logo.BMP");
        w.menus().save->trigger();
        QCOMPARE(f.dialogs.requests.last().initialName, f.path("Logo.rtf"));
        // Ctrl+O opens into the active page window, with the pages listed.
        f.copySample("welcome.rtf");
        f.dialogs.answers = { f.path("welcome.rtf") };
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.dialogs.requests.last().selectedFilter, 1); // "rtf文件(*.rtf)"
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
        QCOMPARE(f.prompts.prompts.size(), 2);
    }

    void insertPictureAndTable()
    {
        WindowFixture f;
        f.copySample("logo.bmp");
        MDIFrmMain &w = f.startWith();
        f.dialogs.answers = { f.path("logo.bmp"), f.path("BaseSet.ini") };
        emit w.tbToolBar()->buttonClicked("插入图片");
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
        QVERIFY(!w.pageCommands().insertTable(0, 3) && !w.pageCommands().insertTable(2, 51));
        // The table survives a save and a reload.
        f.dialogs.answers = { f.path("table"), f.path("table.rtf") };
        w.menus().save->trigger();
        f.canvas()->clear();
        w.pageCommands().OpenPageFile();
        const QList<QTextFrame *> frames = f.page()->document()->rootFrame()->childFrames();
        QVERIFY(std::any_of(frames.begin(), frames.end(),
            [](QTextFrame *frame) { return qobject_cast<QTextTable *>(frame); }));
    }

    void zoomIsRememberedAcrossARestart()
    {
        WindowFixture f;
        WindowSettings settings;
        settings.zoom.clear(); // first start: no [EditorSet] yet
        settings.screenHeight = 1;
        MDIFrmMain &w = f.startWith(settings);
        QComboBox *zoom = f.box("CboZoom");
        QCOMPARE(f.page()->zoom(), PageZoom::kFit);
        QVERIFY(f.page()->zoomFactor() > 1); // an 8 x 1 page is shown larger than 1:1
        QVERIFY(f.canvas()->geometry().bottom() < f.page()->HScroll1()->y()); // no row hidden
        pickText(zoom, "300%");
        QCOMPARE(f.page()->zoom(), 3);
        QCOMPARE(f.canvas()->size(), QSize(130, 18) * 3);
        QCOMPARE(f.iniValue("EditorSet", "Zoom"), QString("300"));
        QCOMPARE(f.iniValue("ScreenSet", "ScreenWidth"), QString("8")); // the rest as it was
        // A page window opened now starts at 300% too; the box follows the active window.
        f.dialogs.answers = { f.path("n.txt") };
        f.writeFile("n.txt", "new");
        w.pageCommands().OpenPageFileInNewWindow();
        frmDocument *second = w.activeDocument();
        QVERIFY(second && second != f.page());
        QCOMPARE(second->zoom(), 3);
        second->zoomBy(2);
        QCOMPARE(zoom->currentText(), QString("500%"));
        w.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(f.page()->parentWidget()));
        QCOMPARE(zoom->currentText(), QString("300%"));
        QCOMPARE(f.page()->zoom(), 3);
        // Restarted, the window starts at the last zoom chosen.
        f.window().close();
        f.start();
        QCOMPARE(f.page()->zoom(), 5);
        QCOMPARE(f.box("CboZoom")->currentText(), QString("500%"));
        pickText(f.box("CboZoom"), "Fit");
        QCOMPARE(f.iniValue("EditorSet", "Zoom"), QString("Fit"));
        // A zoom the box does not offer falls back to Fit and says so.
        f.window().close();
        settings.zoom = "250";
        f.startWith(settings);
        QCOMPARE(f.page()->zoom(), PageZoom::kFit);
        QVERIFY2(f.window().PicStatusBar()->note().contains("Zoom=250"),
            qPrintable(f.window().PicStatusBar()->note()));
    }

    void insertedPicturesComeInTheChosenColours()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith();
        QImage photo(24, 12, QImage::Format_RGB32);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 24; ++x)
                photo.setPixel(x, y, qRgb(x * 10, 128, y * 20));
        QVERIFY(photo.save(f.path("photo.png")));
        const QByteArray onDisk = f.bytes("photo.png");
        pickText(f.box("CboPictures"), "Dither");
        QVERIFY(w.pageCommands().insertPicture(f.path("photo.png")).ok());
        QCOMPARE(firstPicture(f.page()->document()),
            Page::toLedColours(photo, Page::PictureMode::Dither));
        QCOMPARE(f.bytes("photo.png"), onDisk);
        // Remembered: after a restart the picture page comes thresholded again only when
        // the operator says so.
        f.window().close();
        f.start();
        QCOMPARE(f.box("CboPictures")->currentText(), QString("Dither"));
        pickText(f.box("CboPictures"), "Threshold");
        QVERIFY(f.window().pageCommands().LoadPageFile(f.path("photo.png"), 0));
        QCOMPARE(firstPicture(f.page()->document()),
            Page::toLedColours(photo, Page::PictureMode::Threshold));
        // A damaged picture is refused with a message; the page keeps what it had.
        f.writeFile("cut.png", onDisk.left(onDisk.size() / 2));
        const Page::FileResult cut = f.window().pageCommands().insertPicture(f.path("cut.png"));
        QCOMPARE(cut.kind, Page::FileResult::Kind::PictureDamaged);
        QCOMPARE(firstPicture(f.page()->document()),
            Page::toLedColours(photo, Page::PictureMode::Threshold));
    }

    // What cannot be opened is said, in the interface language, and the rest still opens: the
    // first page in the default page window, which sending uses, the next in a window of its
    // own. A relative name is taken from the folder the program was started in; the kind goes
    // by the suffix in either case, never by a folder's name.
    void commandLineFilesOpenOrAreTold_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected"); // a phrase of each prompt, in order
        QTest::newRow("English") << "English"
                                 << QStringList { "missing.rtf",
                                        "it opens pages (.rtf, .txt, .bmp, .jpg, .gif) and shows",
                                        "is not a Vantrel show" };
        QTest::newRow("Chinese") << "简体中文"
                                 << QStringList { "missing.rtf", "只能打开页面",
                                        "不是 Vantrel 节目文件" };
    }
    void commandLineFilesOpenOrAreTold()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, expected);
        WindowFixture f;
        f.copySample("sale.rtf", "SALE.RTF");
        f.copySample("logo.bmp", "LOGO.Bmp");
        QVERIFY(QDir(f.folder()).mkdir("pages.rtf"));
        f.writeFile("pages.rtf/notes.png", "a png");
        f.writeFile("MORNING.VSHOW", "[Show]\n");
        WindowSettings s;
        s.language = language;
        MDIFrmMain &w = f.startWith(s);
        const QString startedIn = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f.folder()));
        const int opened = CommandLineOpen::open(w,
            { f.path("missing.rtf"), f.path("pages.rtf/notes.png"), f.path("MORNING.VSHOW"),
                "SALE.RTF", f.path("LOGO.Bmp") });
        QDir::setCurrent(startedIn);
        const QStringList texts = f.prompts.texts();
        QCOMPARE(texts.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(texts.at(i).contains(expected.at(i)), qPrintable(texts.at(i)));
        QCOMPARE(opened, 2);
        QCOMPARE(f.page()->windowTitle(), QFileInfo(f.path("SALE.RTF")).absoluteFilePath());
        QVERIFY(f.canvas()->document()->toPlainText().contains("SALE"));
        QCOMPARE(w.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(w.activeDocument()->windowTitle(), f.path("LOGO.Bmp"));
    }

    void fileFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("shown");
        QTest::newRow("pairs; *.* lists names without a dot")
            << "Rich text (*.rtf)|*.rtf|All files (*.*)|*.*"
            << "Rich text (*.rtf *.RTF);;All files (*)";
        QTest::newRow("patterns match either case") << "Pictures|*.bmp;*.JPG"
                                                    << "Pictures (*.bmp *.BMP *.JPG *.jpg)";
        QTest::newRow("patterns named in the description") << "Shows (*.vshow)"
                                                           << "Shows (*.vshow *.VSHOW)";
        QTest::newRow("empty pair, no pattern, no description")
            << "||Everything|||*.txt"
            << "Everything (*);;*.txt (*.txt *.TXT)";
    }
    void fileFilters()
    {
        QFETCH(QString, filter);
        QTEST(toolkitFileFilter(filter), "shown");
    }

    // The toolkit's dialogs, answered as an operator would: the folder picked last is where
    // the next Open starts; Cancel gives no name; Save appends the suffix.
    void toolkitDialogs()
    {
        QTemporaryDir dir;
        const QString page = dir.filePath("a.rtf");
        QVERIFY(QFile(page).open(QIODevice::WriteOnly));
        QString startedIn;
        const auto answer = [&startedIn](const QString &file) {
            QTimer::singleShot(0, [&startedIn, file] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                startedIn = dialog->directory().absolutePath();
                if (file.isEmpty())
                    return dialog->reject();
                if (file != "-")
                    dialog->selectFile(file);
                static_cast<QDialog *>(dialog)->accept(); // checks the name as OK does
            });
        };
        QtFileDialogs dialogs(nullptr);
        answer(page);
        QCOMPARE(dialogs.openFileName("Open", "Rtf|*.rtf", dir.path()), page);
        QCOMPARE(startedIn, QDir(dir.path()).absolutePath());
        answer({});
        QCOMPARE(dialogs.openFileName("Open", "Rtf|*.rtf", QDir::rootPath()), QString());
        QCOMPARE(startedIn, QDir(dir.path()).absolutePath());
        answer("-");
        QCOMPARE(dialogs.saveFileName("Save", "Rtf|*.rtf", dir.path(), "b", "rtf"),
            dir.filePath("b.rtf"));
    }
};

QTEST_MAIN(tst_WindowFiles)
#include "tst_windowfiles.moc"
