// Sending from the real main window to signs on loopback, and shows: saved, quit and opened
// again; refused when bad with the list untouched; asked about before unsaved changes are
// lost; sent whole with one summary; played in the preview.

#include "windowfixture.h"

#include "basesettings.h"
#include "effecttimeline.h"
#include "loopbacksign.h"
#include "mainstatusbar.h"
#include "messages.h"
#include "programlistpane.h"
#include "sendcontroller.h"
#include "sendresultspane.h"
#include "showcommands.h"
#include "showplayback.h"
#include "signpreview.h"
#include "signpreviewpane.h"
#include "signprocess.h"
#include "testpages.h"

#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTableWidget>
#include <csignal>

namespace {

const QString kSucceeded = QStringLiteral("set succeed!");
const QByteArray kTcpSuccess = QByteArray::fromHex("02000088");
const QByteArray kTcpFailure = QByteArray::fromHex("020000EE");

QString targetOf(const LoopbackSign &sign)
{
    return QStringLiteral("127.0.0.1,%1,1").arg(sign.port());
}

void pickSpeed(WindowFixture &f, int row, const QString &speed)
{
    clickIndex(f.list(), f.row(row));
    pickText(f.box("CobSpeed"), speed);
}

} // namespace

class tst_WindowSend : public QObject
{
    Q_OBJECT

private slots:
    void pagesAndTableReachTheSign()
    {
        if (!QFile::exists(SignProcess::executable()))
            QSKIP("vantrel-sign is not built");
        QTemporaryDir out;
        SignProcess sign;
        QString error;
        QVERIFY2(sign.start({ "--out", out.path() }, &error), qPrintable(error));
        WindowFixture f;
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp");
        MDIFrmMain &w = f.startWith(WindowSettings::sendingTo(sign.targetRow()));
        w.AddFileToListView("welcome.rtf", "8", "1");
        w.AddFileToListView("logo.bmp", "8", "1");
        // A picture page is sent as the picture, not as text. (A rich-text page against the
        // preview: tst_windowfields.)
        clickIndex(f.list(), f.row(2));
        f.press("CmdSendChecked");
        QCOMPARE(f.control<QLabel>("LblProgressValue")->text(), QString("100%"));
        const QImage logo(f.path("logo.bmp"));
        QCOMPARE(QImage(out.filePath("slot-4.png")).convertToFormat(QImage::Format_RGB32),
            TestPages::expectedLeds(logo, 8, 1).convertToFormat(QImage::Format_RGB32));
        // The effect table of both rows, and a cleared sign.
        pickText(f.box("CobEffect"), "zoomup");
        f.press("CmdSendAll");
        QVERIFY(QFile::exists(out.filePath("effects.txt")));
        w.menus().screenClear->trigger();
        QCOMPARE(f.prompts.texts(),
            QStringList({ kSucceeded, kSucceeded, MsgText(Msg::ConfirmClearScreen, "English"),
                kSucceeded }));
        QVERIFY(sign.stop(SIGTERM));
    }

    // An empty list asks for a file (SendChar's side: tst_windowlanguage); rows, but none
    // clicked, make SendChar ask for one.
    void sendsWithoutARowOnlySaySo()
    {
        WindowFixture f;
        MDIFrmMain &w = f.startWith(WindowSettings::sendingTo("127.0.0.1,9,0"));
        f.press("CmdSendAll");
        w.AddFileToListView("a.rtf", "8", "1");
        f.press("CmdSendChecked");
        QCOMPARE(f.prompts.texts(),
            QStringList(
                { MsgText(Msg::AddTheFile, "English"), MsgText(Msg::SelectOneRow, "English") }));
        QCOMPARE(f.prompts.prompts.at(0).icon, PromptIcon::Information);
        QCOMPARE(f.prompts.prompts.at(1).icon, PromptIcon::Exclamation);
        QCOMPARE(f.control<QLabel>("LblProgressValue")->text(), QString("0%"));
    }

