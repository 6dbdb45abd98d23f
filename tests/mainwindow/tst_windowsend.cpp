#include "windowfixture.h"

#include "loopbacksign.h"
#include "sendcontroller.h"
#include "sendresultspane.h"
#include "signpreview.h"
#include "signpreviewpane.h"
#include "signprocess.h"
#include "testpages.h"

#include "basesettings.h"
#include "messages.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <csignal>

namespace {

const QString kSucceeded = QStringLiteral("set succeed!");

// The settings of a window that sends to one target.
WindowFixture::Settings sendingTo(const QString &targetRow)
{
    WindowFixture::Settings s;
    s.screenHeight = 1;
    s.ipStr = targetRow;
    return s;
}

} // namespace

// Sending from the real main window to a sign on loopback.
class tst_WindowSend : public QObject
{
    Q_OBJECT

private:
    static void send(WindowFixture &f, const char *button = "CmdSendChecked")
    {
        QTest::mouseClick(f.control<QPushButton>(button), Qt::LeftButton);
    }

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
        f.writeSettings(sendingTo(sign.targetRow()));
        f.copySample("welcome.rtf");
        f.copySample("logo.bmp");
        MDIFrmMain &w = f.start();
        w.AddFileToListView("welcome.rtf", "8", "1");
        w.AddFileToListView("logo.bmp", "8", "1");

        // A rich-text page: the sign holds exactly what the preview showed.
        clickIndex(f.list(), f.row(1));
        w.signPreview()->updateNow();
        const QImage previewed = w.signPreview()->view()->leds();
        send(f);
        QCOMPARE(f.prompts.texts(), QStringList({ kSucceeded }));
        QCOMPARE(f.control<QLabel>("LblProgressValue")->text(), QString("100%"));
        QCOMPARE(f.control<QProgressBar>("ProgressBar1")->value(), 1);
        QCOMPARE(
            QImage(out.filePath("slot-3.png")).convertToFormat(QImage::Format_RGB32), previewed);

        // A picture page is sent as the picture, not as text.
        clickIndex(f.list(), f.row(2));
        send(f);
        const QImage logo(f.path("logo.bmp"));
        QCOMPARE(QImage(out.filePath("slot-4.png")).convertToFormat(QImage::Format_RGB32),
            TestPages::expectedLeds(logo, 8, 1).convertToFormat(QImage::Format_RGB32));

