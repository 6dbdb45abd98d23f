#include "getcolor.h"
#include "link.h"
#include "loopbacksign.h"
#include "recordingprompts.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <limits>

namespace {

const QString kEnglish = QStringLiteral("English");

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

QString target(quint16 port, const QString &flag = QStringLiteral("1"))
{
    return QStringLiteral("127.0.0.1,%1,%2").arg(port).arg(flag);
}

QString linkError(quint16 port)
{
    return QStringLiteral("[127.0.0.1:%1]IP Link Error!").arg(port);
}

// Counts the turns of the event loop: each turn runs it once and queues it again.
struct TurnCounter
{
    int turns = 0;
    bool running = true;
    void queue(QObject *context)
    {
        QMetaObject::invokeMethod(
            context,
            [this, context] {
                if (!running)
                    return;
                ++turns;
                queue(context);
            },
            Qt::QueuedConnection);
    }
};

} // namespace

class tst_LinkTcp : public QObject
{
    Q_OBJECT

private slots:
    void answersAreJudged_data();
    void answersAreJudged();
    void onlyTickedRowsAreSent_data();
    void onlyTickedRowsAreSent();
    void targetsAreTriedInListOrder();
    void portThatIsNotANumberIsNotSent_data();
    void portThatIsNotANumberIsNotSent();
    void listenerThatNeverAnswers();
    void peerThatResetsTheConnection();
    void connectThatNeverCompletes();
    void emptyTargetListSendsNothing();
    void secondSendIsRefusedWhileOneWaits();
    void closeTranceCancelsTheSend();
    void promptsInChinese();
    void otherLinkKinds();
    void delayCountsYields();
};

void tst_LinkTcp::answersAreJudged_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<int>("answerWait");

    const int success = int(Verdict::Success);
    const int failure = int(Verdict::Failure);
    const int none = int(Verdict::None);
    const int event = int(WaitEnd::Event);
    const int timeout = int(WaitEnd::Timeout);
    QTest::newRow("88 at index 3") << QList<QByteArray> { bytes({ 0x02, 0x00, 0x00, 0x88 }) }
                                   << QStringList { "set succeed!" } << success << event;
    QTest::newRow("EE at index 3") << QList<QByteArray> { bytes({ 0x02, 0x00, 0x00, 0xEE }) }
                                   << QStringList { "set failed!" } << failure << event;
    QTest::newRow("EE at index 2") << QList<QByteArray> { bytes({ 0x02, 0x00, 0xEE, 0x00 }) }
                                   << QStringList {} << none << timeout;
    QTest::newRow("short arrival")
        << QList<QByteArray> { bytes({ 0x02, 0x00, 0xEE }) } << QStringList {} << none << timeout;
    QTest::newRow("split over two reads")
        << QList<QByteArray> { bytes({ 0x02, 0x00 }), bytes({ 0x00, 0x88 }) }
        << QStringList { "set succeed!" } << success << event;
    QTest::newRow("verdict byte alone")
        << QList<QByteArray> { bytes({ 0x02, 0x00, 0x00 }), bytes({ 0xEE }) }
        << QStringList { "set failed!" } << failure << event;
}

void tst_LinkTcp::answersAreJudged()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QStringList, prompts);
    QFETCH(int, verdict);
    QFETCH(int, answerWait);

    LoopbackSign sign;
    QVERIFY(sign.listen());
    sign.answerPieces = pieces;
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings({ {}, {}, target(sign.port()), kEnglish });

    const QByteArray packet = GetColor().ClearScreen();
    const SendOutcome outcome = link.SendBuffer(packet, TranceKind::kTcpIp);

    QCOMPARE(sign.packets, QList<QByteArray> { packet });
    QCOMPARE(sink.texts(), prompts);
    for (const RecordingPrompts::Prompt &p : sink.prompts) {
        QCOMPARE(p.title, QStringLiteral("Information"));
        QCOMPARE(p.icon, PromptIcon::Information);
    }
    QCOMPARE(outcome.targets.size(), 1);
    const TargetOutcome &t = outcome.targets.first();
    QVERIFY(t.sent);
    QCOMPARE(int(t.verdict), verdict);
    QCOMPARE(t.connectWait, WaitEnd::Event);
    // Ended by the answer, not by the time bound, when there was a verdict to end it.
    QCOMPARE(int(t.answerWait), answerWait);
    QCOMPARE(outcome.allSucceeded(), verdict == int(Verdict::Success));
    QCOMPARE(link.SockState(), SockStateValue::kConnected);
    QVERIFY(!link.isBusy());
}

