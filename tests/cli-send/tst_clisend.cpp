#include "cliprocess.h"
#include "loopbacksign.h"
#include "signprocess.h"
#include "testfiles.h"
#include "testpages.h"

#include "messagepage.h"
#include "pagerenderer.h"

#include <QBitmap>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kTwoRows { "--row", "0,3,0,1,0,3,0,1", "--row", "2,7,1,1,5,2,0,1" };

bool writeBaseSet(const QString &folder, const QString &trance, const QString &commPort,
    const QString &ipStr, const QString &language)
{
    const QString text = QStringLiteral("[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\n"
                                        "MaxIPList=10\n\n[TranceSet]\nTrance=%1\nServerIP=\n"
                                        "ServerPort=\nIPStr=%2\nCommPort=%3\n"
                                        "CommSettings=9600,N,8,1\n\n[Language]\nLanguage=%4\n")
                             .arg(trance, ipStr, commPort, language);
    return writeFile(folder + QStringLiteral("/BaseSet.ini"), text.toUtf8());
}

// A one-line page: "FREE " and the rest in green, then `rest` in red.
QByteArray carParkPage(const QByteArray &green, const QByteArray &red)
{
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}"
           "{\\colortbl;\\red0\\green255\\blue0;\\red255\\green0\\blue0;}"
           "\\pard\\f0\\fs24\\cf1 FREE "
        + green + "\\cf2 " + red + "\\par}";
}

} // namespace

