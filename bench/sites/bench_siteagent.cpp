// vantrel-agent on a real mosquitto on loopback: from a message published to the sign's
// answer, ten agents of 100 loopback signs each taking one message published for all sites,
// and the CPU time a connected agent uses idle.
//
// The first two figures are for schedule bundles, which take the way a "say" takes from the
// broker to the sign plus the bundle's check and write, and for a value written into the
// program folder.

#include "agentbench.h"
#include "loopbacksign.h"
#include "mqttclient.h"
#include "sitebundle.h"
#include "testbroker.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

using namespace AgentBench;

constexpr int kAgents = 10;
constexpr int kSignsPerAgent = 100;
constexpr int kLatencyRuns = 10;
constexpr qint64 kStartWaitMs = 60000;
constexpr qint64 kStepWaitMs = 30000;

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray showNaming(const QByteArray &page)
{
    return "[Show]\nVersion=1\n\n[Row1]\nFile Path=" + page
        + "\nEffect=0\nSpeed=3\nTimes=0\nRepeat=1\nEEffect=0\nESpeed=3\nETime=0\nERepeat=1\n"
          "TWidth=8\nTHeight=1\n";
}

// A bundle whose Default is `show`: a new name makes a new version.
QByteArray bundleOf(const QString &show)
{
    return SiteBundle::encode({ QStringLiteral("week.vsched"),
        { { QStringLiteral("week.vsched"),
              "[Schedule]\nVersion=1\nDefault=" + show.toUtf8() + '\n' },
            { show, showNaming("welcome.rtf") },
            { QStringLiteral("welcome.rtf"),
                readFile(QStringLiteral(VANTREL_SOURCE_DIR "/data/samples/welcome.rtf")) } } });
}

// Serves the in-process signs until `done` or the deadline; the elapsed ms, or -1.
qint64 serveTimed(const std::function<bool()> &done, qint64 timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(100);
    }
    return timer.elapsed();
}

