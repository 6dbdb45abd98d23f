// The agent: a week of boundaries on a clock the test sets, retries with backoff, the real
// link against loopback signs, and vantrel-agent itself with SIGHUP and SIGTERM.

#include "agentchannelserver.h"
#include "agentclock.h"
#include "agentfolder.h"
#include "cliprocess.h"
#include "link.h"
#include "linkshowsender.h"
#include "loopbacksign.h"
#include "ptypeer.h"
#include "scheduleagent.h"
#include "schedulefile.h"
#include "testfiles.h"
#include "valuestore.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr int kWaitMs = 20000;
// A sleep that needs no timer: the agent may wake at most once a minute, plus its boundaries
// and retries.
constexpr int kMostWakesPerWeek = 7 * 24 * 60 * 2;
const QByteArray kTcpSuccess = QByteArray::fromHex("02000088");

struct ManualClock : AgentClock
{
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &now) { m_now = now; }
    QDateTime m_now;
};

// Records each send; a target fails while `isDown` says so.
struct RecordingSender : ShowSender
{
    explicit RecordingSender(const ManualClock &clock)
        : m_clock(clock)
    { }

    QList<TargetSendResult> send(
        const QString &showPath, const QList<AgentTarget> &targets, const QDateTime &) override
    {
        return record(QFileInfo(showPath).baseName(), targets);
    }
    QList<TargetSendResult> sendPages(const QString &, const QList<int> &rows,
        const QList<AgentTarget> &targets, const QDateTime &) override
    {
        QStringList texts;
        for (int row : rows)
            texts << QString::number(row);
        return record("rows " + texts.join(','), targets);
    }
    QList<TargetSendResult> sendMessage(
        const SayRequest &message, const QList<AgentTarget> &targets) override
    {
        return record("say " + message.text, targets);
    }

    QList<TargetSendResult> record(const QString &what, const QList<AgentTarget> &targets)
    {
        QList<TargetSendResult> results;
        for (const AgentTarget &t : targets) {
            const QDateTime now = m_clock.now();
            sends << now.toString("ddd HH:mm:ss ") + what + ' ' + t.label();
            const bool down = isDown && isDown(now, t);
            results.append(down ? TargetSendResult { false, "not reached", "refused" }
                                : TargetSendResult { true, "succeeded", {} });
        }
        return results;
    }

    const ManualClock &m_clock;
    QStringList sends;
    std::function<bool(const QDateTime &, const AgentTarget &)> isDown;
};

// The shows are beside `path`.
Schedule scheduleOf(const QList<ScheduleFile::EntryTexts> &texts, const QString &defaultShow,
    const QString &path = "/shows/week.vsched")
{
    Schedule schedule;
    schedule.path = path;
    schedule.defaultShow = defaultShow;
    for (const ScheduleFile::EntryTexts &t : texts) {
        ScheduleEntry entry;
        if (!ScheduleFile::parseEntry(t, "English", &entry).isEmpty())
            qFatal("bad entry");
        schedule.entries.append(entry);
    }
    return schedule;
}

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODate);
}

const AgentTarget kA { "10.0.0.5", "5005" };
const AgentTarget kB { "10.0.0.6", "5005" };

// An agent on a set clock whose schedule is only Default=a.vshow, sent over the real link.
struct LinkedAgent
{
    explicit LinkedAgent(const SignSetup &setup)
        : sender(setup, dir.path())
        , agent(clock, sender, [this](const QString &line) { log << line; })
    {
        writeFile(dir.filePath("page.rtf"), "{\\rtf1 x}");
        writeFile(dir.filePath("a.vshow"), oneRowShow("page.rtf"));
        clock.set(at("2026-12-07T06:00:00"));
        agent.setSchedule(scheduleOf({}, "a.vshow", dir.filePath("week.vsched")),
            setup.tickedTargets(), "English");
    }

    QTemporaryDir dir;
    ManualClock clock;
    QStringList log;
    LinkShowSender sender;
    ScheduleAgent agent;
};

SignSetup signOf(qint16 trance)
{
    SignSetup setup;
    setup.base = defaultBaseSettings();
    setup.base.ScreenWidth = 8;
    setup.base.ScreenHeight = 1;
    setup.base.Trance = trance;
    return setup;
}

} // namespace