class tst_CliSend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_out.isValid());
        QString error;
        QVERIFY2(m_sign.start({ "--pty", "--out", m_out.path() }, &error), qPrintable(error));
        QVERIFY2(m_failing.start({ "--answer", "fail" }, &error), qPrintable(error));
        QVERIFY2(m_silent.start({ "--answer", "none" }, &error), qPrintable(error));
        m_image = TestPages::randomPage(8 * 16, 16, 31);
        m_page = m_out.filePath(QStringLiteral("page.png"));
        QVERIFY(m_image.save(m_page));
        QVERIFY(QDir().mkpath(m_program));
    }

    void exitStatusFollowsTheSend_data()
    {
        // Arguments split at spaces. TCP, FAIL and MUTE are signs that answer success, failure and
        // nothing, REFUSED a port nobody listens on, PTY the first sign's terminal, PAGE a page.
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // its lines, a time as "T s"
        QTest::addColumn<QString>("err"); // a part of stderr
        QTest::addColumn<QString>("logged"); // a part of the sign's last log line; "" logs nothing
        const auto row = [](const char *name, const QString &arguments, int exitCode,
                             const QString &out, const char *err, const char *logged) {
            QTest::newRow(name) << arguments << exitCode << out << QString(err) << QString(logged);
        };

        const QString ok = "set succeed!";
        const QString confirmed = "Are you sure to Clear the Screen? OK\n";
        row("packet over TCP", "packet PAGE --size 8x1 --send --tcp TCP", 0, ok, "",
            "picture 533 slot 3 success via tcp");
        row("packet over the pty",
            "packet PAGE --size 8x1 --slot 4 --send --serial PTY --settings 19200,E,8,1", 0, ok, "",
            "slot 6 success via pty");
        row("control over TCP", "control --send --tcp TCP " + kTwoRows.join(' '), 0, ok, "",
            "control 100 slot 3,4 success");
        // Several targets: a line per target in list order (address, result, time, why), then
        // the whole send.
        row("mixed targets", "clear --send --yes --tcp MUTE --tcp REFUSED --tcp TCP --tcp FAIL", 1,
            confirmed
                + "MUTE\tno answer\tT s\tMUTE did not answer within 2 s.\n"
                  "REFUSED\tnot reached\tT s\tREFUSED could not be reached: Connection "
                  "refused.\nTCP\tset succeed!\tT s\nFAIL\tset failed!\tT s\n"
                  "4 targets: 1 succeeded, 1 failed, 1 not reached, 1 no answer, 0 broken off.",
            "", "clear 19");
        row("a refused target alone", "clear --send --yes --tcp REFUSED", 1,
            confirmed + "[REFUSED]IP Link Error!", "could not be reached", "");
        row("no answer", "clear --send --yes --tcp MUTE", 1, confirmed.trimmed(),
            "did not answer within 2 s", "");
        row("a missing serial port", "clear --send --yes --serial /dev/vantrel-no-such-port", 1,
            confirmed
                + "Port initialization error,Been used or not exit!\nThe serial port "
                  "/dev/vantrel-no-such-port cannot be opened: No such file or directory.",
            "cannot be opened", "");
        row("clear not confirmed", "clear --send --tcp TCP", 2,
            "Are you sure to Clear the Screen? Cancel", "nothing was sent", "");
        row("page 999 x 999, refused undrawn", "packet PAGE --size 999x999 --send --tcp TCP", 2,
            "TextWidth is 999, but the sign takes TextWidth from 0 to 127.", "", "");
        row("speed 8", "control --send --tcp TCP --row 0,8,0,1,0,3,0,1", 2,
            "Row 1: Speed is 8, but the sign takes Speed from 0 to 7.", "", "");
    }

    void exitStatusFollowsTheSend()
    {
        QFETCH(QString, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, logged);
        const QString refused = QStringLiteral("127.0.0.1:%1").arg(refusedPort());
        const auto fill = [&](QStringList texts) {
            texts.replaceInStrings("TCP", tcp());
            texts.replaceInStrings("FAIL", QStringLiteral("127.0.0.1:%1").arg(m_failing.tcpPort()));
            texts.replaceInStrings("MUTE", QStringLiteral("127.0.0.1:%1").arg(m_silent.tcpPort()));
            texts.replaceInStrings("REFUSED", refused);
            texts.replaceInStrings("PTY", m_sign.ptyPath());
            texts.replaceInStrings("PAGE", m_page);
            return texts;
        };
        const QStringList logBefore = SignProcess::packetLog(m_out.path());

        const CliRun run = runCli(fill(arguments.split(' ')));

        QCOMPARE(run.exitCode, exitCode);
        // Times vary from run to run.
        QCOMPARE(run.outLines()
                     .replaceInStrings(QRegularExpression("\t\\d+\\.\\d\\d s"), "\tT s")
                     .join('\n'),
            fill({ out }).first());
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        const QStringList log = SignProcess::packetLog(m_out.path());
        if (logged.isEmpty()) {
            QCOMPARE(log, logBefore);
        } else {
            QCOMPARE(log.size(), logBefore.size() + 1);
            QVERIFY2(log.last().contains(logged), qPrintable(log.last()));
        }
    }

    void signShowsWhatWasSent()
    {
        QCOMPARE(
            runCli({ "packet", m_page, "--size", "8x1", "--send", "--tcp", tcp() }).exitCode, 0);
        QCOMPARE(QImage(m_out.filePath("slot-3.png")).convertToFormat(QImage::Format_RGB32),
            TestPages::expectedLeds(TestPages::thresholded(m_image), 8, 1));
        QCOMPARE(
            runCli(QStringList { "control", "--send", "--tcp", tcp() } + kTwoRows).exitCode, 0);
        const QString effects = m_out.filePath("effects.txt");
        const QList<QByteArray> records = readFile(effects).trimmed().split('\n');
        QCOMPARE(records.size(), 2);
        QVERIFY(records.at(0).startsWith("slot 3 entry effect 1 speed 8"));
        QVERIFY(records.at(1).startsWith("slot 4 entry effect 4 speed 128"));
        QCOMPARE(runCli({ "clear", "--send", "--yes", "--tcp", tcp() }).exitCode, 0);
        QVERIFY(!QFile::exists(m_out.filePath("slot-3.png")));
        QVERIFY(QFile::exists(effects) && readFile(effects).isEmpty());
    }

    void sendsOverTheLinkOfBaseSetIni()
    {
        QTemporaryDir folder;
        QVERIFY(writeBaseSet(folder.path(), "2", "ttyS0",
            QStringLiteral("127.0.0.1,1,0;127.0.0.1,%1,1").arg(m_sign.tcpPort()),
            QStringLiteral("简体中文")));
        CliRun run = runCli(
            QStringList { "control", "--send", "--program-folder", folder.path() } + kTwoRows);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.outLines(), QStringList { QStringLiteral("发送成功!") });

        // A fleet's list runs far past the 1023-byte limit of other keys; every tenth row, up to
        // the last, is ticked and must be reached.
        QStringList fleet;
        for (int i = 1; i <= 1000; ++i)
            fleet << QStringLiteral("127.0.0.1,%1,%2").arg(m_sign.tcpPort()).arg(i % 100 == 0);
        QVERIFY(writeBaseSet(folder.path(), "2", "ttyS0", fleet.join(';'), "English"));
        run = runCli({ "clear", "--send", "--yes", "--program-folder", folder.path() });
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("10 targets: 10 succeeded"), qPrintable(run.out));

        // The serial kinds of the file, found through the environment variable.
        QVERIFY(writeBaseSet(folder.path(), "1", m_sign.ptyPath(), {}, QStringLiteral("English")));
        run = runCli({ "packet", m_page, "--size", "8x1", "--send" }, folder.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(SignProcess::packetLog(m_out.path())
                    .last()
                    .contains("picture 533 slot 3 success via pty"));

        // A list without a ticked row sends nothing, and says so.
        QVERIFY(writeBaseSet(folder.path(), "2", "ttyS0", {}, QStringLiteral("English")));
        run = runCli({ "clear", "--send", "--yes", "--program-folder", folder.path() });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("no target row of IPStr is ticked"), qPrintable(run.err));

        // Without BaseSet.ini there is no link to send with, and none is made.
        QTemporaryDir empty;
        run = runCli({ "clear", "--send", "--yes", "--program-folder", empty.path() });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("BaseSet.ini"), qPrintable(run.err));
        QVERIFY(!QFile::exists(empty.filePath("BaseSet.ini")));
    }

    // Fields and messages: what the program folder fills in, and the say command.
    void valuesSetGetAndRefused()
    {
        QCOMPARE(runCli({ "value", "set", "spaces", "41" }, m_program).exitCode, 0);
        QCOMPARE(
            runCli({ "value", "set", "spaces", "42", "--program-folder", m_program }).exitCode, 0);
        QCOMPARE(runCli({ "value", "get", "spaces" }, m_program).outLines(), QStringList { "42" });
        const CliRun tooLong
            = runCli({ "value", "set", "spaces", QString(1001, QLatin1Char('9')) }, m_program);
        QCOMPARE(tooLong.exitCode, 2);
        QVERIFY2(tooLong.err.contains("at most 1000"), qPrintable(tooLong.err));
        QCOMPARE(runCli({ "value", "set", "a/b", "1" }, m_program).exitCode, 2);
        QCOMPARE(runCli({ "value", "get", "never" }, m_program).exitCode, 2);
        QCOMPARE(runCli({ "value", "set", "spaces" }, m_program).exitCode, 64);
        QCOMPARE(runCli({ "value", "list" }, m_program).outLines(), QStringList { "spaces\t42" });
    }

    void pagesShowTheValuesOfTheProgramFolder()
    {
        QCOMPARE(runCli({ "value", "set", "spaces", "42" }, m_program).exitCode, 0);
        QVERIFY(writeFile(m_program + "/price.txt", "3.50\n"));
        const QString fields = m_out.filePath("fields.rtf");
        const QString typed = m_out.filePath("typed.rtf");
        QVERIFY(writeFile(fields,
            carParkPage("\\{value:spaces\\} ", "\\{file:price.txt\\} \\{file:gone.txt\\}")));
        QVERIFY(writeFile(typed, carParkPage("42 ", "3.50 ?")));
        for (const QString &page : { fields, typed }) {
            const CliRun packet = runCli({ "packet", page, "--size", "8x1", "--program-folder",
                m_program, "--out", page + ".bin" });
            QCOMPARE(packet.exitCode, 0);
            const CliRun render
                = runCli({ "render", page, "--size", "8x1", "--out", page + ".png" }, m_program);
            QCOMPARE(render.exitCode, 0);
            // The missing file is named and shows "?"; the page is still drawn.
            QCOMPARE(render.err.contains("{file:gone.txt}: "), page == fields);
        }
        QVERIFY(!readFile(typed + ".bin").isEmpty());
        QCOMPARE(readFile(fields + ".bin"), readFile(typed + ".bin"));
        QCOMPARE(QImage(fields + ".png"), QImage(typed + ".png"));
        // The page file keeps its fields.
        QVERIFY(readFile(fields).contains("\\{value:spaces\\}"));
    }

    void sayShowsTheMessageAsOneRow()
    {
        const QStringList before = SignProcess::packetLog(m_out.path());
        const CliRun run = runCli(
            { "say", "Doorbell", "--colour", "green", "--size", "8x1", "--tcp", tcp() }, m_program);
        QCOMPARE(run.exitCode, 0);
        const QStringList log = SignProcess::packetLog(m_out.path()).mid(before.size());
        QCOMPARE(log.size(), 2);
        QVERIFY2(log.at(0).contains("picture 533 slot 3 success"), qPrintable(log.at(0)));
        QVERIFY2(log.at(1).contains("control") && log.at(1).contains("slot 3 success"),
            qPrintable(log.at(1)));
        QVERIFY(readFile(m_out.filePath("effects.txt")).startsWith("slot 3 entry effect 5"));
        Page::MessageStyle style;
        style.colour = Page::ledGreen();
        const Page::MessageDrawing drawing = Page::drawMessage("Doorbell", style, 8, 1);
        QVERIFY(drawing.fits);
        const QImage leds
            = Page::signImage(drawing.canvas, 8, 1).image.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(QImage(m_out.filePath("slot-3.png")).convertToFormat(QImage::Format_RGB32), leds);
        // Centred: as many dark columns on either side, but for the letters' side bearings.
        const QRect lit
            = QRegion(QBitmap::fromImage(leds.createMaskFromColor(qRgb(0, 0, 0)))).boundingRect();
        QVERIFY2(qAbs(lit.left() - (7 * 16 - 1 - lit.right())) <= 4,
            qPrintable(QString("%1..%2").arg(lit.left()).arg(lit.right())));
    }

    void sayRefusesWhatItCannotShow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("too wide") << QStringList { "Closing in 10 minutes", "--size", "8x1" } << 2
                                  << "150 LEDs wide at 16 pixels and needs a sign of 11 modules";
        QTest::newRow("shrunk to fit")
            << QStringList { "Closing in 10 minutes", "--size", "8x1", "--shrink" } << 0 << "";
        QTest::newRow("for goes through the agent")
            << QStringList { "Hi", "--for", "60" } << 64 << "on the agent's signs; leave out --tcp";
        QTest::newRow("blue") << QStringList { "Hi", "--colour", "blue" } << 64
                              << "red, green or yellow";
        QTest::newRow("sign too large")
            << QStringList { "Hi", "--size", "200x1" } << 2 << "TextWidth is 200";
    }

    void sayRefusesWhatItCannotShow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const QStringList before = SignProcess::packetLog(m_out.path());
        const CliRun run
            = runCli(QStringList { "say" } + arguments + QStringList { "--tcp", tcp() }, m_program);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(
            SignProcess::packetLog(m_out.path()).size(), before.size() + (exitCode == 0 ? 2 : 0));
    }

private:
    QString tcp() const { return QStringLiteral("127.0.0.1:%1").arg(m_sign.tcpPort()); }

    QTemporaryDir m_out;
    SignProcess m_sign;
    SignProcess m_failing;
    SignProcess m_silent;
    QString m_page;
    QImage m_image;
    const QString m_program = m_out.filePath(QStringLiteral("program")); // values and files
};

QTEST_MAIN(tst_CliSend)
#include "tst_clisend.moc"
