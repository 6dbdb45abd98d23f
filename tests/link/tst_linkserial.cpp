#include "getcolor.h"
#include "link.h"
#include "ptypeer.h"
#include "recordingprompts.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kEnglish = QStringLiteral("English");
const QString kPortError = QStringLiteral("Port initialization error,Been used or not exit!");

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// A whole picture frame packet of w x h modules with some lit LEDs.
QByteArray picturePacket(int w, int h)
{
    QImage canvas(w * 16, h * 16 + 2, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    for (int y = 2; y < canvas.height(); y += 3) {
        for (int x = 0; x < canvas.width(); x += 5)
            canvas.setPixel(x, y, qRgb(255, 0, 0));
    }
    const PacketResult r = GetColor().SendPicMod(
        ImagePixelSource(canvas), qint16(w), qint16(h), qint16(w), qint16(h), 16, 1);
    return r.bytes;
}

LinkSettings serialSettings(const QString &port, const QString &line = QStringLiteral("9600,N,8,1"))
{
    return { port, line, {}, kEnglish };
}

} // namespace

class tst_LinkSerial : public QObject
{
    Q_OBJECT

private slots:
    void answersAreJudged_data();
    void answersAreJudged();
    void bothSerialKindsUseTheSamePort();
    void openAndCloseTrance();
    void openTranceReportsAnUnusablePort_data();
    void openTranceReportsAnUnusablePort();
    void portInUseIsReported();
    void sendToAMissingPortShowsMessage5();
    void everyByteLeavesBeforeTheClose();
    void farEndClosingMidSendEndsTheSend();
    void lateAnswerIsNotTakenForTheNextSend();
};

void tst_LinkSerial::answersAreJudged_data()
{
    QTest::addColumn<QList<QByteArray>>("events");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<int>("answerWait");

    const int event = int(WaitEnd::Event);
    QTest::newRow("AA") << QList<QByteArray> { bytes({ 0xAA }) } << QStringList { "set succeed!" }
                        << int(Verdict::Success) << event;
    QTest::newRow("DD AA") << QList<QByteArray> { bytes({ 0xDD, 0xAA }) }
                           << QStringList { "set failed!", "set succeed!" } << int(Verdict::Failure)
                           << event;
    QTest::newRow("DD") << QList<QByteArray> { bytes({ 0xDD }) } << QStringList { "set failed!" }
                        << int(Verdict::Failure) << event;
    QTest::newRow("02 DD reads 2221")
        << QList<QByteArray> { bytes({ 0x02, 0xDD }) } << QStringList { "set failed!" }
        << int(Verdict::Failure) << event;
    // "2" followed by "21": the match spans two bytes.
    QTest::newRow("02 15 reads 221")
        << QList<QByteArray> { bytes({ 0x02, 0x15 }) } << QStringList { "set failed!" }
        << int(Verdict::Failure) << event;
    QTest::newRow("03 gives nothing") << QList<QByteArray> { bytes({ 0x03 }) } << QStringList {}
                                      << int(Verdict::None) << int(WaitEnd::Timeout);
}

void tst_LinkSerial::answersAreJudged()
{
    QFETCH(QList<QByteArray>, events);
    QFETCH(QStringList, prompts);
    QFETCH(int, verdict);
    QFETCH(int, answerWait);

    PtyPeer peer;
    QVERIFY(peer.open());
    peer.answerEvents = events;
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(serialSettings(peer.devicePath()));

    const QByteArray packet = GetColor().ClearScreen();
    const SendOutcome outcome = link.SendBuffer(packet, TranceKind::kRs232);

    QCOMPARE(peer.received, packet);
    QCOMPARE(sink.texts(), prompts);
    QCOMPARE(outcome.targets.size(), 1);
    const TargetOutcome &t = outcome.targets.first();
    QCOMPARE(t.address, peer.devicePath());
    QVERIFY(t.sent);
    QCOMPARE(int(t.verdict), verdict);
    QCOMPARE(int(t.answerWait), answerWait);
    QVERIFY(!link.isSerialOpen()); // every send leaves the port closed
}

