#include "windowfixture.h"

#include "loopbacksign.h"
#include "sendcontroller.h"
#include "signpreview.h"
#include "signpreviewpane.h"
#include "signprocess.h"
#include "testpages.h"

#include "messages.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

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
};

QTEST_MAIN(tst_WindowSend)
#include "tst_windowsend.moc"
