#include "getcolor.h"
#include "link.h"
#include "recordingprompts.h"
#include "signprocess.h"
#include "signstream.h"
#include "testpages.h"
#include "virtualsign.h"

#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

using TestPages::expectedLeds;
using TestPages::picturePacket;

QByteArray control(int rows)
{
    ListRowSource list;
    for (int i = 1; i <= rows; ++i)
        list.appendRow({ QString::number(i), "1", QString::number(i), "2", "3", "2", "1", "0", "1",
            "8", "1", "p.png" });
    return GetColor().CtrlCommandSend(list, qint16(rows), GetColor::allRowNumbers(rows)).bytes;
}

// A sign fed through a serial stream, in the test's own process, whose answers are collected.
struct Harness
{
    explicit Harness(VirtualSign::AnswerMode mode = VirtualSign::AnswerMode::Ok)
        : sign(mode)
        , stream(sign, SignAnswerCodes::serial(), QStringLiteral("test"),
              [this](const QByteArray &a) { answers += a; })
    { }
    VirtualSign sign;
    QByteArray answers;
    SignStream stream;
};

const QByteArray kOk = QByteArray::fromHex("AA");
const QByteArray kFail = QByteArray::fromHex("DD");

} // namespace

class tst_VirtualSign : public QObject
{
    Q_OBJECT

private slots:
    void piecesAreReassembled_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("pieceSize");
        QTest::newRow("8x1 whole") << 8 << 1 << 0;
        QTest::newRow("8x1 byte by byte") << 8 << 1 << 1;
        QTest::newRow("34x15 in odd pieces") << 34 << 15 << 997;
        QTest::newRow("127x4") << 127 << 4 << 4096;
    }

    void piecesAreReassembled()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, pieceSize);
        const QImage page = TestPages::randomPage(width * 16, height * 16, quint32(width + height));
        const QByteArray packet = picturePacket(page, width, height, 2);
        QVERIFY(!packet.isEmpty());
        Harness h;
        const int step = pieceSize > 0 ? pieceSize : int(packet.size());
        for (int i = 0; i < packet.size(); i += step)
            h.stream.feed(packet.mid(i, step));
        QCOMPARE(h.answers, kOk);
        QCOMPARE(h.sign.pages().keys(), QList { 4 });
        QCOMPARE(h.sign.pages().value(4), expectedLeds(page, width, height));
    }

    void packetsBackToBackInOneRead()
    {
        const QImage page = TestPages::randomPage(128, 16, 9);
        Harness h;
        h.stream.feed(
            picturePacket(page, 8, 1, 1) + control(3) + picturePacket(page, 8, 1, 3) + control(1));
        QCOMPARE(h.answers, kOk.repeated(4));
        QCOMPARE(h.sign.pages().keys(), QList({ 3, 5 }));
        QCOMPARE(h.sign.effects().keys(), QList { 3 }); // the second table replaced the first
        QCOMPARE(h.sign.effects().value(3).entrySpeed, 2); // 2 to the power of Speed 1
        h.stream.feed(GetColor().ClearScreen());
        QVERIFY(h.sign.pages().isEmpty());
        QVERIFY(h.sign.effects().isEmpty());
        QCOMPARE(h.sign.log().size(), 5);
    }

    void answers_data()
    {
        QTest::addColumn<VirtualSign::AnswerMode>("mode");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<int>("effects"); // records kept afterwards
        using Mode = VirtualSign::AnswerMode;
        QByteArray badEnd = control(1);
        badEnd[badEnd.size() - 3] = 0x04;
        QByteArray badClear = GetColor().ClearScreen();
        badClear[16] = 0x00;
        QTest::newRow("ok") << Mode::Ok << control(2) << kOk << 2;
        QTest::newRow("fail keeps nothing")
            << Mode::Fail << control(2) + GetColor().ClearScreen() << kFail.repeated(2) << 0;
        QTest::newRow("none") << Mode::None << control(2) + "junk" << QByteArray() << 2;
        QTest::newRow("bytes that start no packet")
            << Mode::Ok << QByteArray("hello") << kFail << 0;
        QTest::newRow("unknown packet type")
            << Mode::Ok << QByteArray::fromHex("0299") << kFail << 0;
        QTest::newRow("wrong end marker") << Mode::Ok << badEnd << kFail << 0;
        QTest::newRow("control length not whole records")
            << Mode::Ok << QByteArray::fromHex("02340023") << kFail << 0;
        QTest::newRow("clear command not CC EE") << Mode::Ok << badClear << kFail << 0;
    }

    void answers()
    {
        QFETCH(VirtualSign::AnswerMode, mode);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, answers);
        QFETCH(int, effects);
        Harness h(mode);
        h.stream.feed(bytes);
        QCOMPARE(h.answers, answers);
        QCOMPARE(h.sign.effects().size(), effects);
        // The stream is in step again for the next packet.
        if (mode == VirtualSign::AnswerMode::Ok) {
            h.stream.feed(GetColor().ClearScreen());
            QCOMPARE(h.answers, answers + kOk);
        }
    }

    void incompletePacketIsDroppedAfterAQuietGap()
    {
        Harness h;
        const QByteArray packet = control(2);
        h.stream.feed(packet.left(40));
        QTRY_COMPARE_WITH_TIMEOUT(h.sign.log().size(), 1, 10000);
        QVERIFY2(h.sign.log().first().contains(QLatin1String("incomplete 40")),
            qPrintable(h.sign.log().first()));
        QVERIFY(h.answers.isEmpty());
        // What comes next is read as a new packet, not as the tail of the dropped one.
        h.stream.feed(packet);
        QCOMPARE(h.answers, kOk);
        QCOMPARE(h.sign.effects().size(), 2);
    }

    void toolShowsWhatCameOverTcpAndPty()
    {
        QTemporaryDir out;
        SignProcess sign;
        QString error;
        QVERIFY2(sign.start({ "--pty", "--out", out.path() }, &error), qPrintable(error));
        RecordingPrompts prompts;
        Link link(&prompts);
        link.setSettings({ sign.ptyPath(), QStringLiteral("9600,N,8,1"), sign.targetRow(),
            QStringLiteral("English") });
        const QImage page = TestPages::randomPage(34 * 16, 15 * 16, 21);
        QVERIFY(link.SendBuffer(picturePacket(page, 34, 15, 1), TranceKind::kTcpIp).allSucceeded());
        QCOMPARE(QImage(out.filePath("slot-3.png")).convertToFormat(QImage::Format_RGB32),
            expectedLeds(page, 34, 15));
        const QStringList log = SignProcess::packetLog(out.path());
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.first().contains(" picture 32661 slot 3 success via tcp 127.0.0.1:"),
            qPrintable(log.first()));

        // Every send opens and closes the port; the sign must not hang up in between.
        for (int i = 0; i < 3; ++i) {
            QVERIFY(link.OpenTrance(TranceKind::kRs232));
            link.CloseTrance(TranceKind::kRs232);
            QVERIFY(
                link.SendBuffer(GetColor().ClearScreen(), TranceKind::kBlueTooth).allSucceeded());
        }
        QCOMPARE(prompts.texts(), QStringList(4, "set succeed!"));

        // A port in use, or a bad option, ends another sign at once with status 2 and a reason.
        const QString busy = QStringLiteral("127.0.0.1:%1").arg(sign.tcpPort());
        for (const QStringList &arguments : { QStringList { "--tcp", busy },
                 QStringList { "--answer", "maybe" }, QStringList { "--serial" },
                 QStringList { "--out", QStringLiteral(VANTREL_SOURCE_DIR "/CMakeLists.txt") } }) {
            QProcess refused;
            refused.start(
                SignProcess::executable(), QStringList { "--tcp", "127.0.0.1:0" } + arguments);
            QVERIFY(refused.waitForFinished(10000));
            QCOMPARE(refused.exitCode(), 2);
            QVERIFY(refused.readAllStandardError().startsWith("vantrel-sign: "));
        }
        QVERIFY(sign.stop(SIGTERM));
    }
};

QTEST_GUILESS_MAIN(tst_VirtualSign)
#include "tst_virtualsign.moc"
