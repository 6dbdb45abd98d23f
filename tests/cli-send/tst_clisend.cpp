#include "cliprocess.h"
#include "loopbacksign.h"
#include "signprocess.h"
#include "testpages.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kConfirmed = QStringLiteral("Are you sure to Clear the Screen? OK");
const QStringList kTwoRows { "--row", "0,3,0,1,0,3,0,1", "--row", "2,7,1,1,5,2,0,1" };

bool writeBaseSet(const QString &folder, const QString &trance, const QString &commPort,
    const QString &ipStr, const QString &language)
{
    QFile file(folder + QStringLiteral("/BaseSet.ini"));
    const QString text = QStringLiteral("[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\n"
                                        "MaxIPList=10\n\n[TranceSet]\nTrance=%1\nServerIP=\n"
                                        "ServerPort=\nIPStr=%2\nCommPort=%3\n"
                                        "CommSettings=9600,N,8,1\n\n[Language]\nLanguage=%4\n")
                             .arg(trance, ipStr, commPort, language);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
}

} // namespace

class tst_CliSend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exitStatusFollowsTheSend_data();
    void exitStatusFollowsTheSend();
    void signShowsWhatWasSent();
    void sendsOverTheLinkOfBaseSetIni();

private:
    QString tcp() const { return QStringLiteral("127.0.0.1:%1").arg(m_sign.tcpPort()); }

    QTemporaryDir m_out;
    SignProcess m_sign;
    SignProcess m_failing;
    SignProcess m_silent;
    QString m_page;
    QImage m_image;
};

void tst_CliSend::initTestCase()
{
    QVERIFY(m_out.isValid());
    QString error;
    QVERIFY2(m_sign.start({ "--pty", "--out", m_out.path() }, &error), qPrintable(error));
    QVERIFY2(m_failing.start({ "--answer", "fail" }, &error), qPrintable(error));
    QVERIFY2(m_silent.start({ "--answer", "none" }, &error), qPrintable(error));
    m_image = TestPages::randomPage(8 * 16, 16, 31);
    m_page = m_out.filePath(QStringLiteral("page.png"));
    QVERIFY(m_image.save(m_page));
}

void tst_CliSend::exitStatusFollowsTheSend_data()
{
    // Arguments split at spaces. TCP, FAIL and MUTE are signs that answer success, failure and
    // nothing, REFUSED a port nobody listens on, PTY the first sign's terminal, PAGE a page.
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<QString>("err"); // a part of stderr
    QTest::addColumn<QString>("logged"); // a part of the sign's last log line; "" logs nothing

    const QStringList succeed { "set succeed!" };
    const QString rows = kTwoRows.join(' ');
    QTest::newRow("packet over TCP")
        << "packet PAGE --size 8x1 --send --tcp TCP" << 0 << succeed << ""
        << "picture 533 slot 3 success via tcp";
    QTest::newRow("packet over the pty")
        << "packet PAGE --size 8x1 --slot 4 --send --serial PTY --settings 19200,E,8,1" << 0
        << succeed << ""
        << "slot 6 success via pty";
    QTest::newRow("control over TCP") << "control --send --tcp TCP " + rows << 0 << succeed << ""
                                      << "control 100 slot 3,4 success";
    // Several targets: a line per target in list order (address, result, time, why), then
    // the whole send.
    QTest::newRow("a sign answers failure")
        << "clear --send --yes --tcp TCP --tcp FAIL" << 1
        << QStringList { kConfirmed, "TCP\tset succeed!\tT s", "FAIL\tset failed!\tT s",
               "2 targets: 1 succeeded, 1 failed, 0 not reached, 0 no answer, 0 broken off." }
        << ""
        << "clear 19";
    QTest::newRow("mixed targets")
        << "clear --send --yes --tcp MUTE --tcp REFUSED --tcp TCP" << 1
        << QStringList { kConfirmed, "MUTE\tno answer\tT s\tMUTE did not answer within 2 s.",
               "REFUSED\tnot reached\tT s\tREFUSED could not be reached: Connection refused.",
               "TCP\tset succeed!\tT s",
               "3 targets: 1 succeeded, 0 failed, 1 not reached, 1 no answer, 0 broken off." }
        << ""
        << "clear 19";
    QTest::newRow("a refused target alone")
        << "clear --send --yes --tcp REFUSED" << 1
        << QStringList { kConfirmed, "[REFUSED]IP Link Error!" } << "could not be reached"
        << "";
    QTest::newRow("no answer") << "clear --send --yes --tcp MUTE" << 1 << QStringList { kConfirmed }
                               << "did not answer within 2 s"
                               << "";
    QTest::newRow("a missing serial port")
        << "clear --send --yes --serial /dev/vantrel-no-such-port" << 1
        << QStringList { kConfirmed, "Port initialization error,Been used or not exit!",
               "The serial port /dev/vantrel-no-such-port cannot be opened: No such file or "
               "directory." }
        << "cannot be opened"
        << "";
    QTest::newRow("clear not confirmed")
        << "clear --send --tcp TCP" << 2
        << QStringList { "Are you sure to Clear the Screen? Cancel" } << "nothing was sent"
        << "";
    QTest::newRow("page too high")
        << "packet PAGE --size 8x16 --send --tcp TCP" << 2
        << QStringList { "TextHeight is 16, but the sign takes TextHeight from 0 to 15." } << ""
        << "";
    QTest::newRow("page 999 x 999, refused undrawn")
        << "packet PAGE --size 999x999 --send --tcp TCP" << 2
        << QStringList { "TextWidth is 999, but the sign takes TextWidth from 0 to 127." } << ""
        << "";
    QTest::newRow("speed 8")
        << "control --send --tcp TCP --row 0,8,0,1,0,3,0,1" << 2
        << QStringList { "Row 1: Speed is 8, but the sign takes Speed from 0 to 7." } << ""
        << "";
}