class tst_Agent : public QObject
{
    Q_OBJECT

private slots:
    void runsAWeek()
    {
        ManualClock clock;
        RecordingSender sender(clock);
        const QDateTime start = at("2026-12-07T06:00:00"); // a Monday
        // B is down for its first two tries; the party sign never comes up.
        sender.isDown = [&](const QDateTime &now, const AgentTarget &t) {
            return (t == kB && now < start.addSecs(25)) || t.address == "10.0.0.9";
        };
        QList<AgentStatus> states;
        ScheduleAgent agent(
            clock, sender, [](const QString &) {}, [&](const AgentStatus &s) { states << s; });
        agent.setSchedule(
            scheduleOf(
                { { "Entry1", "breakfast.vshow", "Mon-Fri", "07:00", "11:00", {}, {} },
                    { "Entry2", "party.vshow", "Fri", "22:00", "02:00", {}, "10.0.0.9:5005" } },
                "evening.vshow"),
            { kA, kB }, "English");

        clock.set(start);
        int wakes = 0;
        while (clock.now() < start.addDays(7) && ++wakes < kMostWakesPerWeek) {
            const QDateTime next = agent.wake();
            QVERIFY(next > clock.now() && next <= clock.now().addSecs(60));
            clock.set(next);
        }
        QVERIFY(wakes < kMostWakesPerWeek);

        QStringList expected { "Mon 06:00:00 evening 10.0.0.5:5005",
            "Mon 06:00:00 evening 10.0.0.6:5005", "Mon 06:00:10 evening 10.0.0.6:5005",
            "Mon 06:00:30 evening 10.0.0.6:5005" };
        for (const QString day : { "Mon", "Tue", "Wed", "Thu", "Fri" }) {
            for (const QString show : { "07:00:00 breakfast", "11:00:00 evening" }) {
                expected << day + ' ' + show + " 10.0.0.5:5005"
                         << day + ' ' + show + " 10.0.0.6:5005";
            }
        }
        // The party sign is tried with backoff until its entry ends, then no more.
        QDateTime retry = at("2026-12-11T22:00:00");
        for (int failures = 1; retry < at("2026-12-12T02:00:00"); ++failures) {
            expected << retry.toString("ddd HH:mm:ss") + " party 10.0.0.9:5005";
            retry = retry.addSecs(failures <= 5 ? 10 << (failures - 1) : 300);
        }
        expected << "Sat 02:00:00 evening 10.0.0.5:5005"
                 << "Sat 02:00:00 evening 10.0.0.6:5005";
        QCOMPARE(sender.sends, expected);

        // B's state after its second failure, then after it took the show.
        QCOMPARE(states.at(2).targets.at(1).result, QStringLiteral("not reached"));
        QCOMPARE(states.at(2).targets.at(1).nextRetry, start.addSecs(30));
        QVERIFY(states.at(3).targets.at(1).succeeded());
        QVERIFY(!states.at(3).targets.at(1).nextRetry.isValid());

        // The clock jumps back into a breakfast (a manual change): the next wake sends it.
        sender.sends.clear();
        clock.set(at("2026-12-09T08:30:00"));
        agent.wake();
        QCOMPARE(sender.sends.size(), 2);
        QVERIFY(sender.sends.first().startsWith("Wed 08:30:00 breakfast"));
    }

    void realLinkRetries()
    {
        LoopbackSign up, down;
        QVERIFY(up.listen() && down.listen());
        up.answerPieces = down.answerPieces = { kTcpSuccess };
        down.behaviour = LoopbackSign::Behaviour::Reset;
        SignSetup setup = signOf(2);
        setup.base.IpStr = QStringLiteral("127.0.0.1,%1,1;127.0.0.1,%2,1;127.0.0.1,1,0")
                               .arg(up.port())
                               .arg(down.port());
        LinkedAgent linked(setup);

        // Two tries that the sign breaks off, a third that it answers.
        for (int attempt = 1; attempt <= 3; ++attempt) {
            if (attempt == 3)
                down.behaviour = LoopbackSign::Behaviour::Answer;
            linked.clock.set(linked.agent.wake());
        }
        QCOMPARE(up.packetCount, 2); // one picture and the effect table, once
        QCOMPARE(down.packets.size(), 6); // both packets on each try
        QCOMPARE(down.packets.mid(4), up.packets);
        QVERIFY(linked.agent.status().targets.at(1).succeeded());
        const QStringList &log = linked.log;
        QCOMPARE(log.size(), 5);
        QVERIFY2(log.at(2).contains(
                     QStringLiteral("127.0.0.1:%1: did not take a.vshow (row 1: ").arg(down.port()))
                && log.at(2).endsWith("try 2 in 10 s, at 2026-12-07 06:00:10.")
                && log.at(4).contains(": took a.vshow."),
            qPrintable(log.join('\n')));
    }