void tst_LinkTcp::onlyTickedRowsAreSent_data()
{
    QTest::addColumn<QString>("rows"); // %1 is the first sign's port, %2 the second's
    QTest::addColumn<int>("firstPackets");
    QTest::addColumn<int>("secondPackets");

    QTest::newRow("flags 0 and 1") << "127.0.0.1,%1,0;127.0.0.1,%2,1" << 0 << 1;
    QTest::newRow("flags 1 and 0") << "127.0.0.1,%1,1;127.0.0.1,%2,0" << 1 << 0;
    QTest::newRow("both ticked") << "127.0.0.1,%1,1;127.0.0.1,%2,1" << 1 << 1;
    QTest::newRow("flag not exactly 1") << "127.0.0.1,%1, 1;127.0.0.1,%2,01" << 0 << 0;
    QTest::newRow("flag missing") << "127.0.0.1,%1;127.0.0.1,%2,1" << 0 << 1;
    QTest::newRow("port and flag missing") << "127.0.0.1;127.0.0.1,%2,1" << 0 << 1;
    QTest::newRow("extra field ignored") << "127.0.0.1,%1,1,x;127.0.0.1,%2,0" << 1 << 0;
    QTest::newRow("empty rows") << ";127.0.0.1,%1,1;;" << 1 << 0;
}

void tst_LinkTcp::onlyTickedRowsAreSent()
{
    QFETCH(QString, rows);
    QFETCH(int, firstPackets);
    QFETCH(int, secondPackets);

    LoopbackSign first;
    LoopbackSign second;
    QVERIFY(first.listen());
    QVERIFY(second.listen());
    first.answerPieces = second.answerPieces = { bytes({ 0x02, 0x00, 0x00, 0x88 }) };
    RecordingPrompts sink;
    Link link(&sink);
    rows.replace(QLatin1String("%1"), QString::number(first.port()));
    rows.replace(QLatin1String("%2"), QString::number(second.port()));
    link.setSettings({ {}, {}, rows, kEnglish });

    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

    QCOMPARE(int(first.packets.size()), firstPackets);
    QCOMPARE(int(second.packets.size()), secondPackets);
    QCOMPARE(first.connections, firstPackets);
    QCOMPARE(second.connections, secondPackets);
    QCOMPARE(int(outcome.targets.size()), firstPackets + secondPackets);
    QCOMPARE(
        sink.texts(), QStringList(QList<QString>(firstPackets + secondPackets, "set succeed!")));
}

void tst_LinkTcp::targetsAreTriedInListOrder()
{
    LoopbackSign good;
    LoopbackSign failing;
    QVERIFY(good.listen());
    QVERIFY(failing.listen());
    good.answerPieces = { bytes({ 0x02, 0x00, 0x00, 0x88 }) };
    failing.answerPieces = { bytes({ 0x02, 0x00, 0x00, 0xEE }) };
    const quint16 refused = refusedPort();
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings({ {}, {},
        QStringList { target(good.port()), target(refused), target(failing.port()) }.join(
            QLatin1Char(';')),
        kEnglish });

    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

    QCOMPARE(sink.texts(), QStringList({ "set succeed!", linkError(refused), "set failed!" }));
    QCOMPARE(outcome.targets.size(), 3);
    QCOMPARE(outcome.targets.at(0).port, QString::number(good.port()));
    QCOMPARE(outcome.targets.at(1).port, QString::number(refused));
    QCOMPARE(outcome.targets.at(2).port, QString::number(failing.port()));
    const TargetOutcome &r = outcome.targets.at(1);
    QVERIFY(!r.sent);
    // The refusal itself ended the connect wait, and nothing was waited for after it.
    QCOMPARE(r.connectWait, WaitEnd::Event);
    QCOMPARE(r.answerWait, WaitEnd::NotRun);
    QVERIFY2(r.problem.contains(QLatin1String("could not be reached")), qPrintable(r.problem));
    QCOMPARE(outcome.targets.at(2).verdict, Verdict::Failure);
    QVERIFY(!outcome.allSucceeded());
    QCOMPARE(link.SockState(), SockStateValue::kConnected); // the last target's connect
}

