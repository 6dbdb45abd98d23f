#include "getcolor.h"
#include "hostlookup.h"
#include "link.h"
#include "loopbacksign.h"
#include "recordingprompts.h"
#include "tcpfanout.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <list>

using namespace std::chrono_literals;

namespace {

const QByteArray kTcpSuccess = QByteArray::fromHex("02000088");
const QByteArray kTcpFailure = QByteArray::fromHex("020000EE");
constexpr int kFinishBoundMs = 15000;

QString row(quint16 port)
{
    return QStringLiteral("127.0.0.1,%1,1").arg(port);
}

// The lookup a test controls: "localhost" is found at the next turn of the event loop, every
// other name never answers.
class StandInLookup : public HostLookup
{
public:
    StandInLookup(const QString &host, QObject *parent)
        : HostLookup(parent)
    {
        ++alive;
        if (host == QLatin1String("localhost"))
            QTimer::singleShot(
                0, this, [this] { emit found({ QHostAddress(QHostAddress::LocalHost) }); });
    }
    ~StandInLookup() override { --alive; }

    static inline int alive = 0;
};

} // namespace

// Sends to many real loopback signs at once: every answer lands on its own target, unhealthy
// targets each end on their own line without holding up the rest, and the connection cap holds.
class tst_TcpFanOut : public QObject
{
    Q_OBJECT

private slots:
    void answersComeBackToTheirOwnTargets()
    {
        constexpr int kSigns = 6;
        LoopbackSign signs[kSigns];
        QList<TcpTarget> targets;
        for (int i = 0; i < kSigns; ++i) {
            QVERIFY(signs[i].listen());
            // The failing ones then flood 1 MB of successes: the first answer decides.
            signs[i].answerPieces
                = { i % 2 ? kTcpFailure + kTcpSuccess.repeated(256 * 1024) : kTcpSuccess };
            // The first in the list answers last.
            signs[i].answerDelay = std::chrono::milliseconds(40 * (kSigns - i));
            targets.append({ QStringLiteral("127.0.0.1"), QString::number(signs[i].port()) });
        }
        TcpFanOut fan;
        QSignalSpy ended(&fan, &TcpFanOut::targetFinished);
        QSignalSpy finished(&fan, &TcpFanOut::finished);
        const QByteArray packet = GetColor().ClearScreen();

        QVERIFY(fan.start(packet, targets));
        QVERIFY(!fan.start(packet, targets)); // one send at a time
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kFinishBoundMs);

