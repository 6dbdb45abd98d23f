#include "windowfixture.h"

#include "commandlineopen.h"

#include <QDir>

// Files named on the command line (or handed over by the file manager) open in the real main
// window once it has started.
class tst_CommandLineOpen : public QObject
{
    Q_OBJECT

private slots:
    void kindByExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        const int page = int(CommandLineOpen::Kind::Page);
        const int show = int(CommandLineOpen::Kind::Show);
        const int unknown = int(CommandLineOpen::Kind::Unknown);
        QTest::newRow("rtf") << "/pages/welcome.rtf" << page;
        QTest::newRow("upper-case RTF") << "SALE.RTF" << page;
        QTest::newRow("saved as txt") << "notes.txt" << page;
        QTest::newRow("bmp") << "logo.bmp" << page;
        QTest::newRow("Jpg") << "photo.Jpg" << page;
        QTest::newRow("jpeg") << "photo.jpeg" << page;
        QTest::newRow("gif") << "banner.gif" << page;
        QTest::newRow("show") << "/shows/morning.vshow" << show;
        QTest::newRow("upper-case show") << "EVENING.VSHOW" << show;
        QTest::newRow("png") << "logo.png" << unknown;
        QTest::newRow("no extension") << "README" << unknown;
        QTest::newRow("rtf folder, other file") << "pages.rtf/notes" << unknown;
    }

    void kindByExtension()
    {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(int(CommandLineOpen::kindOf(path)), kind);
    }

    void pagesOpenInPageWindows()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp");
        MDIFrmMain &w = f.startWith();
        // A relative name is taken from the folder the program was started in.
        const QString startedIn = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f.folder()));
        const int opened = CommandLineOpen::open(w, { "welcome.rtf", f.path("logo.bmp") });
        QDir::setCurrent(startedIn);

        QCOMPARE(opened, 2);
        QCOMPARE(f.prompts.texts(), QStringList());
        // The first page goes into the default page window, which sending uses.
        QCOMPARE(f.page()->windowTitle(), QFileInfo(f.path("welcome.rtf")).absoluteFilePath());
        QVERIFY(f.canvas()->document()->toPlainText().contains("Welcome!"));
        QCOMPARE(w.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(w.activeDocument()->windowTitle(), f.path("logo.bmp"));
    }

    void filesThatCannotOpenAreTold_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected"); // a phrase of each prompt, in order
        QTest::newRow("English") << "English"
                                 << QStringList { "missing.rtf", "it opens pages (.rtf, .txt, "
                                                                 ".bmp, .jpg, .gif) and shows",
                                        "is a show file" };
        QTest::newRow("Chinese") << "简体中文"
                                 << QStringList { "missing.rtf", "只能打开页面", "是节目单文件" };
    }

    void filesThatCannotOpenAreTold()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, expected);
        WindowFixture f;
        f.copySample("sale.rtf");
        f.writeFile("notes.png", "a png");
        f.writeFile("morning.vshow", "[Show]\n");
        WindowSettings s;
        s.language = language;
        MDIFrmMain &w = f.startWith(s);

        const int opened = CommandLineOpen::open(w,
            { f.path("missing.rtf"), f.path("notes.png"), f.path("morning.vshow"),
                f.path("sale.rtf") });
        const QStringList texts = f.prompts.texts();
        QCOMPARE(texts.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(texts.at(i).contains(expected.at(i)), qPrintable(texts.at(i)));
        // What could be opened still opens, in the default page window.
        QCOMPARE(opened, 1);
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(f.page()->windowTitle(), f.path("sale.rtf"));
    }
};

QTEST_MAIN(tst_CommandLineOpen)
#include "tst_commandlineopen.moc"