    void sendCharAsksAboutEditsAndRunsAlone()
    {
        LoopbackSign sign;
        QVERIFY(sign.listen());
        sign.answerPieces = { kTcpSuccess };
        WindowFixture f;
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.startWith(WindowSettings::sendingTo(targetOf(sign)));
        w.AddFileToListView("welcome.rtf", "8", "1");
        clickIndex(f.list(), f.row(1));
        QTest::keyClicks(f.canvas(), "edit");
        // The operator keeps the edits: the send stops and says why.
        f.prompts.confirmAnswer = false;
        f.press("CmdSendChecked");
        QCOMPARE(f.prompts.prompts.size(), 2);
        QVERIFY(f.prompts.prompts.at(0).question);
        QVERIFY(f.prompts.texts().at(1).contains("not sent"));
        QCOMPARE(sign.connections, 0);
        QVERIFY(f.page()->document()->toPlainText().contains("edit"));
        f.prompts.confirmAnswer = true;
        f.press("CmdSendChecked");
        QCOMPARE(f.prompts.texts().last(), kSucceeded);
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
        const auto controlsOn = [&](bool on) {
            return f.control<QPushButton>("CmdSendChecked")->isEnabled() == on
                && f.control<QPushButton>("CmdSendAll")->isEnabled() == on
                && w.menus().screenClear->isEnabled() == on;
        };
        bool checked = false;
        JobStatus second = JobStatus::Sent;
        sign.onConnection = [&] {
            // Inside the first send's wait for the sign: its controls are off and a second
            // send, however started, does nothing.
            checked = true;
            QVERIFY(w.sends().sending() && controlsOn(false));
            second = w.sends().sendControlTable(w.programList()).status;
            w.sendPicture();
            w.clearScreen();
        };
        f.prompts.prompts.clear();
        f.press("CmdSendAll");
        QVERIFY(checked);
        QCOMPARE(second, JobStatus::Busy);
        QCOMPARE(sign.connections, 2);
        QCOMPARE(sign.packets.size(), 2);
        QCOMPARE(f.prompts.texts(), QStringList({ kSucceeded }));
        QVERIFY(controlsOn(true));
    }

    void fleetShowsALinePerSignAndRetriesTheFailed()
    {
        LoopbackSign first, failing, last;
        QVERIFY(first.listen() && failing.listen() && last.listen());
        first.answerPieces = last.answerPieces = { kTcpSuccess };
        failing.answerPieces = { kTcpFailure };
        failing.answerDelay = std::chrono::milliseconds(100); // the last to end
        const QString refused = QString::number(refusedPort());
        WindowFixture f;
        MDIFrmMain &w = f.startWith(WindowSettings::sendingTo(QStringList {
            targetOf(first), targetOf(failing), "127.0.0.1," + refused + ",1", targetOf(last) }
                                                                  .join(';')));
        w.AddFileToListView("a.rtf", "8", "1");
        SendResultsPane *pane = w.sendResults();
        QTableWidget *table = pane->ListSendResults();
        QList<int> progress; // the bar as each sign ends
        connect(&w.sends(), &SendController::fleetTargetFinished, this,
            [&] { progress.append(pane->ProgressSendResults()->value()); });
        const auto column = [&](int c) {
            QStringList texts;
            for (int r = 0; r < table->rowCount(); ++r)
                texts.append(table->item(r, c)->text());
            return texts.join(',');
        };
        f.press("CmdSendAll");
        QVERIFY(pane->isVisible());
        QCOMPARE(progress, QList({ 1, 2, 3, 4 }));
        QCOMPARE(column(SendResultsPane::TargetColumn),
            QStringList({ "127.0.0.1:" + QString::number(first.port()),
                            "127.0.0.1:" + QString::number(failing.port()), "127.0.0.1:" + refused,
                            "127.0.0.1:" + QString::number(last.port()) })
                .join(','));
        QCOMPARE(column(SendResultsPane::ResultColumn),
            "set succeed!,set failed!,not reached,set succeed!");
        const QString summary
            = "4 targets: 2 succeeded, 1 failed, 1 not reached, 0 no answer, 0 broken off.";
        QCOMPARE(f.prompts.texts(), QStringList { summary }); // one prompt, not one per sign
        QCOMPARE(pane->LblSendSummary()->text(), summary);
        // "Retry failed" sends the same packet again, to the failed and the unreached only.
        failing.answerPieces = { kTcpSuccess };
        progress.clear();
        QVERIFY(pane->CmdRetryFailed()->isEnabled());
        pane->CmdRetryFailed()->click();
        QCOMPARE(first.connections, 1);
        QCOMPARE(last.connections, 1);
        QCOMPARE(failing.packets.size(), 2);
        QCOMPARE(progress, QList({ 1, 2 }));
        QCOMPARE(column(SendResultsPane::ResultColumn),
            "set succeed!,set succeed!,not reached,set succeed!");
        QCOMPARE(f.prompts.texts(),
            QStringList({ summary,
                "4 targets: 3 succeeded, 0 failed, 1 not reached, 0 no answer, 0 broken off." }));
        QCOMPARE(w.sends().failedRows(), QList { 2 });
        QVERIFY(pane->CmdRetryFailed()->isEnabled());
        // Settings accepted with the same targets keep that retry; a later send to one sign
        // ends it: the old packet never goes to signs no longer ticked.
        w.applyScreenSettings(8, 1, 2);
        QVERIFY(pane->CmdRetryFailed()->isEnabled());
        baseSettings().IpStr = targetOf(last);
        f.press("CmdSendAll");
        QVERIFY(!pane->CmdRetryFailed()->isEnabled());
        QCOMPARE(w.sends().retryFailed().status, JobStatus::NothingToSend);
        QCOMPARE(last.connections, 2);
        QCOMPARE(failing.packets.size(), 2);
        // A fleet whose every sign succeeded leaves nothing to retry.
        baseSettings().IpStr = targetOf(first) + ';' + targetOf(last);
        f.press("CmdSendAll");
        QCOMPARE(column(SendResultsPane::ResultColumn), "set succeed!,set succeed!");
        QVERIFY(!pane->CmdRetryFailed()->isEnabled());
    }