        QCOMPARE(ended.size(), kSigns);
        QCOMPARE(ended.first().at(0).toInt(), kSigns - 1); // answers came back out of list order
        QCOMPARE(fan.doneCount(), kSigns);
        const SendOutcome outcome = fan.outcome();
        QVERIFY(outcome.fannedOut);
        for (int i = 0; i < kSigns; ++i) {
            const TargetOutcome &t = outcome.targets.at(i);
            QCOMPARE(t.port, targets.at(i).port);
            QCOMPARE(t.result(), i % 2 ? TargetResult::Failed : TargetResult::Succeeded);
            QVERIFY(t.problem.isEmpty());
            QVERIFY(t.elapsed >= signs[i].answerDelay);
            QCOMPARE(signs[i].packets, QList { packet });
        }
        QCOMPARE(outcome.summaryText("English"),
            "6 targets: 3 succeeded, 3 failed, 0 not reached, 0 no answer, 0 broken off.");
    }

    void unhealthyTargetsEachEndOnTheirOwnLine()
    {
        using B = LoopbackSign::Behaviour;
        using R = TargetResult;
        // How each listening sign behaves, what it answers, and the result expected of it.
        const QList<std::tuple<B, QList<QByteArray>, R>> listening {
            { B::Answer, { kTcpSuccess }, R::Succeeded },
            { B::Silent, {}, R::NoAnswer },
            { B::NeverReads, {}, R::NoAnswer },
            { B::Reset, {}, R::BrokenOff },
            { B::Answer, { "hello, sign!" }, R::NoAnswer },
            // The second answer is read by nobody: the connection has ended.
            { B::Answer, { kTcpFailure, kTcpSuccess }, R::Failed },
            { B::Answer, { kTcpSuccess + kTcpSuccess }, R::Succeeded },
        };
        std::list<LoopbackSign> signs;
        QStringList rows;
        QList<R> expected;
        for (const auto &[behaviour, answer, result] : listening) {
            LoopbackSign &sign = signs.emplace_back();
            QVERIFY(sign.listen());
            sign.behaviour = behaviour;
            sign.answerPieces = answer;
            rows << row(sign.port());
            expected << result;
        }
        rows.last() += ",x"; // fields past the tick are ignored
        // Refused, not found, bad ports, no address.
        rows << row(refusedPort()) << "no-such-sign.invalid,4000,1"
             << "127.0.0.1,70000,1"
             << "127.0.0.1,0,1"
             << "127.0.0.1,abc,1"
             << " ,4000,1";
        expected << QList<R>(6, R::NotReached);
        // Left out, wherever they stand: ticks other than exactly "1", rows without a port or a
        // tick, empty rows.
        LoopbackSign skipped;
        QVERIFY(skipped.listen());
        const QString s = "127.0.0.1," + QString::number(skipped.port());
        const QStringList left { s + ",0", "", s, "127.0.0.1", s + ", 1" };
        RecordingPrompts sink;
        Link link(&sink);
        link.setSettings({ {}, {}, (rows.mid(0, 3) + left + rows.mid(3)).join(';'), "English" });
        QSignalSpy started(&link, &Link::targetsStarted);
        QSignalSpy ended(&link, &Link::targetFinished);

        const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);

        QVERIFY(sink.prompts.isEmpty() && outcome.fannedOut);
        QCOMPARE(skipped.connections, 0);
        QCOMPARE(started.size(), 1);
        QCOMPARE(ended.size(), rows.size());
        QCOMPARE(outcome.targets.size(), rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            const TargetOutcome &t = outcome.targets.at(i);
            QVERIFY2(t.result() == expected.at(i), qPrintable(rows.at(i) + ": " + t.problem));
            QCOMPARE(t.problem.isEmpty(), t.verdict != Verdict::None);
        }
        QVERIFY(outcome.targets.at(4).problem.contains("neither success nor failure"));
        QVERIFY(outcome.targets.at(9).problem.contains("70000"));
        // A refusal ends the connect wait at once, and no answer is waited for; a bad port is
        // not tried.
        QCOMPARE(outcome.targets.at(7).connectWait, WaitEnd::Event);
        QCOMPARE(outcome.targets.at(7).answerWait, WaitEnd::NotRun);
        QCOMPARE(outcome.targets.at(10).connectWait, WaitEnd::NotRun);
        for (const LoopbackSign &sign : signs)
            QCOMPARE(sign.connections, 1);
        QVERIFY(!link.isBusy());
    }

    void connectionsAreCapped()
    {
        constexpr int kTargets = 10;
        constexpr int kCap = 3;
        LoopbackSign sign;
        QVERIFY(sign.listen());
        sign.answerPieces = { kTcpSuccess };
        sign.answerDelay = 30ms;
        const QList<TcpTarget> targets(kTargets, { "127.0.0.1", QString::number(sign.port()) });
        TcpFanOut fan;
        fan.setMaxConnections(kCap);
        QSignalSpy finished(&fan, &TcpFanOut::finished);
        // Accepted but not yet ended: never more than the connections the fan-out has open.
        int mostAtOnce = 0;
        sign.onConnection
            = [&] { mostAtOnce = std::max(mostAtOnce, sign.connections - fan.doneCount()); };
        fan.start(GetColor().ClearScreen(), targets);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kFinishBoundMs);
        QCOMPARE(fan.outcome().count(TargetResult::Succeeded), kTargets);
        QCOMPARE(sign.connections, kTargets);
        QCOMPARE(mostAtOnce, kCap);
    }

    void slowLookupsHoldUpNoOne_data()
    {
        QTest::addColumn<int>("slowNames");
        QTest::addColumn<int>("healthy");
        QTest::newRow("many at once") << 30 << 5;
        QTest::newRow("one target alone") << 1 << 0;
    }

    void slowLookupsHoldUpNoOne()
    {
        QFETCH(int, slowNames);
        QFETCH(int, healthy);
        HostLookup::setFactory(
            [](const QString &host, QObject *parent) { return new StandInLookup(host, parent); });
        const auto restore = qScopeGuard([] { HostLookup::setFactory({}); });
        LoopbackSign sign;
        QVERIFY(sign.listen());
        sign.answerPieces = { kTcpSuccess };
        QStringList rows;
        for (int i = 0; i < slowNames + healthy; ++i)
            rows << (i % 7 == 6 ? QString("localhost,%1,1").arg(sign.port()) : "slow.example,1,1");
        RecordingPrompts sink;
        Link link(&sink);
        link.setSettings({ {}, {}, rows.join(';'), "English" });
        const SendOutcome outcome = link.SendBuffer(GetColor().ClearScreen(), TranceKind::kTcpIp);
        QCOMPARE(outcome.count(TargetResult::Succeeded), healthy);
        QCOMPARE(outcome.count(TargetResult::NotReached), slowNames); // each by its own bound
        // Every unanswered lookup was given up with its target.
        QTRY_COMPARE_WITH_TIMEOUT(StandInLookup::alive, 0, kFinishBoundMs);
    }
};

QTEST_GUILESS_MAIN(tst_TcpFanOut)
#include "tst_tcpfanout.moc"