void tst_LinkSerial::bothSerialKindsUseTheSamePort()
{
    PtyPeer peer;
    QVERIFY(peer.open());
    peer.answerEvents = { bytes({ 0xAA }) };
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(serialSettings(peer.devicePath(), QStringLiteral("115200,e,7,2")));

    QVERIFY(link.SendBuffer(GetColor().ClearScreen(), TranceKind::kRs232).allSucceeded());
    QVERIFY(link.SendBuffer(GetColor().ClearScreen(), TranceKind::kBlueTooth).allSucceeded());
    QCOMPARE(peer.packets.size(), 2);
    QCOMPARE(sink.texts(), QStringList({ "set succeed!", "set succeed!" }));
}

void tst_LinkSerial::openAndCloseTrance()
{
    PtyPeer peer;
    QVERIFY(peer.open());
    peer.answerEvents = { bytes({ 0xAA }) };
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(serialSettings(peer.devicePath()));

    QVERIFY(link.OpenTrance(TranceKind::kRs232));
    QVERIFY(link.isSerialOpen());
    QVERIFY(link.OpenTrance(TranceKind::kBlueTooth)); // reopens the open port
    QVERIFY(link.isSerialOpen());
    link.CloseTrance(TranceKind::kTcpIp);
    QVERIFY(link.isSerialOpen());
    for (qint16 kind : { TranceKind::kRs232, TranceKind::kBlueTooth, TranceKind::kAll }) {
        link.CloseTrance(kind);
        QVERIFY(!link.isSerialOpen());
        QVERIFY(link.OpenTrance(TranceKind::kRs232));
    }
    // A send closes and reopens it, and leaves it closed.
    QVERIFY(link.SendBuffer(GetColor().ClearScreen(), TranceKind::kRs232).allSucceeded());
    QVERIFY(!link.isSerialOpen());
    QCOMPARE(sink.texts(), QStringList { "set succeed!" });
    // Choosing TCP/IP lets go of a port the serial choice held.
    QVERIFY(link.OpenTrance(TranceKind::kRs232));
    QVERIFY(link.OpenTrance(TranceKind::kTcpIp));
    QVERIFY(!link.isSerialOpen());
}

void tst_LinkSerial::openTranceReportsAnUnusablePort_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such device") << "/dev/vantrel-no-such-port"
                                    << "9600,N,8,1"
                                    << "cannot be opened";
    QTest::newRow("no port set") << ""
                                 << "9600,N,8,1"
                                 << "No serial port is set.";
    QTest::newRow("bad parity") << "%1"
                                << "9600,X,8,1"
                                << "parity";
    QTest::newRow("four data bits") << "%1"
                                    << "9600,N,4,1"
                                    << "4 data bits";
    QTest::newRow("no line settings") << "%1"
                                      << ""
                                      << "No serial line settings";
}

void tst_LinkSerial::openTranceReportsAnUnusablePort()
{
    QFETCH(QString, port);
    QFETCH(QString, line);
    QFETCH(QString, reason);
    PtyPeer peer;
    QVERIFY(peer.open());
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(serialSettings(
        port.contains(QLatin1String("%1")) ? port.arg(peer.devicePath()) : port, line));

    QVERIFY(!link.OpenTrance(TranceKind::kRs232));
    QVERIFY(!link.isSerialOpen());
    QCOMPARE(sink.prompts.size(), 1);
    const QStringList lines = sink.prompts.first().text.split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), kPortError);
    QVERIFY2(sink.prompts.first().text.contains(reason), qPrintable(sink.prompts.first().text));
    QCOMPARE(sink.prompts.first().title, QStringLiteral("Information"));
    QCOMPARE(sink.prompts.first().icon, PromptIcon::Information);
}

void tst_LinkSerial::portInUseIsReported()
{
    PtyPeer peer;
    QVERIFY(peer.open());
    QSerialPort holder;
    holder.setPortName(peer.devicePath());
    QVERIFY(holder.open(QIODevice::ReadWrite));
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(serialSettings(peer.devicePath()));

    QVERIFY(!link.OpenTrance(TranceKind::kRs232));
    QCOMPARE(sink.texts().size(), 1);
    QVERIFY(sink.texts().first().startsWith(kPortError));

    holder.close();
    QVERIFY(link.OpenTrance(TranceKind::kRs232));
}

