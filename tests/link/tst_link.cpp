#include "getcolor.h"
#include "link.h"
#include "loopbacksign.h"
#include "messages.h"
#include "ptypeer.h"
#include "recordingprompts.h"
#include "seriallinesettings.h"
#include "testpages.h"

#include <QSerialPort>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kEnglish = QStringLiteral("English");
const QByteArray kSerialSuccess = QByteArray::fromHex("AA");
const QByteArray kTcpSuccess = QByteArray::fromHex("02000088");
const QByteArray kTcpFailure = QByteArray::fromHex("020000EE");

// What the far end does with a packet.
enum class Peer {
    Answers, // writes the answer pieces, in turn
    AnsweredBefore, // wrote them before the send: a late answer to an earlier send
    Silent, // accepts and never answers
    Resets, // resets the connection
};

QString target(quint16 port, const QString &flag = QStringLiteral("1"))
{
    return QStringLiteral("127.0.0.1,%1,%2").arg(port).arg(flag);
}

LinkSettings settings(const QString &commPort, const QStringList &targets = {},
    const QString &line = QStringLiteral("9600,N,8,1"), const QString &language = kEnglish)
{
    return { commPort, line, targets.join(QLatin1Char(';')), language };
}

} // namespace

class tst_Link : public QObject
{
    Q_OBJECT

private slots:
    void answersAreJudged_data()
    {
        QTest::addColumn<qint16>("trance");
        QTest::addColumn<Peer>("peer");
        QTest::addColumn<QList<QByteArray>>("answer");
        QTest::addColumn<Verdict>("verdict");
        QTest::addColumn<WaitEnd>("answerWait");
        const qint16 serial = TranceKind::kRs232;
        const qint16 tcp = TranceKind::kTcpIp;
        using V = Verdict;
        using W = WaitEnd;
        // The answer in hex, its pieces (each in its own read) apart by blanks.
        const auto row
            = [](const char *name, qint16 trance, Peer peer, const char *hex, V verdict, W wait) {
                  QList<QByteArray> pieces;
                  for (const QByteArray &piece : QByteArray(hex).split(' '))
                      pieces.append(QByteArray::fromHex(piece));
                  QTest::newRow(name) << trance << peer << pieces << verdict << wait;
              };
        // An answer with a verdict ends the wait when it comes, not at the time bound.
        row("serial AA", serial, Peer::Answers, "AA", V::Success, W::Event);
        // One verdict per packet, from the first answer: failure wins within it, and whatever
        // a broken or hostile sign sends after it raises nothing.
        row("serial DD AA", serial, Peer::Answers, "DDAA", V::Failure, W::Event);
        row("serial AA AA AA", serial, Peer::Answers, "AAAAAA", V::Success, W::Event);
        QTest::newRow("tcp failure then a flood of successes")
            << tcp << Peer::Answers << QList { kTcpFailure + kTcpSuccess.repeated(50000) }
            << V::Failure << W::Event;
        // "2" then "21": the decimal text "221" spans two bytes.
        row("serial 02 15 reads 221", serial, Peer::Answers, "0215", V::Failure, W::Event);
        row("serial 03", serial, Peer::Answers, "03", V::None, W::Timeout);
        row("serial late answer of an earlier send", serial, Peer::AnsweredBefore, "AA", V::None,
            W::Timeout);
        row("tcp 02 00 00 88", tcp, Peer::Answers, "02000088", V::Success, W::Event);
        row("tcp 02 00 00 EE", tcp, Peer::Answers, "020000EE", V::Failure, W::Event);
        row("tcp EE at index 2", tcp, Peer::Answers, "0200EE00", V::None, W::Event);
        row("tcp shorter than 4 bytes", tcp, Peer::Answers, "0200EE", V::None, W::Timeout);
        row("tcp split over two reads", tcp, Peer::Answers, "0200 0088", V::Success, W::Event);
        row("tcp accepts and never answers", tcp, Peer::Silent, "", V::None, W::Timeout);
        // No answer can come on a reset connection: the wait ends with it.
        row("tcp resets the connection", tcp, Peer::Resets, "", V::None, W::Event);
    }
    void answersAreJudged()
    {
        QFETCH(qint16, trance);
        QFETCH(Peer, peer);
        QFETCH(QList<QByteArray>, answer);
        QFETCH(Verdict, verdict);
        PtyPeer pty;
        LoopbackSign sign;
        QVERIFY(pty.open() && sign.listen());
        if (peer == Peer::AnsweredBefore)
            QVERIFY(pty.writeNow(answer.first()));
        else
            pty.answerEvents = answer;
        sign.answerPieces = answer;
        sign.behaviour = peer == Peer::Silent ? LoopbackSign::Behaviour::Silent
            : peer == Peer::Resets            ? LoopbackSign::Behaviour::Reset
                                              : LoopbackSign::Behaviour::Answer;
        RecordingPrompts sink;
        Link link(&sink);
        link.setSettings(settings(pty.devicePath(), { target(sign.port()) }));

        const QByteArray packet = GetColor().ClearScreen();
        const SendOutcome outcome = link.SendBuffer(packet, trance);

        QCOMPARE(
            trance == TranceKind::kTcpIp ? sign.packets : QList { pty.received }, QList { packet });
        // One prompt per verdict, none without.
        QCOMPARE(sink.texts().join('|'),
            QStringList({ "", "set succeed!", "set failed!" })[int(verdict)]);
        QCOMPARE(outcome.targets.size(), 1);
        const TargetOutcome &t = outcome.targets.first();
        QVERIFY(t.sent);
        QCOMPARE(t.verdict, verdict);
        QTEST(t.answerWait, "answerWait");
        // Only a connection that failed after the packet went out is broken off.
        QCOMPARE(t.result() == TargetResult::BrokenOff, peer == Peer::Resets);
        QCOMPARE(t.connectWait, trance == TranceKind::kTcpIp ? WaitEnd::Event : WaitEnd::NotRun);
        QCOMPARE(outcome.allSucceeded(), verdict == Verdict::Success);
        QVERIFY(!link.isSerialOpen()); // every send leaves the port closed
        QVERIFY(!link.isBusy());
    }

