#include "loopbacksign.h"
#include "signprocess.h"
#include "testpages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kRunWaitMs = 30000;

struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList &arguments, const QString &programFolderVariable = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("VANTREL_PROGRAM_FOLDER"));
    if (!programFolderVariable.isEmpty())
        env.insert(QStringLiteral("VANTREL_PROGRAM_FOLDER"), programFolderVariable);
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(VANTREL_CLI_PATH), arguments);
    CliRun run;
    if (!process.waitForFinished(kRunWaitMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList logLines(const QString &folder)
{
    QFile log(folder + QStringLiteral("/packets.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool writeBaseSet(const QString &folder, const QString &trance, const QString &commPort,
    const QString &ipStr, const QString &language)
{
    QFile file(folder + QStringLiteral("/BaseSet.ini"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QString text = QStringLiteral("[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\n"
                                        "MaxIPList=10\n\n[TranceSet]\nTrance=%1\nServerIP=\n"
                                        "ServerPort=\nIPStr=%2\nCommPort=%3\n"
                                        "CommSettings=9600,N,8,1\n\n[Language]\nLanguage=%4\n")
                             .arg(trance, ipStr, commPort, language);
    return file.write(text.toUtf8()) > 0;
}

const QStringList kTwoRows { "--row", "0,3,0,1,0,3,0,1", "--row", "2,7,1,1,5,2,0,1" };

} // namespace

class tst_CliSend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void packetReachesTheSignOverTcpAndPty();
    void exitStatusFollowsTheAnswers();
    void controlAndClearOverTcp();
    void clearIsNotSentWithoutConfirmation();
    void sendsOverTheLinkOfBaseSetIni();
    void nothingBuiltExitsWith2();
    void usageErrors_data();
    void usageErrors();

private:
    QTemporaryDir m_out;
    SignProcess m_sign;
    QString m_page;
    QImage m_image;
};

void tst_CliSend::initTestCase()
{
    QVERIFY(m_out.isValid());
    QString error;
    QVERIFY2(m_sign.start({ "--pty", "--out", m_out.path() }, &error), qPrintable(error));
    m_image = TestPages::randomPage(8 * 16, 16, 31);
    m_page = m_out.filePath(QStringLiteral("page.png"));
    QVERIFY(m_image.save(m_page));
}

void tst_CliSend::packetReachesTheSignOverTcpAndPty()
{
    const QString tcp = QStringLiteral("127.0.0.1:%1").arg(m_sign.tcpPort());
    CliRun run = runCli({ "packet", m_page, "--size", "8x1", "--send", "--tcp", tcp });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(lines(run.out), QStringList { "set succeed!" });
    QCOMPARE(QImage(m_out.filePath("slot-3.png")).convertToFormat(QImage::Format_RGB32),
        TestPages::expectedLeds(m_image, 8, 1));

    run = runCli({ "packet", m_page, "--size", "8x1", "--slot", "4", "--send", "--serial",
        m_sign.ptyPath(), "--settings", "19200,E,8,1" });
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(lines(run.out), QStringList { "set succeed!" });
    QCOMPARE(QImage(m_out.filePath("slot-6.png")).convertToFormat(QImage::Format_RGB32),
        TestPages::expectedLeds(m_image, 8, 1));
    QVERIFY(logLines(m_out.path()).last().contains(QLatin1String("slot 6 success via pty")));
}

void tst_CliSend::exitStatusFollowsTheAnswers()
{
    SignProcess failing;
    SignProcess silent;
    QString error;
    QVERIFY2(failing.start({ "--answer", "fail" }, &error), qPrintable(error));
    QVERIFY2(silent.start({ "--answer", "none" }, &error), qPrintable(error));
    const QString good = QStringLiteral("127.0.0.1:%1").arg(m_sign.tcpPort());
    const QString bad = QStringLiteral("127.0.0.1:%1").arg(failing.tcpPort());
    const QString mute = QStringLiteral("127.0.0.1:%1").arg(silent.tcpPort());
    const QString closed = QStringLiteral("127.0.0.1:%1").arg(refusedPort());

    CliRun run = runCli({ "clear", "--send", "--yes", "--tcp", good, "--tcp", bad });
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(lines(run.out),
        QStringList({ "Are you sure to Clear the Screen? OK", "set succeed!", "set failed!" }));

    run = runCli({ "clear", "--send", "--yes", "--tcp", good, "--tcp", closed });
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(lines(run.out).last(), QStringLiteral("[%1]IP Link Error!").arg(closed));
    QVERIFY2(run.err.contains(QLatin1String("could not be reached")), qPrintable(run.err));

    run = runCli({ "clear", "--send", "--yes", "--tcp", mute });
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(lines(run.out), QStringList { "Are you sure to Clear the Screen? OK" });
    QVERIFY2(run.err.contains(QLatin1String("did not answer within 2 s")), qPrintable(run.err));

    run = runCli({ "clear", "--send", "--yes", "--serial", "/dev/vantrel-no-such-port" });
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(QLatin1String("Port initialization error,Been used or not exit!")),
        qPrintable(run.out));
}

void tst_CliSend::controlAndClearOverTcp()
{
    const QString tcp = QStringLiteral("127.0.0.1:%1").arg(m_sign.tcpPort());
    CliRun run = runCli(QStringList { "control", "--send", "--tcp", tcp } + kTwoRows);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(lines(run.out), QStringList { "set succeed!" });
    QFile effects(m_out.filePath("effects.txt"));
    QVERIFY(effects.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = effects.readAll().trimmed().split('\n');
    QCOMPARE(records.size(), 2);
    QVERIFY(records.at(0).startsWith("slot 3 entry effect 1 speed 8"));
    QVERIFY(records.at(1).startsWith("slot 4 entry effect 4 speed 128"));

    run = runCli({ "packet", m_page, "--size", "8x1", "--send", "--tcp", tcp });
    QCOMPARE(run.exitCode, 0);
    QVERIFY(QFile::exists(m_out.filePath("slot-3.png")));
    run = runCli({ "clear", "--send", "--yes", "--tcp", tcp });
    QCOMPARE(run.exitCode, 0);
    QVERIFY(logLines(m_out.path()).last().contains(QLatin1String(" clear 19 slot - success")));
    QVERIFY(!QFile::exists(m_out.filePath("slot-3.png")));
    effects.close();
    QVERIFY(effects.open(QIODevice::ReadOnly));
    QVERIFY(effects.readAll().isEmpty());
}

void tst_CliSend::clearIsNotSentWithoutConfirmation()
{
    const int before = int(logLines(m_out.path()).size());
    const CliRun run = runCli(
        { "clear", "--send", "--tcp", QStringLiteral("127.0.0.1:%1").arg(m_sign.tcpPort()) });
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(lines(run.out), QStringList { "Are you sure to Clear the Screen? Cancel" });
    QVERIFY(run.err.contains(QLatin1String("nothing was sent")));
    QCOMPARE(int(logLines(m_out.path()).size()), before);
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
    QCOMPARE(lines(run.out), QStringList { QStringLiteral("发送成功!") });

    // The serial kinds of the file, found through the environment variable.
    QVERIFY(
        writeBaseSet(folder.path(), "1", m_sign.ptyPath(), QString(), QStringLiteral("English")));
    run = runCli({ "packet", m_page, "--size", "8x1", "--send" }, folder.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(lines(run.out), QStringList { "set succeed!" });
    QVERIFY(logLines(m_out.path())
                .last()
                .contains(QLatin1String("picture 533 slot 3 success via pty")));

    // A ticked list that is empty sends nothing, and says so.
    QVERIFY(writeBaseSet(folder.path(), "2", "ttyS0", QString(), QStringLiteral("English")));
    run = runCli({ "clear", "--send", "--yes", "--program-folder", folder.path() });
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(
        run.err.contains(QLatin1String("no target row of IPStr is ticked")), qPrintable(run.err));

    QVERIFY(writeBaseSet(folder.path(), "7", "ttyS0", QString(), QStringLiteral("English")));
    run = runCli({ "clear", "--send", "--yes", "--program-folder", folder.path() });
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(
        run.err.contains(QLatin1String("link kind 7 (None) sends nothing")), qPrintable(run.err));

    // Without BaseSet.ini there is no link to send with.
    QTemporaryDir empty;
    run = runCli({ "clear", "--send", "--yes", "--program-folder", empty.path() });
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QLatin1String("BaseSet.ini")), qPrintable(run.err));
    QVERIFY(!QFile::exists(empty.filePath("BaseSet.ini"))); // and none was made
}

void tst_CliSend::nothingBuiltExitsWith2()
{
    const QString tcp = QStringLiteral("127.0.0.1:%1").arg(m_sign.tcpPort());
    const int before = int(logLines(m_out.path()).size());
    CliRun run = runCli({ "packet", m_page, "--size", "8x16", "--send", "--tcp", tcp });
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(lines(run.out),
        QStringList { "TextHeight is 16, but the sign takes TextHeight from 0 to 15." });
    run = runCli(
        { "packet", m_out.filePath("missing.png"), "--size", "8x1", "--send", "--tcp", tcp });
    QCOMPARE(run.exitCode, 2);
    run = runCli({ "control", "--send", "--tcp", tcp, "--row", "0,8,0,1,0,3,0,1" });
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(
        lines(run.out), QStringList { "Row 1: Speed is 8, but the sign takes Speed from 0 to 7." });
    QCOMPARE(int(logLines(m_out.path()).size()), before);
}

void tst_CliSend::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("out and send") << QStringList { "clear", "--out", "x", "--send" }
                                  << "clear needs either --out FILE or --send";
    QTest::newRow("tcp without send")
        << QStringList { "clear", "--out", "x", "--tcp", "a:1" } << "go with --send";
    QTest::newRow("tcp and serial") << QStringList { "clear", "--send", "--tcp", "a:1", "--serial",
        "ttyS0" } << "either --tcp or --serial";
    QTest::newRow("tcp without port")
        << QStringList { "clear", "--send", "--tcp", "127.0.0.1" } << "--tcp takes HOST:PORT";
    QTest::newRow("slot 0") << QStringList { "packet", "p.png", "--size", "8x1", "--slot", "0",
        "--send", "--tcp", "a:1" }
                            << "program-list row from 1";
}

void tst_CliSend::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const CliRun run = runCli(arguments);
    QCOMPARE(run.exitCode, 64);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(tst_CliSend)
#include "tst_clisend.moc"