void tst_LinkTcp::portThatIsNotANumberIsNotSent_data()
{
    QTest::addColumn<QString>("port");
    QTest::newRow("letters") << "abc";
    QTest::newRow("zero") << "0";
    QTest::newRow("beyond 65535") << "65536";
    QTest::newRow("negative") << "-1";
    QTest::newRow("trailing letters") << "5005x";
    QTest::newRow("empty") << "";
}

void tst_LinkTcp::portThatIsNotANumberIsNotSent()
{
    QFETCH(QString, port);
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings({ {}, {}, QStringLiteral("127.0.0.1,%1,1").arg(port), kEnglish });

    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

    QCOMPARE(
        sink.texts(), QStringList { QStringLiteral("[127.0.0.1:%1]IP Link Error!").arg(port) });
    QCOMPARE(outcome.targets.size(), 1);
    QVERIFY(!outcome.targets.first().sent);
    QCOMPARE(outcome.targets.first().connectWait, WaitEnd::NotRun);
    QVERIFY(outcome.targets.first().problem.contains(QLatin1String("1 to 65535")));
}

void tst_LinkTcp::listenerThatNeverAnswers()
{
    LoopbackSign sign;
    QVERIFY(sign.listen());
    sign.behaviour = LoopbackSign::Behaviour::Silent;
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings({ {}, {}, target(sign.port()), kEnglish });

    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

    QCOMPARE(sign.packets.size(), 1);
    QVERIFY(sink.prompts.isEmpty()); // sent, so no link error; no answer, so no verdict
    const TargetOutcome &t = outcome.targets.first();
    QVERIFY(t.sent);
    QCOMPARE(t.verdict, Verdict::None);
    QCOMPARE(t.answerWait, WaitEnd::Timeout);
    QVERIFY2(t.problem.contains(QLatin1String("did not answer")), qPrintable(t.problem));
    QVERIFY(!outcome.allSucceeded());
}

void tst_LinkTcp::peerThatResetsTheConnection()
{
    LoopbackSign sign;
    QVERIFY(sign.listen());
    sign.behaviour = LoopbackSign::Behaviour::Reset;
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings({ {}, {}, target(sign.port()), kEnglish });

    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

    QCOMPARE(sign.packets.size(), 1);
    QVERIFY(sink.prompts.isEmpty());
    const TargetOutcome &t = outcome.targets.first();
    QVERIFY(t.sent);
    QCOMPARE(t.verdict, Verdict::None);
    // No answer can come on a reset connection: the wait ends with it.
    QCOMPARE(t.answerWait, WaitEnd::Event);
    QVERIFY2(t.problem.contains(QLatin1String("without an answer")), qPrintable(t.problem));
    QCOMPARE(link.SockState(), SockStateValue::kError);
}

void tst_LinkTcp::connectThatNeverCompletes()
{
    FullListenQueue queue;
    if (!queue.ok())
        QSKIP("cannot fill a loopback listen queue here");
    LoopbackSign after;
    QVERIFY(after.listen());
    after.answerPieces = { bytes({ 0x02, 0x00, 0x00, 0x88 }) };
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(
        { {}, {}, target(queue.port()) + QLatin1Char(';') + target(after.port()), kEnglish });

    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

    QCOMPARE(sink.texts(), QStringList({ linkError(queue.port()), "set succeed!" }));
    const TargetOutcome &t = outcome.targets.first();
    QVERIFY(!t.sent);
    QCOMPARE(t.connectWait, WaitEnd::Timeout);
    QCOMPARE(t.answerWait, WaitEnd::NotRun);
    QVERIFY2(t.problem.contains(QLatin1String("within 3 s")), qPrintable(t.problem));
    QCOMPARE(after.packets.size(), 1);
}

void tst_LinkTcp::emptyTargetListSendsNothing()
{
    for (const QString &ipStr : { QString(), QStringLiteral(";;"), QStringLiteral(",,") }) {
        RecordingPrompts sink;
        Link link(&sink);
        link.setSettings({ {}, {}, ipStr, kEnglish });
        const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);
        QVERIFY(outcome.targets.isEmpty());
        QVERIFY(sink.prompts.isEmpty());
        QVERIFY(!outcome.allSucceeded());
    }
}