void tst_CliSend::exitStatusFollowsTheSend()
{
    QFETCH(QString, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, out);
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
    QCOMPARE(run.outLines().replaceInStrings(QRegularExpression("\t\\d+\\.\\d\\d s"), "\tT s"),
        fill(out));
    QVERIFY2(run.err.contains(err), qPrintable(run.err));
    const QStringList log = SignProcess::packetLog(m_out.path());
    if (logged.isEmpty()) {
        QCOMPARE(log, logBefore);
    } else {
        QCOMPARE(log.size(), logBefore.size() + 1);
        QVERIFY2(log.last().contains(logged), qPrintable(log.last()));
    }
}

void tst_CliSend::signShowsWhatWasSent()
{
    QCOMPARE(runCli({ "packet", m_page, "--size", "8x1", "--send", "--tcp", tcp() }).exitCode, 0);
    QCOMPARE(QImage(m_out.filePath("slot-3.png")).convertToFormat(QImage::Format_RGB32),
        TestPages::expectedLeds(TestPages::thresholded(m_image), 8, 1));
    QCOMPARE(runCli(QStringList { "control", "--send", "--tcp", tcp() } + kTwoRows).exitCode, 0);
    QFile effects(m_out.filePath("effects.txt"));
    QVERIFY(effects.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = effects.readAll().trimmed().split('\n');
    effects.close();
    QCOMPARE(records.size(), 2);
    QVERIFY(records.at(0).startsWith("slot 3 entry effect 1 speed 8"));
    QVERIFY(records.at(1).startsWith("slot 4 entry effect 4 speed 128"));

    QCOMPARE(runCli({ "clear", "--send", "--yes", "--tcp", tcp() }).exitCode, 0);
    QVERIFY(!QFile::exists(m_out.filePath("slot-3.png")));
    QVERIFY(effects.open(QIODevice::ReadOnly));
    QVERIFY(effects.readAll().isEmpty());
}

void tst_CliSend::sendsOverTheLinkOfBaseSetIni()
{
    QTemporaryDir folder;
    QVERIFY(writeBaseSet(folder.path(), "2", "ttyS0",
        QStringLiteral("127.0.0.1,1,0;127.0.0.1,%1,1").arg(m_sign.tcpPort()),
        QStringLiteral("简体中文")));
    CliRun run
        = runCli(QStringList { "control", "--send", "--program-folder", folder.path() } + kTwoRows);
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
    QVERIFY(
        SignProcess::packetLog(m_out.path()).last().contains("picture 533 slot 3 success via pty"));

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

QTEST_GUILESS_MAIN(tst_CliSend)
#include "tst_clisend.moc"