        // The effect table of both rows, and a cleared sign.
        pickText(f.box("CobEffect"), "zoomup");
        send(f, "CmdSendAll");
        QVERIFY(QFile::exists(out.filePath("effects.txt")));
        w.menus().screenClear->trigger();
        QCOMPARE(f.prompts.texts(),
            QStringList({ kSucceeded, kSucceeded, kSucceeded,
                MsgText(Msg::ConfirmClearScreen, "English"), kSucceeded }));
        QVERIFY(sign.stop(SIGTERM));
    }

    void sendsWithoutARowOnlySaySo_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("said");
        const QString addFile = MsgText(Msg::AddTheFile, "English");
        QTest::newRow("empty list") << 0 << QStringList({ addFile, addFile });
        // Rows, but none clicked: SendChar asks for one.
        QTest::newRow("no row clicked")
            << 1 << QStringList({ MsgText(Msg::SelectOneRow, "English") });
    }
    void sendsWithoutARowOnlySaySo()
    {
        QFETCH(int, rows);
        WindowFixture f;
        MDIFrmMain &w = f.startWith(sendingTo("127.0.0.1,9,0"));
        if (rows)
            w.AddFileToListView("a.rtf", "8", "1");
        send(f);
        if (!rows)
            send(f, "CmdSendAll");
        QTEST(f.prompts.texts(), "said");
        QCOMPARE(f.prompts.prompts.first().icon,
            rows ? PromptIcon::Exclamation : PromptIcon::Information);
        QCOMPARE(f.control<QLabel>("LblProgressValue")->text(), QString("0%"));
    }

    void unsavedEditsAreNotReplacedUnasked()
    {
        LoopbackSign sign;
        QVERIFY(sign.listen());
        sign.answerPieces = { QByteArray("\x02\x00\x00\x88", 4) };
        WindowFixture f;
        f.writeSettings(sendingTo(QStringLiteral("127.0.0.1,%1,1").arg(sign.port())));
        f.copySample("welcome.rtf");
        MDIFrmMain &w = f.start();
        w.AddFileToListView("welcome.rtf", "8", "1");
        clickIndex(f.list(), f.row(1));
        QTest::keyClicks(f.canvas(), "edit");

        // The operator keeps the edits: the send stops and says why.
        f.prompts.confirmAnswer = false;
        send(f);
        QCOMPARE(f.prompts.prompts.size(), 2);
        QVERIFY(f.prompts.prompts.at(0).question);
        QVERIFY(f.prompts.texts().at(1).contains("not sent"));
        QCOMPARE(sign.connections, 0);
        QVERIFY(f.page()->document()->toPlainText().contains("edit"));

        f.prompts.confirmAnswer = true;
        send(f);
        QCOMPARE(f.prompts.texts().last(), kSucceeded);
        QCOMPARE(f.page()->document()->toPlainText(), QString("Welcome!"));
    }

    void secondSendIsRefusedWhileOneRuns()
    {
        LoopbackSign sign;
        QVERIFY(sign.listen());
        sign.answerPieces = { QByteArray("\x02\x00\x00\x88", 4) };
        WindowFixture f;
        MDIFrmMain &w = f.startWith(sendingTo(QStringLiteral("127.0.0.1,%1,1").arg(sign.port())));
        w.AddFileToListView("a.rtf", "8", "1");
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
        send(f, "CmdSendAll");
        QVERIFY(checked);
        QCOMPARE(second, JobStatus::Busy);
        QCOMPARE(sign.connections, 1);
        QCOMPARE(sign.packets.size(), 1);
        QCOMPARE(f.prompts.texts(), QStringList({ kSucceeded }));
        QVERIFY(controlsOn(true));
    }

    void fleetShowsALinePerSignAndRetriesTheFailed()
    {
        const QByteArray success("\x02\x00\x00\x88", 4);
        LoopbackSign first;
        LoopbackSign failing;
        LoopbackSign last;
        QVERIFY(first.listen() && failing.listen() && last.listen());
        first.answerPieces = last.answerPieces = { success };
        failing.answerPieces = { QByteArray("\x02\x00\x00\xEE", 4) };
        failing.answerDelay = std::chrono::milliseconds(100); // the last to end
        const QString refused = QString::number(refusedPort());
        const QString row = QStringLiteral("127.0.0.1,%1,1");
        WindowFixture f;
        MDIFrmMain &w = f.startWith(sendingTo(QStringList {
            row.arg(first.port()), row.arg(failing.port()), row.arg(refused), row.arg(last.port()) }
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
            return texts;
        };

        send(f, "CmdSendAll");

        QVERIFY(pane->isVisible());
        QCOMPARE(progress, QList({ 1, 2, 3, 4 }));
        QCOMPARE(pane->ProgressSendResults()->maximum(), 4);
        QCOMPARE(column(SendResultsPane::TargetColumn),
            QStringList({ "127.0.0.1:" + QString::number(first.port()),
                "127.0.0.1:" + QString::number(failing.port()), "127.0.0.1:" + refused,
                "127.0.0.1:" + QString::number(last.port()) }));
        QCOMPARE(column(SendResultsPane::ResultColumn),
            QStringList({ "set succeed!", "set failed!", "not reached", "set succeed!" }));
        for (const QString &time : column(SendResultsPane::TimeColumn))
            QVERIFY2(time.endsWith(" s"), qPrintable(time));
        const QString summary
            = "4 targets: 2 succeeded, 1 failed, 1 not reached, 0 no answer, 0 broken off.";
        QCOMPARE(f.prompts.texts(), QStringList { summary }); // one prompt, not one per sign
        QCOMPARE(pane->LblSendSummary()->text(), summary);

        // "Retry failed" sends the same packet again, to the failed and the unreached only.
        failing.answerPieces = { success };
        progress.clear();
        QVERIFY(pane->CmdRetryFailed()->isEnabled());
        pane->CmdRetryFailed()->click();

        QCOMPARE(first.connections, 1);
        QCOMPARE(last.connections, 1);
        QCOMPARE(failing.packets.size(), 2);
        QCOMPARE(failing.packets.at(1), failing.packets.at(0));
        QCOMPARE(progress, QList({ 1, 2 }));
        QCOMPARE(pane->ProgressSendResults()->maximum(), 2);
        QCOMPARE(column(SendResultsPane::ResultColumn),
            QStringList({ "set succeed!", "set succeed!", "not reached", "set succeed!" }));
        QCOMPARE(f.prompts.texts(),
            QStringList({ summary,
                "4 targets: 3 succeeded, 0 failed, 1 not reached, 0 no answer, 0 broken off." }));
        QCOMPARE(w.sends().failedRows(), QList { 2 });
        QVERIFY(pane->CmdRetryFailed()->isEnabled());

        // Settings accepted with the same targets keep that retry; a later send to one sign
        // ends it: the old packet never goes to signs no longer ticked.
        w.applyScreenSettings(8, 1, 2);
        QVERIFY(pane->CmdRetryFailed()->isEnabled());
        baseSettings().IpStr = row.arg(last.port());
        send(f, "CmdSendAll");
        QVERIFY(!pane->CmdRetryFailed()->isEnabled());
        QCOMPARE(w.sends().retryFailed().status, JobStatus::NothingToSend);
        QCOMPARE(last.connections, 2);
        QCOMPARE(failing.packets.size(), 2);
    }
};

QTEST_MAIN(tst_WindowSend)
#include "tst_windowsend.moc"
