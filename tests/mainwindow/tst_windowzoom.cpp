// The zoom box and the picture box of the real main window: a new window starts at the last
// zoom chosen, both choices survive a restart in BaseSet.ini's own section, and pictures
// placed through the window come in the chosen LED colours.

#include "windowfixture.h"

#include "ledpicture.h"
#include "mainstatusbar.h"
#include "pagefilecommands.h"
#include "pagezoom.h"

#include "classinifile.h"

#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextImageFormat>

namespace {

QString iniValue(const WindowFixture &f, const QString &section, const QString &key)
{
    classIniFile ini;
    ini.setINIFileName(f.path("BaseSet.ini"));
    return ini.GetIniKey(section, key);
}

QImage firstPicture(QTextDocument *document)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return document
                        ->resource(QTextDocument::ImageResource,
                                   QUrl(it.fragment().charFormat().toImageFormat().name()))
                        .value<QImage>();
    return QImage();
}

} // namespace

class tst_WindowZoom : public QObject
{
    Q_OBJECT

private slots:
    void zoomIsRememberedAcrossARestart()
    {
        WindowFixture f;
        WindowSettings settings;
        settings.zoom.clear(); // first start: no [EditorSet] yet
        settings.screenHeight = 1;
        MDIFrmMain &w = f.startWith(settings);
        QComboBox *zoom = f.box("CboZoom");
        QVERIFY(zoom);
        QCOMPARE(f.page()->zoom(), PageZoom::kFit);
        QCOMPARE(zoom->currentIndex(), 0);
        QVERIFY(f.page()->zoomFactor() > 1); // an 8 x 1 page is shown larger than 1:1
        QVERIFY(f.canvas()->geometry().bottom() < f.page()->HScroll1()->y()); // no row hidden

        pickText(zoom, "300%");
        QCOMPARE(f.page()->zoom(), 3);
        QCOMPARE(f.canvas()->size(), QSize(130, 18) * 3);
        QCOMPARE(iniValue(f, "EditorSet", "Zoom"), QString("300"));
        // The other sections are as they were.
        QCOMPARE(iniValue(f, "ScreenSet", "ScreenWidth"), QString("8"));

        // A page window opened now starts at 300% too; the box follows the active window.
        f.dialogs.answers = { f.path("n.txt") };
        f.writeFile("n.txt", "new");
        w.pageCommands().OpenPageFileInNewWindow();
        frmDocument *second = w.activeDocument();
        QVERIFY(second && second != f.page());
        QCOMPARE(second->zoom(), 3);
        second->zoomBy(2);
        QCOMPARE(zoom->currentText(), QString("500%"));
        QCOMPARE(iniValue(f, "EditorSet", "Zoom"), QString("500"));
        w.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(f.page()->parentWidget()));
        QCOMPARE(zoom->currentText(), QString("300%"));
        QCOMPARE(f.page()->zoom(), 3);

        // Restarted, the window starts at the last zoom chosen.
        f.window().close();
        f.start();
        QCOMPARE(f.page()->zoom(), 5);
        QCOMPARE(f.box("CboZoom")->currentText(), QString("500%"));
        pickText(f.box("CboZoom"), "Fit");
        QCOMPARE(iniValue(f, "EditorSet", "Zoom"), QString("Fit"));
    }

    void unusableStoredChoicesFallBack()
    {
        WindowFixture f;
        WindowSettings settings;
        settings.zoom = "250";
        MDIFrmMain &w = f.startWith(settings);
        QCOMPARE(f.page()->zoom(), PageZoom::kFit);
        QVERIFY2(w.PicStatusBar()->note().contains("Zoom=250"),
                 qPrintable(w.PicStatusBar()->note()));
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
        QCOMPARE(iniValue(f, "EditorSet", "Pictures"), QString("Dither"));
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
};

QTEST_MAIN(tst_WindowZoom)
#include "tst_windowzoom.moc"