    void heldSerialPortIsRetried()
    {
        PtyPeer sign;
        QVERIFY(sign.open());
        sign.answerEvents = { QByteArray::fromHex("AA") };
        // The window (here a port of this process) holds the sign's port.
        QSerialPort window(sign.devicePath());
        QVERIFY(window.open(QIODevice::ReadWrite));
        SignSetup setup = signOf(0);
        setup.base.CommPort = sign.devicePath();
        setup.base.CommSettings = "9600,N,8,1";
        LinkedAgent linked(setup);

        linked.clock.set(linked.agent.wake());
        QVERIFY2(linked.agent.status().targets.at(0).failure.contains("cannot be opened"),
            qPrintable(linked.log.join('\n')));
        QCOMPARE(sign.packets.size(), 0);
        window.close();
        linked.agent.wake();
        QVERIFY2(
            linked.agent.status().targets.at(0).succeeded(), qPrintable(linked.log.join('\n')));
        QCOMPARE(sign.packets.size(), 2);
    }

    void serviceReloadsAndStops()
    {
        AgentFolder folder;
        QVERIFY(writeFile(folder.path("b.vshow"), oneRowShow("page.rtf")));
        const QString schedule = folder.path("week.vsched");
        folder.start();
        QVERIFY2(folder.logged(": took a.vshow."), qPrintable(folder.log));
        QCOMPARE(folder.sign.packetCount, 2);

        // A bad schedule is refused and the old one stays in force.
        QVERIFY(writeFile(schedule,
            "[Schedule]\nVersion=1\nDefault=b.vshow\n\n[Entry1]\n"
            "Show=a.vshow\nDays=Mon-Fry\n"));
        folder.signal(SIGHUP);
        QVERIFY2(folder.logged("The schedule was not re-read: [Entry1], key \"Days\": \"Mon-Fry\""),
            qPrintable(folder.log));
        QVERIFY(folder.log.contains("The old schedule stays in force."));
        QVERIFY(QFile(folder.path("agent-status.ini")).open(QIODevice::ReadOnly));

        // A good one is put in force at once.
        QVERIFY(writeFile(schedule, "[Schedule]\nVersion=1\nDefault=b.vshow\n"));
        folder.signal(SIGHUP);
        QVERIFY2(folder.logged(": took b.vshow."), qPrintable(folder.log));
        QCOMPARE(folder.sign.packetCount, 4);
        QVERIFY(QSettings(folder.path("agent-status.ini"), QSettings::IniFormat)
                    .value("Target1/Show")
                    .toString()
                    .endsWith("b.vshow"));

        // Ended in the middle of a send to a sign that never answers.
        folder.sign.behaviour = LoopbackSign::Behaviour::Silent;
        folder.signal(SIGHUP);
        QVERIFY(QTest::qWaitFor([&] { return folder.sign.packetCount == 5; }, kWaitMs));
        folder.signal(SIGTERM);
        // Unanswered, the show's two packets would hold the agent for twice the answer timeout.
        QProcess &agent = folder.agent;
        QVERIFY(QTest::qWaitFor([&] { return agent.state() == QProcess::NotRunning; },
            int(Link::kAnswerTimeout.count())));
        QCOMPARE(agent.exitStatus(), QProcess::NormalExit);
        QCOMPARE(agent.exitCode(), 0);
        QVERIFY(folder.logged("Stopping.\n") && folder.log.endsWith("Stopping.\n"));
    }

