#include "getcolor.h"
#include "link.h"
#include "recordingprompts.h"
#include "signprocess.h"
#include "testpages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QString kEnglish = QStringLiteral("English");
constexpr int kIoWaitMs = 5000;

QByteArray picture(const QImage &page, int w, int h, int row)
{
    return GetColor()
        .SendPicMod(ImagePixelSource(page, 0, 2), qint16(w), qint16(h), qint16(w), qint16(h), 16,
            qint16(row))
        .bytes;
}

QStringList logLines(const QString &folder)
{
    QFile log(folder + QStringLiteral("/packets.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class tst_SignProcess : public QObject
{
    Q_OBJECT

private slots:
    void pagesSentOverTcpAndPtyAreShownPixelForPixel();
    void ptyStaysUsableAcrossSends();
    void answersFailureWhenToldTo();
    void staysSilentWhenToldTo();
    void endsCleanlyOnSigintAndSigterm();
    void refusesBadOptions_data();
    void refusesBadOptions();
    void refusesABusyPort();
};

void tst_SignProcess::pagesSentOverTcpAndPtyAreShownPixelForPixel()
{
    QTemporaryDir out;
    SignProcess sign;
    QString error;
    QVERIFY2(sign.start({ "--pty", "--out", out.path() }, &error), qPrintable(error));

    RecordingPrompts prompts;
    Link link(&prompts);
    link.setSettings({ sign.ptyPath(), QStringLiteral("9600,N,8,1"), sign.targetRow(), kEnglish });
    const QImage first = TestPages::randomPage(34 * 16, 15 * 16, 21);
    const QImage second = TestPages::randomPage(8 * 16, 16, 22);
    QVERIFY(link.SendBuffer(picture(first, 34, 15, 1), TranceKind::kTcpIp).allSucceeded());
    QVERIFY(link.SendBuffer(picture(second, 8, 1, 2), TranceKind::kRs232).allSucceeded());
    QCOMPARE(prompts.texts(), QStringList({ "set succeed!", "set succeed!" }));

    QCOMPARE(QImage(out.filePath("slot-3.png")).convertToFormat(QImage::Format_RGB32),
        TestPages::expectedLeds(first, 34, 15));
    QCOMPARE(QImage(out.filePath("slot-4.png")).convertToFormat(QImage::Format_RGB32),
        TestPages::expectedLeds(second, 8, 1));
    const QStringList lines = logLines(out.path());
    QCOMPARE(lines.size(), 2);
    QVERIFY2(
        lines.at(0).contains(QLatin1String(" picture 32661 slot 3 success via tcp 127.0.0.1:")),
        qPrintable(lines.at(0)));
    QVERIFY2(lines.at(1).contains(QLatin1String(" picture 533 slot 4 success via pty")),
        qPrintable(lines.at(1)));
    // ISO time first: 2026-12-06T20:36:19.931Z
    QVERIFY(QDateTime::fromString(lines.at(0).section(QLatin1Char(' '), 0, 0), Qt::ISODateWithMs)
                .isValid());
    QVERIFY(sign.stop(SIGTERM));
}

void tst_SignProcess::ptyStaysUsableAcrossSends()
{
    // Every send opens and closes the port; the sign must not hang up in between.
    SignProcess sign;
    QString error;
    QVERIFY2(sign.start({ "--pty" }, &error), qPrintable(error));
    RecordingPrompts prompts;
    Link link(&prompts);
    link.setSettings({ sign.ptyPath(), QStringLiteral("115200,N,8,1"), {}, kEnglish });
    for (int i = 0; i < 5; ++i) {
        QVERIFY2(link.SendBuffer(GetColor().ClearScreen(), TranceKind::kBlueTooth).allSucceeded(),
            qPrintable(QString::number(i)));
        QVERIFY(link.OpenTrance(TranceKind::kRs232));
        link.CloseTrance(TranceKind::kRs232);
    }
    QCOMPARE(prompts.texts().size(), 5);
}

void tst_SignProcess::answersFailureWhenToldTo()
{
    SignProcess sign;
    QString error;
    QVERIFY2(sign.start({ "--pty", "--answer", "fail" }, &error), qPrintable(error));
    RecordingPrompts prompts;
    Link link(&prompts);
    link.setSettings({ sign.ptyPath(), QStringLiteral("9600,N,8,1"), sign.targetRow(), kEnglish });
    const SendOutcome tcp = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);
    const SendOutcome serial = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kRs232);
    QCOMPARE(tcp.targets.first().verdict, Verdict::Failure);
    QCOMPARE(serial.targets.first().verdict, Verdict::Failure);
    QCOMPARE(prompts.texts(), QStringList({ "set failed!", "set failed!" }));
}

void tst_SignProcess::staysSilentWhenToldTo()
{
    SignProcess sign;
    QString error;
    QVERIFY2(sign.start({ "--answer", "none" }, &error), qPrintable(error));
    RecordingPrompts prompts;
    Link link(&prompts);
    link.setSettings({ {}, {}, sign.targetRow(), kEnglish });
    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);
    QVERIFY(outcome.targets.first().sent);
    QCOMPARE(outcome.targets.first().verdict, Verdict::None);
    QCOMPARE(outcome.targets.first().answerWait, WaitEnd::Timeout);
    QVERIFY(prompts.prompts.isEmpty());
}

void tst_SignProcess::endsCleanlyOnSigintAndSigterm()
{
    for (int signal : { SIGINT, SIGTERM }) {
        SignProcess sign;
        QString error;
        QVERIFY2(sign.start({ "--pty" }, &error), qPrintable(error));
        QVERIFY2(sign.stop(signal), qPrintable(QString::number(signal)));
    }
}

void tst_SignProcess::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("answer mode") << QStringList { "--answer", "maybe" } << "--answer takes ok";
    QTest::newRow("port letters") << QStringList { "--tcp", "127.0.0.1:http" } << "--tcp takes";
    QTest::newRow("host name") << QStringList { "--tcp", "example:5005" } << "--tcp takes";
    QTest::newRow("unknown option") << QStringList { "--serial" } << "unknown argument --serial";
    QTest::newRow("output folder is a file") << QStringList { "--tcp", "127.0.0.1:0", "--out",
        QStringLiteral(VANTREL_SOURCE_DIR "/CMakeLists.txt") }
                                             << "cannot create the output folder";
}

void tst_SignProcess::refusesBadOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QProcess process;
    process.start(SignProcess::executable(), arguments);
    QVERIFY(process.waitForFinished(kIoWaitMs));
    QCOMPARE(process.exitCode(), 2);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.contains(message), qPrintable(err));
}

void tst_SignProcess::refusesABusyPort()
{
    SignProcess first;
    QString error;
    QVERIFY2(first.start({}, &error), qPrintable(error));
    QProcess second;
    second.start(SignProcess::executable(),
        { "--tcp", QStringLiteral("127.0.0.1:%1").arg(first.tcpPort()) });
    QVERIFY(second.waitForFinished(kIoWaitMs));
    QCOMPARE(second.exitCode(), 2);
    QVERIFY(
        QString::fromUtf8(second.readAllStandardError()).contains(QLatin1String("cannot listen")));
}

QTEST_GUILESS_MAIN(tst_SignProcess)
#include "tst_signprocess.moc"
