// Shows in the real main window: saved, quit and opened again; refused when bad with the list
// untouched; asked about before unsaved changes are lost; sent whole with one summary.

#include "windowfixture.h"

#include "loopbacksign.h"
#include "mainstatusbar.h"
#include "programlistpane.h"
#include "showcommands.h"
#include "showplayback.h"
#include "signpreview.h"
#include "signpreviewpane.h"

#include "effecttimeline.h"

#include "getcolor.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QByteArray kTcpSuccess = QByteArray::fromHex("02000088");
const QByteArray kTcpFailure = QByteArray::fromHex("020000EE");

void pickSpeed(WindowFixture &f, int row, const QString &speed)
{
    clickIndex(f.list(), f.row(row));
    pickText(f.box("CobSpeed"), speed);
}

} // namespace

class tst_WindowShows : public QObject
{
    Q_OBJECT

private slots:
    void savedShowOpensTheNextDay()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp");
        QList<QStringList> evening;
        {
            MDIFrmMain &w = f.startWith();
            QCOMPARE(w.windowTitle(), QString("Vantrel V2.0"));
            f.addRows({ "welcome.rtf", "logo.bmp", "welcome.rtf" });
            pickSpeed(f, 2, "7");
            pickText(f.box("CobEffect"), "zoomup");
            evening = w.programList().model()->rows();

            f.dialogs.answers = { f.path("evening") }; // typed without the suffix
            w.menus().saveShow->trigger();
            QVERIFY(QFile::exists(f.path("evening.vshow")));
            QCOMPARE(f.dialogs.requests.last().defaultSuffix, QString("vshow"));
            QCOMPARE(w.windowTitle(), QString("evening.vshow[*] - Vantrel V2.0"));
            QVERIFY(!w.isWindowModified());
            QVERIFY(f.bytes("evening.vshow").contains("[Row2]\nFile Path=logo.bmp\nEffect=9\n"
                                                      "Speed=7\n"));

            // A change marks the title; quitting asks, and Cancel keeps the window open.
            pickSpeed(f, 1, "5");
            QTRY_VERIFY(w.isWindowModified());
            f.prompts.confirmAnswer = false;
            QVERIFY(!w.close());
            QCOMPARE(f.prompts.prompts.last().question, true);
            QVERIFY(f.prompts.texts().last().contains("\"evening.vshow\" has changes"));
            // Saving under the name asks for none.
            const int dialogs = int(f.dialogs.requests.size());
            w.menus().saveShow->trigger();
            QCOMPARE(f.dialogs.requests.size(), dialogs);
            evening = w.programList().model()->rows();
            f.prompts.prompts.clear();
            QVERIFY(w.close());
            QVERIFY(f.prompts.prompts.isEmpty());
        }