    // Saved, quit and opened again; a bad show or unsaved changes leave the list alone.
    void savedShowOpensTheNextDay()
    {
        WindowFixture f;
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp");
        QList<QStringList> evening;
        {
            MDIFrmMain &w = f.startWith();
            f.addRows({ "welcome.rtf", "logo.bmp", "welcome.rtf" });
            pickSpeed(f, 2, "7");
            pickText(f.box("CobEffect"), "zoomup");
            evening = w.programList().model()->rows();
            f.dialogs.answers = { f.path("evening") }; // typed without the suffix
            w.menus().saveShow->trigger();
            QVERIFY(QFile::exists(f.path("evening.vshow")));
            QCOMPARE(w.windowTitle(), QString("evening.vshow[*] - Vantrel V2.0"));
            QVERIFY(!w.isWindowModified());
            QVERIFY(f.bytes("evening.vshow")
                        .contains("[Row2]\nFile Path=logo.bmp\nEffect=9\n"
                                  "Speed=7\n"));
            // A change marks the title; quitting asks, and Cancel keeps the window open.
            pickSpeed(f, 1, "5");
            QTRY_VERIFY(w.isWindowModified());
            f.prompts.confirmAnswer = false;
            QVERIFY(!w.close());
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
        // A bad show is refused with the reason and leaves the list alone.
        f.writeFile("bad.vshow",
            "[Show]\nVersion=1\n[Row1]\nFile Path=welcome.rtf\nEffect=0\nSpeed=30\nTimes=0\n"
            "Repeat=1\nEEffect=0\nESpeed=3\nETime=0\nERepeat=1\nTWidth=8\nTHeight=1\n");
        QVERIFY(!w.openShowFile(f.path("bad.vshow")));
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY2(f.prompts.texts().first().contains("Row 1, key \"Speed\""),
            qPrintable(f.prompts.texts().first()));
        QCOMPARE(w.programList().model()->rows(), evening);
        // Unsaved changes are asked about before a show replaces them; Cancel keeps them.
        f.addRows({ "welcome.rtf" });
        f.prompts.confirmAnswer = false;
        f.prompts.prompts.clear();
        f.dialogs.answers = { f.path("evening.vshow") };
        w.menus().openShow->trigger();
        QCOMPARE(f.prompts.prompts.size(), 1);
        QVERIFY(f.prompts.prompts.first().question);
        QCOMPARE(w.programList().rowCount(), 4);
        f.prompts.confirmAnswer = true;
        QVERIFY(w.openShowFile(f.path("evening.vshow")));
        QCOMPARE(w.programList().model()->rows(), evening);
    }

    void sendShowReportsOnce()
    {
        LoopbackSign good, failing;
        QVERIFY(good.listen() && failing.listen());
        good.answerPieces = { kTcpSuccess };
        failing.answerPieces = { kTcpFailure };
        WindowFixture f;
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp");
        MDIFrmMain &w
            = f.startWith(WindowSettings::sendingTo(targetOf(good) + ';' + targetOf(failing)));
        w.AddFileToListView("welcome.rtf", "8", "1");
        w.AddFileToListView("logo.bmp", "8", "1");
        // Edits typed in the page window are asked about, naming its file; kept, none is sent.
        clickIndex(f.list(), f.row(1));
        QTest::keyClicks(f.canvas(), "typed");
        f.prompts.confirmAnswer = false;
        f.press("CmdSendShow");
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
        f.press("CmdSendShow");
        bar->disconnect(this);
        f.prompts.prompts.removeFirst(); // the question
        QCOMPARE(progress.mid(0, 2),
            QStringList({ "1Sending the show: row 1 of 2.", "2Sending the show: row 2 of 2." }));
        QCOMPARE(bar->maximum(), 2);
        QCOMPARE(good.packets.size(), 3);
        QCOMPARE(quint8(good.packets.at(2).at(1)), quint8(0x34)); // the effect table last
        QCOMPARE(failing.packets, good.packets);
        QCOMPARE(f.prompts.prompts.size(), 1);
        const QString summary = f.prompts.texts().first();
        const QString bad = QStringLiteral("127.0.0.1:%1").arg(failing.port());
        QVERIFY2(summary.contains("3 of 3 packets"), qPrintable(summary));
        for (const char *step : { "Row 1", "Row 2", "Effect table" })
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
        MDIFrmMain &w = f.startWith(WindowSettings::sendingTo("127.0.0.1,9,0"));
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
        f.press("CmdPlay");
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
        f.press("CmdStop");
        QVERIFY(!play.isPlaying() && label->text().isEmpty());
    }
};

QTEST_MAIN(tst_WindowSend)
#include "tst_windowsend.moc"