    void oneTickedTargetKeepsItsPrompts()
    {
        // Several are reported together instead: see tst_tcpfanout.
        const QString refused = "127.0.0.1," + QString::number(refusedPort());
        RecordingPrompts sink;
        Link link(&sink);
        link.setSettings(settings({}, { refused + ",1", refused + ",0" }));
        QVERIFY(!link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp).fannedOut);
        QCOMPARE(sink.texts(),
            QStringList { "[" + QString(refused).replace(',', ':') + "]IP Link Error!" });
    }

    void closeTranceCancelsTheSend()
    {
        LoopbackSign sign;
        QVERIFY(sign.listen());
        sign.behaviour = LoopbackSign::Behaviour::Silent;
        RecordingPrompts sink;
        Link link(&sink);
        link.setSettings(settings({}, { target(sign.port()), target(sign.port()) }));
        sign.onConnection
            = [&] { QTimer::singleShot(0, &link, [&] { link.CloseTrance(TranceKind::kTcpIp); }); };
        const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);
        QVERIFY(outcome.cancelled);
        QCOMPARE(outcome.targets.size(), 2);
        for (const TargetOutcome &t : outcome.targets)
            QCOMPARE(t.problem, "The link was closed during the send.");
        QVERIFY(sink.prompts.isEmpty());
        QVERIFY(!link.isBusy());
    }

    void openAndCloseTrance()
    {
        PtyPeer peer;
        LoopbackSign sign;
        QVERIFY(peer.open() && sign.listen());
        peer.answerEvents = { kSerialSuccess };
        RecordingPrompts sink;
        Link link(&sink);
        link.setSettings(settings(peer.devicePath(), { target(sign.port()) }, "115200,e,7,2"));
        QVERIFY(link.OpenTrance(TranceKind::kRs232));
        QVERIFY(link.OpenTrance(TranceKind::kBlueTooth)); // reopens the open port
        link.CloseTrance(TranceKind::kTcpIp);
        QVERIFY(link.isSerialOpen());
        for (qint16 kind : { TranceKind::kRs232, TranceKind::kBlueTooth, TranceKind::kAll }) {
            link.CloseTrance(kind);
            QVERIFY(!link.isSerialOpen());
            QVERIFY(link.OpenTrance(TranceKind::kRs232));
        }
        // Both serial kinds send on the port, and leave it closed.
        QVERIFY(link.SendBuffer(GetColor().ClearScreen(), TranceKind::kBlueTooth).allSucceeded());
        QVERIFY(link.SendBuffer(GetColor().ClearScreen(), TranceKind::kRs232).allSucceeded());
        QVERIFY(!link.isSerialOpen());
        QCOMPARE(peer.packets.size(), 2);
        // Choosing TCP/IP opens nothing and lets go of the port the serial choice held.
        QVERIFY(link.OpenTrance(TranceKind::kRs232));
        QVERIFY(link.OpenTrance(TranceKind::kTcpIp));
        QVERIFY(!link.isSerialOpen());
        QCOMPARE(sign.connections, 0);
        QCOMPARE(sink.texts(), QStringList({ "set succeed!", "set succeed!" }));
    }

    void unusablePortShowsMessage5_data()
    {
        QTest::addColumn<QString>("port"); // a path, or a terminal that is "pty", "held", "denied"
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("reason");
        const QString line = "9600,N,8,1";
        QTest::newRow("no such device")
            << "/dev/vantrel-no-such-port" << line << kEnglish << "cannot be opened";
        QTest::newRow("held by another program") << "held" << line << kEnglish << QString();
        QTest::newRow("four data bits") << "pty"
                                        << "9600,N,4,1" << kEnglish << "4 data bits";
        QTest::newRow("denied") << "denied" << line << kEnglish << "no permission to use it";
        QTest::newRow("denied, Chinese") << "denied" << line << QStringLiteral("简体中文")
                                         << QStringLiteral("您没有使用该端口的权限");
    }
    void unusablePortShowsMessage5()
    {
        QFETCH(QString, port);
        QFETCH(QString, line);
        QFETCH(QString, language);
        QFETCH(QString, reason);
        PtyPeer peer;
        QVERIFY(peer.open());
        const QString path = port.startsWith('/') ? port : peer.devicePath();
        QSerialPort holder(path);
        QVERIFY(port != "held" || holder.open(QIODevice::ReadWrite));
        const bool denied = port == "denied";
        QVERIFY(!denied || ::chmod(path.toLocal8Bit().constData(), 0) == 0);
        RecordingPrompts sink;
        Link link(&sink);
        link.setSettings(settings(path, {}, line, language));

        // Root may open any device, so a denied port is opened as an ordinary user would.
        constexpr uid_t kNobody = 65534;
        const bool asNobody = denied && ::geteuid() == 0;
        QVERIFY(!asNobody || ::seteuid(kNobody) == 0);
        const bool opened = link.OpenTrance(TranceKind::kRs232);
        const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kRs232);
        QVERIFY(!asNobody || ::seteuid(0) == 0);

        QVERIFY(!opened);
        QVERIFY(!link.isSerialOpen());
        QVERIFY(!outcome.targets.first().sent);
        QVERIFY(peer.received.isEmpty());
        QVERIFY(!link.isBusy());
        QCOMPARE(sink.prompts.size(), 2); // one for the open, one for the send
        for (const RecordingPrompts::Prompt &p : std::as_const(sink.prompts)) {
            QVERIFY2(p.text.startsWith(MsgText(5, language) + '\n') && p.text.contains(reason),
                qPrintable(p.text));
            // Only a denied port is a matter of group membership, not one held by another
            // program.
            QVERIFY2(p.text.contains("sudo usermod -aG dialout $USER") == denied
                    && (!denied || p.text.contains(path)),
                qPrintable(p.text));
            QCOMPARE(p.icon, PromptIcon::Information);
        }
    }

    void farEndClosingMidSendEndsTheSend()
    {
        PtyPeer peer;
        QVERIFY(peer.open());
        peer.readChunk = 1024;
        peer.closeAfterBytes = 4096;
        peer.answerEvents = { kSerialSuccess };
        RecordingPrompts sink;
        Link link(&sink);
        link.setSettings(settings(peer.devicePath()));
        const QImage page = TestPages::randomPage(34 * 16, 15 * 16, 3);
        const SendOutcome outcome
            = link.SendBuffer(TestPages::picturePacket(page, 34, 15, 1), TranceKind::kRs232);
        QVERIFY(peer.closed());
        QVERIFY(!outcome.targets.first().sent);
        QCOMPARE(outcome.targets.first().verdict, Verdict::None);
        QCOMPARE(sink.prompts.size(), 1);
        QVERIFY2(sink.texts().first().startsWith(MsgText(5, kEnglish))
                && sink.texts().first().contains(QLatin1String("could not be written")),
            qPrintable(sink.texts().first()));
        QVERIFY(!link.isBusy());
        QVERIFY(!link.isSerialOpen());
        // The link is usable again at once.
        PtyPeer next;
        QVERIFY(next.open());
        next.answerEvents = { kSerialSuccess };
        link.setSettings(settings(next.devicePath()));
        QVERIFY(link.SendBuffer(GetColor().ClearScreen(), TranceKind::kRs232).allSucceeded());
    }

    void lineSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QSerialPort::Parity>("parity");
        QTest::addColumn<QString>("written"); // "" when refused
        QTest::addColumn<QString>("mentions"); // a part of the refusal
        const auto read = [](const char *text, QSerialPort::Parity parity, const char *written) {
            QTest::newRow(text) << text << kEnglish << parity << written << QString();
        };
        read("9600,N,8,1", QSerialPort::NoParity, "9600,N,8,1");
        read("19200,e,7,2", QSerialPort::EvenParity, "19200,E,7,2");
        read("1200,m,5,1.5", QSerialPort::MarkParity, "1200,M,5,1.5");
        read("300,S,4,2", QSerialPort::SpaceParity, "300,S,4,2");
        read("4800,o,6,1", QSerialPort::OddParity, "4800,O,6,1");
        const auto refuse = [](const char *text, const QString &language, const QString &mentions) {
            QTest::newRow(text) << text << language << QSerialPort::NoParity << QString()
                                << mentions;
        };
        refuse("", kEnglish, "9600,N,8,1");
        refuse("0,N,8,1", kEnglish, "\"0\"");
        refuse("99999999999,N,8,1", kEnglish, "99999999999");
        refuse("9600,None,8,1", kEnglish, "None");
        refuse("9600,N,9,1", kEnglish, "\"9\"");
        refuse("9600,N,8,1.0", kEnglish, "1.0");
        refuse("9600,X,8,1", QStringLiteral("简体中文"), QStringLiteral("校验位“X”"));
    }
    void lineSettings()
    {
        QFETCH(QString, text);
        QFETCH(QString, language);
        QFETCH(QString, written);
        QFETCH(QString, mentions);
        SerialLineSettings s;
        s.baudRate = 1234;
        QString error;
        QCOMPARE(SerialLineSettings::parse(text, &s, &error, language), !written.isEmpty());
        QVERIFY2(error.contains(mentions), qPrintable(error));
        if (written.isEmpty()) {
            QCOMPARE(s.baudRate, 1234); // left as it was
        } else {
            QTEST(s.parity, "parity");
            QCOMPARE(s.toString(), written);
        }
    }

    void mapsPortNames_data()
    {
        QTest::addColumn<QString>("commPort");
        QTest::addColumn<QString>("portName"); // "" when refused
        for (const QString row : { "1:ttyS0", "3:ttyS2", "com4:ttyS3", " /dev/pts/3 :/dev/pts/3",
                 "0:", "  :" }) // CommPort:port name
            QTest::newRow(qPrintable(row)) << row.section(':', 0, 0) << row.section(':', 1);
    }
    void mapsPortNames()
    {
        QFETCH(QString, commPort);
        QFETCH(QString, portName);
        QString name;
        QString error;
        QCOMPARE(serialPortNameFor(commPort, &name, &error, kEnglish), !portName.isEmpty());
        QCOMPARE(name, portName);
        QCOMPARE(error.isEmpty(), !portName.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Link)
#include "tst_link.moc"