    void keepsLivePagesCurrent()
    {
        QTemporaryDir dir;
        const QStringList pages { "{time}", "{file:price-now.txt}", "FREE {value:spaces}",
            "Welcome" };
        QByteArray show = "[Show]\nVersion=1\n";
        for (int i = 0; i < pages.size(); ++i) {
            QString rtf = pages.at(i);
            rtf.replace("{", "\\{").replace("}", "\\}");
            QVERIFY(writeFile(dir.filePath(QString("page%1.rtf").arg(i + 1)),
                "{\\rtf1\\ansi " + rtf.toUtf8() + "\\par}"));
            show
                += QString("\n[Row%1]\nFile Path=page%1.rtf\nEffect=0\nSpeed=3\nTimes=0\nRepeat=1\n"
                           "EEffect=0\nESpeed=3\nETime=0\nERepeat=1\nTWidth=8\nTHeight=1\n")
                       .arg(i + 1)
                       .toUtf8();
        }
        QVERIFY(writeFile(dir.filePath("a.vshow"), show));
        ManualClock clock;
        RecordingSender sender(clock);
        QStringList log;
        ScheduleAgent agent(clock, sender, [&](const QString &line) { log << line; });
        agent.setProgramFolder(dir.path());
        agent.setSchedule(
            scheduleOf({}, "a.vshow", dir.filePath("week.vsched")), { kA, kB }, "English");
        const ValueStore values(dir.path());
        QString error;

        // Each step: the clock at `time`, what changed before it, the sends and the next wake.
        const auto step
            = [&](const QString &time, const QStringList &expected, const QString &next) {
                  sender.sends.clear();
                  clock.set(at("2026-12-07T" + time));
                  const QDateTime woken = agent.wake();
                  QCOMPARE(sender.sends, expected);
                  QCOMPARE(woken, at("2026-12-07T" + next));
              };
        const auto both = [](const QString &what) {
            return QStringList { what + " 10.0.0.5:5005", what + " 10.0.0.6:5005" };
        };
        step("10:00:30", both("Mon 10:00:30 a"), "10:01:00");
        QVERIFY(agent.watchedFiles().contains(dir.filePath("price-now.txt")));

        // A value set three times within a second goes once at once, then once a second later.
        QVERIFY(values.set("spaces", "42", &error));
        QVERIFY(agent.valueChanged("spaces") && !agent.valueChanged("other"));
        step("10:00:40", both("Mon 10:00:40 rows 3"), "10:01:00");
        QVERIFY(values.set("spaces", "43", &error));
        step("10:00:40.300", {}, "10:00:41");
        QVERIFY(values.set("spaces", "44", &error));
        step("10:00:40.600", {}, "10:00:41");
        step("10:00:41", both("Mon 10:00:41 rows 3"), "10:01:00");

        // A file rewritten, then the minute.
        QVERIFY(writeFile(dir.filePath("price-now.txt"), "9.99\n"));
        step("10:00:50", both("Mon 10:00:50 rows 2"), "10:01:00");
        step("10:01:00", both("Mon 10:01:00 rows 1"), "10:02:00");

        // The file gone: "?" is sent, and why is logged once.
        const auto told = log.filter("{file:price-now.txt}").size();
        QVERIFY(QFile::remove(dir.filePath("price-now.txt")));
        step("10:01:10", both("Mon 10:01:10 rows 2"), "10:02:00");
        step("10:01:20", {}, "10:02:00");
        QCOMPARE(log.filter("{file:price-now.txt}").size(), told + 1);

        // B misses a page: it gets the whole show by the retry rule, A only the page.
        sender.isDown = [](const QDateTime &now, const AgentTarget &t) {
            return t == kB && now == at("2026-12-07T10:02:00");
        };
        step("10:02:00", both("Mon 10:02:00 rows 1"), "10:02:10");
        QCOMPARE(log.filter("10.0.0.6:5005: did not take row 1 of a.vshow (refused)").size(), 1);
        step("10:02:10", { "Mon 10:02:10 a 10.0.0.6:5005" }, "10:03:00");

        // A message holds the pages back; a newer one replaces it and its time; then the show.
        QVERIFY(agent.showMessage({ "Closing", {} }, 60).isEmpty()); // at 10:02:10
        step("10:02:20", both("Mon 10:02:20 say Closing"), "10:03:10");
        QVERIFY(agent.showMessage({ "Closing now", {} }, 60).isEmpty());
        step("10:02:40", both("Mon 10:02:40 say Closing now"), "10:03:20");
        step("10:03:10", {}, "10:03:20");
        step("10:03:20", both("Mon 10:03:20 a"), "10:04:00");
        QCOMPARE(agent.message(), std::nullopt);
    }