void tst_LinkTcp::secondSendIsRefusedWhileOneWaits()
{
    LoopbackSign sign;
    QVERIFY(sign.listen());
    sign.answerPieces = { bytes({ 0x02, 0x00, 0x00, 0x88 }) };
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings({ {}, {}, target(sign.port()), kEnglish });
    QSignalSpy busy(&link, &Link::busyChanged);

    SendOutcome second;
    SendOutcome secondSerial;
    bool reopened = true;
    sign.onConnection = [&] {
        second = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);
        secondSerial = link.SendSerial(GetColor().ClearScreen());
        reopened = link.OpenTrance(TranceKind::kRs232);
    };
    const SendOutcome first = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

    QVERIFY(second.refusedBusy);
    QVERIFY(second.targets.isEmpty());
    QVERIFY(secondSerial.refusedBusy);
    QVERIFY(!reopened);
    QVERIFY(first.allSucceeded());
    QCOMPARE(sign.packets.size(), 1); // the second packet never went anywhere
    QCOMPARE(sign.connections, 1);
    QCOMPARE(sink.texts(),
        QStringList({ "A send is still running; wait until it has ended.", "set succeed!" }));
    QCOMPARE(busy.size(), 2);
    QCOMPARE(busy.at(0).at(0).toBool(), true);
    QCOMPARE(busy.at(1).at(0).toBool(), false);
}

void tst_LinkTcp::closeTranceCancelsTheSend()
{
    LoopbackSign sign;
    QVERIFY(sign.listen());
    sign.behaviour = LoopbackSign::Behaviour::Silent;
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings(
        { {}, {}, target(sign.port()) + QLatin1Char(';') + target(sign.port()), kEnglish });
    sign.onConnection = [&] { QTimer::singleShot(0, &link, [&] { link.CloseTrance(2); }); };

    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

    QVERIFY(outcome.cancelled);
    QCOMPARE(outcome.targets.size(), 1); // the second target was not tried
    QVERIFY(outcome.targets.first().answerWait == WaitEnd::Cancelled
        || outcome.targets.first().connectWait == WaitEnd::Cancelled);
    QVERIFY(sink.prompts.isEmpty());
    QVERIFY(!link.isBusy());
}

void tst_LinkTcp::promptsInChinese()
{
    LoopbackSign sign;
    QVERIFY(sign.listen());
    sign.answerPieces = { bytes({ 0x02, 0x00, 0x00, 0x88 }) };
    const quint16 refused = refusedPort();
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings({ {}, {}, target(sign.port()) + QLatin1Char(';') + target(refused),
        QStringLiteral("简体中文") });

    link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

    QCOMPARE(sink.texts(),
        QStringList({ QStringLiteral("发送成功!"),
            QStringLiteral("[127.0.0.1:%1]IP地址连接失败!").arg(refused) }));
    QCOMPARE(sink.prompts.first().title, QStringLiteral("系统提示"));
}

void tst_LinkTcp::otherLinkKinds()
{
    LoopbackSign sign;
    QVERIFY(sign.listen());
    RecordingPrompts sink;
    Link link(&sink);
    link.setSettings({ QStringLiteral("/nonexistent/port"), QStringLiteral("9600,N,8,1"),
        target(sign.port()), kEnglish });

    // TCP connects per send, and unknown kinds have nothing to open.
    QVERIFY(link.OpenTrance(TranceKind::kTcpIp));
    QVERIFY(link.OpenTrance(7));
    QVERIFY(!link.isSerialOpen());
    const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), 3);
    QVERIFY(outcome.targets.isEmpty());
    QCOMPARE(sign.connections, 0);
    link.CloseTrance(5);
    QVERIFY(sink.prompts.isEmpty());
}

void tst_LinkTcp::delayCountsYields()
{
    struct Case
    {
        double times;
        int turns;
    };
    const Case cases[] = {
        { -1, 0 },
        { 0, 1 },
        { 2, 3 },
        { 2.5, 3 },
        { std::nan(""), 0 },
        { 99, 100 },
    };
    for (const Case &c : cases) {
        QObject context;
        TurnCounter counter;
        counter.queue(&context);
        Link::Delay(c.times);
        counter.running = false;
        QCOMPARE(counter.turns, c.turns);
        QCoreApplication::processEvents(); // drop the last queued turn
    }
}

QTEST_GUILESS_MAIN(tst_LinkTcp)
#include "tst_linktcp.moc"