// One site: its program folder, its loopback signs and vantrel-agent keeping them on a.vshow.
struct Site
{
    Site(const QString &name, int signs, const QString &broker)
    {
        QStringList targets;
        for (int i = 0; i < signs; ++i) {
            auto sign = countingSign();
            targets << QStringLiteral("127.0.0.1,%1,1").arg(sign->port());
            this->signs.push_back(std::move(sign));
        }
        QFile::copy(QStringLiteral(VANTREL_SOURCE_DIR "/data/samples/welcome.rtf"),
            dir.filePath(QStringLiteral("welcome.rtf")));
        writeFile(dir.filePath(QStringLiteral("a.vshow")), showNaming("welcome.rtf"));
        writeFile(dir.filePath(QStringLiteral("week.vsched")),
            "[Schedule]\nVersion=1\nDefault=a.vshow\n");
        writeFile(dir.filePath(QStringLiteral("BaseSet.ini")),
            QStringLiteral("[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\n"
                           "MaxIPList=%1\n\n[TranceSet]\nTrance=2\nIPStr=%2\n\n[Language]\n"
                           "Language=English\n\n[Sites]\nBroker=%3\nSite=%4\n")
                .arg(QString::number(signs), targets.join(QLatin1Char(';')), broker, name)
                .toUtf8());
        agent.setStandardOutputFile(QProcess::nullDevice());
        agent.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        agent.start(QStringLiteral(VANTREL_AGENT_PATH),
            { dir.filePath(QStringLiteral("week.vsched")), QStringLiteral("--program-folder"),
                dir.path() });
    }
    ~Site()
    {
        if (agent.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(agent.processId()), SIGTERM);
        agent.waitForFinished(10000);
    }
    // Whether every sign has taken `shows` shows of two packets each.
    bool allTook(int shows) const
    {
        return std::all_of(signs.cbegin(), signs.cend(),
            [shows](const auto &sign) { return sign->packetCount >= 2 * shows; });
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<LoopbackSign>> signs;
    QProcess agent;
};

QString spread(QList<qint64> ms)
{
    std::sort(ms.begin(), ms.end());
    return QStringLiteral("median %1 ms, max %2 ms over %3")
        .arg(ms.at(ms.size() / 2))
        .arg(ms.last())
        .arg(ms.size());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int idleSeconds = envSeconds("VANTREL_BENCH_IDLE_SECONDS", 60);
    TestBroker broker;
    QString why;
    if (!broker.start(&why)) {
        out << "bench_siteagent: " << why << '\n';
        return 1;
    }
    MqttClient publisher({ QStringLiteral("127.0.0.1"), broker.port(), false, {},
        QStringLiteral("bench"), {}, {}, {}, {}, {} });
    publisher.start();

    // One site, one sign: published to taken.
    {
        Site site(QStringLiteral("one"), 1, broker.url());
        LoopbackSign &sign = *site.signs.front();
        if (serveTimed(
                [&] { return sign.packetCount == 2 && publisher.isConnected(); }, kStartWaitMs)
            < 0) {
            out << "the agent did not send its first show\n";
            return 1;
        }
        serveTimed([] { return false; }, 1000); // connected to the broker by now
        QList<qint64> bundles;
        QList<qint64> values;
        for (int run = 1; run <= kLatencyRuns; ++run) {
            const int before = sign.packetCount;
            publisher.publish(QStringLiteral("vantrel/one/schedule"),
                bundleOf(QStringLiteral("b%1.vshow").arg(run)), true);
            bundles << serveTimed([&] { return sign.packetCount >= before + 2; }, kStepWaitMs);
            const QByteArray value = QByteArray::number(run);
            const QString file = site.dir.filePath(QStringLiteral("values/price.txt"));
            publisher.publish(QStringLiteral("vantrel/one/value/price"), value);
            values << serveTimed([&] { return readFile(file).trimmed() == value; }, kStepWaitMs);
        }
        out << "schedule bundle published to the sign's answer to the whole new show (one "
               "sign, 8 x 1 modules): "
            << spread(bundles) << '\n';
        out << "value published to values/NAME.txt written: " << spread(values) << '\n';
    }

    // Ten sites of 100 signs, one bundle for all.
    std::vector<std::unique_ptr<Site>> sites;
    for (int i = 0; i < kAgents; ++i) {
        sites.push_back(
            std::make_unique<Site>(QStringLiteral("site%1").arg(i), kSignsPerAgent, broker.url()));
    }
    const auto allTook = [&](int shows) {
        return std::all_of(sites.cbegin(), sites.cend(),
            [shows](const auto &site) { return site->allTook(shows); });
    };
    if (serveTimed([&] { return allTook(1); }, kStartWaitMs) < 0) {
        out << "the " << kAgents << " agents did not send their first show\n";
        return 1;
    }
    serveTimed([] { return false; }, 2000); // all connected by now
    publisher.publish(
        QStringLiteral("vantrel/all/schedule"), bundleOf(QStringLiteral("all.vshow")));
    const qint64 all = serveTimed([&] { return allTook(2); }, kStepWaitMs);
    out << kAgents << " agents x " << kSignsPerAgent
        << " signs, one bundle on vantrel/all/schedule to every sign's whole new show: "
        << (all < 0 ? QStringLiteral("not within %1 ms").arg(kStepWaitMs)
                    : QStringLiteral("%1 ms").arg(all))
        << '\n';
    sites.resize(1);

    // One connected agent (100 signs) idle.
    const qint64 pid = sites.front()->agent.processId();
    serveTimed([] { return false; }, 1000);
    const qint64 before = cpuMs(pid);
    serveTimed([] { return false; }, qint64(idleSeconds) * 1000);
    out << "a connected agent idle for " << idleSeconds << " s: " << cpuMs(pid) - before
        << " ms of CPU (utime + stime, " << 1000 / sysconf(_SC_CLK_TCK) << " ms resolution)\n";
    return all < 0 ? 1 : 0;
}