        // The next day: the list starts empty, the recent shows name the show, it opens.
        MDIFrmMain &w = f.start();
        QCOMPARE(w.programList().rowCount(), 0);
        QCOMPARE(w.shows().recentShows(), QStringList { f.path("evening.vshow") });
        w.menus().recentShows->popup(QPoint(0, 0));
        QMenu *recent = w.menus().recentShows;
        QTRY_VERIFY(!recent->actions().isEmpty());
        recent->actions().first()->trigger();
        recent->hide();
        QCOMPARE(w.programList().model()->rows(), evening);
        QCOMPARE(w.windowTitle(), QString("evening.vshow[*] - Vantrel V2.0"));
        QVERIFY(!w.isWindowModified());
        // Its first row is current: highlighted and in the selectors.
        QCOMPARE(w.programListPane()->selectedRow(), 1);
        QCOMPARE(f.box("CobSpeed")->currentText(), QString("5"));
    }

    void badShowLeavesTheListAlone()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith();
        f.addRows({ "welcome.rtf" });
        f.dialogs.answers = { f.path("mine.vshow") };
        QVERIFY(w.shows().saveShowAs());
        const QList<QStringList> before = w.programList().model()->rows();

        f.writeFile("bad.vshow",
            "[Show]\nVersion=1\n[Row1]\nFile Path=welcome.rtf\nEffect=0\nSpeed=30\nTimes=0\n"
            "Repeat=1\nEEffect=0\nESpeed=3\nETime=0\nERepeat=1\nTWidth=8\nTHeight=1\n");
        f.prompts.prompts.clear();
        QVERIFY(!w.openShowFile(f.path("bad.vshow")));
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY2(f.prompts.texts().first().contains("Row 1, key \"Speed\""),
            qPrintable(f.prompts.texts().first()));
        QCOMPARE(w.programList().model()->rows(), before);
        QCOMPARE(w.windowTitle(), QString("mine.vshow[*] - Vantrel V2.0"));

        // Unsaved changes are asked about before a show replaces them; Cancel keeps them.
        f.addRows({ "welcome.rtf" });
        f.prompts.confirmAnswer = false;
        f.prompts.prompts.clear();
        f.dialogs.answers = { f.path("mine.vshow") };
        w.menus().openShow->trigger();
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(f.prompts.prompts.first().question);
        QCOMPARE(w.programList().rowCount(), 2);
        f.prompts.confirmAnswer = true;
        QVERIFY(w.openShowFile(f.path("mine.vshow")));
        QCOMPARE(w.programList().model()->rows(), before);
    }

    void sendShowReportsOnce()
    {
        LoopbackSign good;
        LoopbackSign failing;
        QVERIFY(good.listen() && failing.listen());
        good.answerPieces = { kTcpSuccess };
        failing.answerPieces = { kTcpFailure };
        WindowFixture f;
        WindowFixture::Settings s;
        s.screenHeight = 1;
        s.ipStr = QStringLiteral("127.0.0.1,%1,1;127.0.0.1,%2,1").arg(good.port()).arg(failing.port());
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp");
        MDIFrmMain &w = f.startWith(s);
        w.AddFileToListView("welcome.rtf", "8", "1");
        w.AddFileToListView("logo.bmp", "8", "1");

        // Edits typed in the page window are asked about, naming its file; kept, none is sent.
        clickIndex(f.list(), f.row(1));
        QTest::keyClicks(f.canvas(), "typed");
        f.prompts.confirmAnswer = false;
        QTest::mouseClick(f.control<QPushButton>("CmdSendShow"), Qt::LeftButton);
        QCOMPARE(good.packets.size(), 0);
        QVERIFY(f.prompts.texts().first().startsWith("The page \"welcome.rtf\" has changes"));
        QVERIFY(f.page()->document()->toPlainText().contains("typed"));
        f.prompts.confirmAnswer = true;
        f.prompts.prompts.clear();
        // The bar moves with the note: at row 2 of 2 it shows 2 of 2.
        QProgressBar *bar = f.control<QProgressBar>("ProgressBar1");
        QStringList progress;
        connect(bar, &QProgressBar::valueChanged, this,
            [&](int v) { progress << QString::number(v) + w.PicStatusBar()->note(); });
        QTest::mouseClick(f.control<QPushButton>("CmdSendShow"), Qt::LeftButton);
        bar->disconnect(this);
        f.prompts.prompts.removeFirst(); // the question
        QCOMPARE(progress.mid(0, 2),
            QStringList({ "1Sending the show: row 1 of 2.", "2Sending the show: row 2 of 2." }));
        QCOMPARE(bar->maximum(), 2);
        QCOMPARE(good.packets.size(), 3);
        QCOMPARE(quint8(good.packets.at(0).at(4)), quint8(3));
        QCOMPARE(quint8(good.packets.at(1).at(4)), quint8(4));
        QCOMPARE(quint8(good.packets.at(2).at(1)), quint8(0x34));
        QCOMPARE(failing.packets, good.packets);
        QCOMPARE(f.prompts.prompts.size(), 1);
        const QString summary = f.prompts.texts().first();
        const QString bad = QStringLiteral("127.0.0.1:%1").arg(failing.port());
        QVERIFY2(summary.contains("3 of 3 packets"), qPrintable(summary));
        for (const QString &step : { "Row 1", "Row 2", "Effect table" })
            QVERIFY2(summary.contains(step + QStringLiteral(" (") + bad + "): set failed!"),
                qPrintable(summary));
        QVERIFY(!summary.contains(QString::number(good.port())));

        // Speed 8 on row 2 stops the whole send before anything goes out.
        pickSpeed(f, 2, "8");
        f.prompts.prompts.clear();
        w.menus().sendShow->trigger();
        QCOMPARE(good.packets.size(), 3);
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY2(f.prompts.texts().first().contains("Row 2: Speed is 8"),
            qPrintable(f.prompts.texts().first()));
    }

    void previewPlaysTheShow()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        WindowFixture::Settings s;
        s.screenHeight = 1;
        MDIFrmMain &w = f.startWith(s);
        w.AddFileToListView("welcome.rtf", "16", "1");
        w.AddFileToListView("welcome.rtf", "8", "1");
        // The heading names the sign's window, not the row's larger page.
        clickIndex(f.list(), f.row(1));
        w.signPreview()->updateNow();
        QCOMPARE(w.signPreview()->caption(), QString("8 x 1 modules, 128 x 16 LEDs"));
        w.programList().model()->setCell(1, ListColumn::TWidth, "8");
        pickSpeed(f, 2, "8");
        ShowPlayback &play = w.shows().playback();
        QLabel *label = f.control<QLabel>("LblPlaying");

        // Row 2 is current, so it comes first: it cannot be sent, and says so.
        QTest::mouseClick(f.control<QPushButton>("CmdPlay"), Qt::LeftButton);
        QVERIFY(play.isPlaying());
        QVERIFY2(label->text().startsWith("Row 2 of 2: "), qPrintable(label->text()));
        QVERIFY(w.signPreview()->view()->note().contains("Speed 8 builds no control packet"));

        // Then row 1 enters from the right, in the sign's window of 8 x 1 modules.
        play.showAt(EffectTimeline::kRefusedMs + 10 * 20 + 5);
        QVERIFY2(label->text().startsWith("Row 1 of 2: entering with rightleft (speed 3)"),
            qPrintable(label->text()));
        const QImage leds = w.signPreview()->view()->leds();
        QCOMPARE(leds.size(), QSize(128, 16));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 118; ++x)
                QCOMPARE(leds.pixel(x, y) & 0xFFFFFF, 0u); // only 10 columns in yet
        play.showAt(EffectTimeline::kRefusedMs + 128 * 20 + 5);
        QVERIFY(label->text().contains("holding after rightleft (time 0)"));

        // A row removed while it plays leaves the preview at once.
        clickIndex(f.list(), f.row(2));
        QTest::keyClick(f.list(), Qt::Key_Delete);
        QVERIFY(play.isPlaying());
        QVERIFY2(label->text().startsWith("Row 1 of 1: "), qPrintable(label->text()));

        QTest::mouseClick(f.control<QPushButton>("CmdStop"), Qt::LeftButton);
        QVERIFY(!play.isPlaying());
        QVERIFY(label->text().isEmpty());
        QVERIFY(!w.signPreview()->view()->leds().isNull());
    }
};

QTEST_MAIN(tst_WindowShows)
#include "tst_windowshows.moc"