    void serviceTakesValuesAndMessages()
    {
        AgentFolder folder;
        QVERIFY(writeFile(folder.path("page.rtf"),
            "{\\rtf1\\ansi{\\colortbl;\\red0\\green255\\blue0;}\\cf1 FREE "
            "\\{value:spaces\\}\\par}"));
        const QString dir = folder.dir.path();
        CliRun said = runCli({ "say", "Hi", "--for", "5" }, dir);
        QCOMPARE(said.exitCode, 2);
        QVERIFY2(said.err.contains("needs a running vantrel-agent"), qPrintable(said.err));

        folder.start();
        const LoopbackSign &sign = folder.sign;
        QVERIFY(QTest::qWaitFor([&] { return sign.packetCount == 2; }, kWaitMs));
        // Only the page goes, showing the new value.
        QCOMPARE(runCli({ "value", "set", "spaces", "42" }, dir).exitCode, 0);
        QVERIFY(QTest::qWaitFor([&] { return sign.packetCount == 3; }, kWaitMs));
        const QByteArray page42 = sign.packets.last();
        QVERIFY(page42 != sign.packets.first());
        // The message, then the show, pages and effect table, with the value still 42.
        said = runCli({ "say", "Hi", "--for", "1" }, dir);
        QVERIFY2(said.exitCode == 0 && said.out.contains("for 1 s"), qPrintable(said.out));
        QVERIFY(QTest::qWaitFor([&] { return sign.packetCount == 7; }, kWaitMs));
        QVERIFY(sign.packets.at(3) != page42);
        QCOMPARE(sign.packets.at(5), page42);
        QCOMPARE(sign.packets.at(6), sign.packets.at(1));
    }

    void channelRefusesBadRequests_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("answer");
        QTest::newRow("status") << QByteArray("{\"request\":\"status\"}\n") << "{\"ok\":true}";
        QTest::newRow("garbage") << QByteArray("\x01\xff{{\n") << "one JSON object";
        QTest::newRow("unknown") << QByteArray("{\"request\":\"reboot\"}\n") << "is value, say";
        QTest::newRow("bad name") << QByteArray("{\"request\":\"value\",\"name\":\"a b\"}\n")
                                  << "not a value name";
        QTest::newRow("say forever")
            << QByteArray("{\"request\":\"say\",\"text\":\"x\",\"seconds\":0}\n")
            << "is a whole number from 1";
        QTest::newRow("oversize") << QByteArray(AgentRequest::kMaxLineBytes + 100, 'x')
                                  << "longer than 8192 bytes";
        QTest::newRow("silent") << QByteArray("{\"request\"") << "no request in time";
    }

    void channelRefusesBadRequests()
    {
        QFETCH(QByteArray, request);
        QFETCH(QString, answer);
        QTemporaryDir dir;
        int handled = 0;
        AgentChannelServer server([&](const AgentRequest &) {
            ++handled;
            return agentAnswer();
        });
        QString problem;
        QVERIFY2(server.listen(dir.path(), &problem), qPrintable(problem));
        QLocalSocket client;
        client.connectToServer(server.path());
        QVERIFY(client.waitForConnected(kWaitMs));
        client.write(request);
        QByteArray got;
        QVERIFY(QTest::qWaitFor(
            [&] {
                got += client.readAll();
                return got.contains('\n');
            },
            kWaitMs));
        QVERIFY2(got.contains(answer.toUtf8()), got.constData());
        QCOMPARE(handled, answer.startsWith("{") ? 1 : 0);
        // A second agent for the same folder is refused while this one answers.
        AgentChannelServer second([](const AgentRequest &) { return agentAnswer(); });
        QVERIFY(!second.listen(dir.path(), &problem));
    }
};

QTEST_MAIN(tst_Agent)
#include "tst_agent.moc"