void tst_LinkSerial::sendToAMissingPortShowsMessage5()
{
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(serialSettings(QStringLiteral("/dev/vantrel-no-such-port")));

    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kRs232);

    QCOMPARE(outcome.targets.size(), 1);
    QVERIFY(!outcome.targets.first().sent);
    QVERIFY(!outcome.targets.first().problem.isEmpty());
    QCOMPARE(sink.prompts.size(), 1);
    QVERIFY(sink.texts().first().startsWith(kPortError));
    QVERIFY(!link.isBusy());
}

void tst_LinkSerial::everyByteLeavesBeforeTheClose()
{
    // A slow far end: the terminal holds far less than the packet, so the port takes the
    // packet only as fast as the peer reads it. Closing before the last byte has gone
    // would lose the tail.
    PtyPeer peer;
    QVERIFY(peer.open());
    peer.readChunk = 512;
    peer.answerEvents = { bytes({ 0xAA }) };
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(serialSettings(peer.devicePath()));
    QSignalSpy progress(&link, &Link::sendProgress);

    const QByteArray packet = picturePacket(34, 15);
    QCOMPARE(packet.size(), 32661);
    const SendOutcome outcome = link.SendBuffer(packet, TranceKind::kRs232);

    QVERIFY(outcome.allSucceeded());
    QCOMPARE(peer.received.size(), packet.size());
    QCOMPARE(peer.received, packet);
    QCOMPARE(sink.texts(), QStringList { "set succeed!" });
    // Progress came in steps and ended at the whole packet.
    QVERIFY2(progress.size() > 3, qPrintable(QString::number(progress.size())));
    qint64 last = -1;
    for (const QList<QVariant> &step : std::as_const(progress)) {
        QCOMPARE(step.at(1).toLongLong(), qint64(packet.size()));
        QVERIFY(step.at(0).toLongLong() >= last);
        last = step.at(0).toLongLong();
    }
    QCOMPARE(last, qint64(packet.size()));
}

void tst_LinkSerial::farEndClosingMidSendEndsTheSend()
{
    PtyPeer peer;
    QVERIFY(peer.open());
    peer.readChunk = 1024;
    peer.closeAfterBytes = 4096;
    peer.answerEvents = { bytes({ 0xAA }) };
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(serialSettings(peer.devicePath()));

    const SendOutcome outcome = link.SendBuffer(picturePacket(34, 15), TranceKind::kRs232);

    QVERIFY(peer.closed());
    QCOMPARE(outcome.targets.size(), 1);
    QVERIFY(!outcome.targets.first().sent);
    QCOMPARE(outcome.targets.first().verdict, Verdict::None);
    QCOMPARE(sink.prompts.size(), 1);
    QVERIFY2(sink.texts().first().startsWith(kPortError), qPrintable(sink.texts().first()));
    QVERIFY(sink.texts().first().contains(QLatin1String("could not be written")));
    QVERIFY(!link.isBusy());
    QVERIFY(!link.isSerialOpen());

    // The link is usable again at once.
    PtyPeer next;
    QVERIFY(next.open());
    next.answerEvents = { bytes({ 0xAA }) };
    link.setSettings(serialSettings(next.devicePath()));
    QVERIFY(link.SendBuffer(GetColor().ClearScreen(), TranceKind::kRs232).allSucceeded());
}

void tst_LinkSerial::lateAnswerIsNotTakenForTheNextSend()
{
    // An answer that came after an earlier send gave up waiting sits in the terminal; this
    // send must not take it for its own.
    PtyPeer peer;
    QVERIFY(peer.open());
    QVERIFY(peer.writeNow(bytes({ 0xAA })));
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(serialSettings(peer.devicePath()));

    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kRs232);

    QCOMPARE(peer.packets.size(), 1);
    QCOMPARE(outcome.targets.first().verdict, Verdict::None);
    QCOMPARE(outcome.targets.first().answerWait, WaitEnd::Timeout);
    QVERIFY(sink.prompts.isEmpty());
}

QTEST_GUILESS_MAIN(tst_LinkSerial)
#include "tst_linkserial.moc"
