// Live text through vantrel-agent: from "vantrel-cli value set" to the page's packet at a
// loopback sign, and the CPU the agent uses keeping a clock page current on 50 signs.

#include "agentbench.h"
#include "loopbacksign.h"

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

constexpr int kValueSets = 10;
constexpr int kClockSigns = 50;

// A program folder whose one-row show is `pageText` in an RTF page, sent to `ports`.
void writeProgram(const QString &folder, const QByteArray &pageText, const QList<quint16> &ports)
{
    writeFile(folder + "/live.rtf", "{\\rtf1\\ansi " + pageText + "\\par}");
    writeFile(folder + "/a.vshow",
        "[Show]\nVersion=1\n\n[Row1]\nFile Path=live.rtf\nEffect=0\nSpeed=3\nTimes=0\n"
        "Repeat=1\nEEffect=0\nESpeed=3\nETime=0\nERepeat=1\nTWidth=8\nTHeight=1\n");
    QStringList targets;
    for (quint16 port : ports)
        targets << QStringLiteral("127.0.0.1,%1,1").arg(port);
    writeFile(folder + "/BaseSet.ini",
        QStringLiteral("[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\nMaxIPList=%1\n\n"
                       "[TranceSet]\nTrance=2\nIPStr=%2\n")
            .arg(std::max<qsizetype>(10, ports.size()))
            .arg(targets.join(';'))
            .toUtf8());
    writeFile(folder + "/week.vsched", "[Schedule]\nVersion=1\nDefault=a.vshow\n");
}

std::unique_ptr<QProcess> startAgent(const QString &folder)
{
    auto agent = std::make_unique<QProcess>();
    agent->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    agent->setStandardOutputFile(QProcess::nullDevice());
    agent->start(QStringLiteral(VANTREL_AGENT_PATH),
        { folder + "/week.vsched", "--program-folder", folder });
    agent->waitForStarted();
    return agent;
}

void stopAgent(QProcess &agent)
{
    ::kill(pid_t(agent.processId()), SIGTERM);
    agent.waitForFinished(10000);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int clockSeconds = envSeconds("VANTREL_BENCH_CLOCK_SECONDS", 180);

    // A value set, a second and more apart so that none is held back to coalesce.
    QTemporaryDir valueDir;
    const std::unique_ptr<LoopbackSign> sign = countingSign();
    writeProgram(valueDir.path(), "FREE \\{value:spaces\\}", { sign->port() });
    std::unique_ptr<QProcess> agent = startAgent(valueDir.path());
    if (!serveUntil([&] { return sign->packetCount == 2; }, 30000)) {
        out << "vantrel-agent did not send its first show\n";
        return 1;
    }
    std::vector<qint64> toWire;
    std::vector<qint64> commandOnly;
    for (int i = 0; i < kValueSets; ++i) {
        serveUntil([] { return false; }, 1200);
        const int before = sign->packetCount;
        QProcess set;
        QElapsedTimer timer;
        timer.start();
        set.start(QStringLiteral(VANTREL_CLI_PATH),
            { "value", "set", "spaces", QString::number(40 + i), "--program-folder",
                valueDir.path() });
        qint64 finished = -1;
        const bool arrived = serveUntil(
            [&] {
                if (finished < 0 && set.state() == QProcess::NotRunning)
                    finished = timer.elapsed();
                return sign->packetCount > before;
            },
            10000);
        const qint64 wire = timer.elapsed();
        set.waitForFinished(10000);
        if (!arrived) {
            out << "no packet after value set " << i + 1 << '\n';
            return 1;
        }
        toWire.push_back(wire);
        commandOnly.push_back(finished < 0 ? timer.elapsed() : finished);
    }
    stopAgent(*agent);
    std::sort(toWire.begin(), toWire.end());
    std::sort(commandOnly.begin(), commandOnly.end());
    out << "value set to the page's packet at the sign (" << kValueSets
        << " runs, from starting vantrel-cli): median " << toWire[kValueSets / 2] << " ms, worst "
        << toWire.back() << " ms; the vantrel-cli process alone: median "
        << commandOnly[kValueSets / 2] << " ms\n";

    // A clock page on 50 signs: the CPU the agent uses, measured over whole minutes.
    QTemporaryDir clockDir;
    std::vector<std::unique_ptr<LoopbackSign>> signs;
    QList<quint16> ports;
    for (int i = 0; i < kClockSigns; ++i) {
        signs.push_back(countingSign());
        ports << signs.back()->port();
    }
    const auto packets = [&] {
        int n = 0;
        for (const auto &s : signs)
            n += s->packetCount;
        return n;
    };
    writeProgram(clockDir.path(), "\\{time\\}", ports);
    agent = startAgent(clockDir.path());
    if (!serveUntil([&] { return packets() == 2 * kClockSigns; }, 60000)) {
        out << "vantrel-agent did not send its first show to " << kClockSigns << " signs\n";
        return 1;
    }
    const qint64 pid = agent->processId();
    const qint64 cpuBefore = cpuMs(pid);
    QElapsedTimer wall;
    wall.start();
    serveUntil([] { return false; }, qint64(clockSeconds) * 1000);
    const qint64 cpu = cpuMs(pid) - cpuBefore;
    const qint64 elapsed = wall.elapsed();
    const int pageSends = (packets() - 2 * kClockSigns) / kClockSigns;
    out << "clock page on " << kClockSigns << " signs for " << elapsed / 1000 << " s (" << pageSends
        << " minute changes sent, one packet per sign each): " << cpu
        << " ms of CPU (utime + stime, /proc/PID/stat), "
        << QString::number(100.0 * double(cpu) / double(elapsed), 'f', 2) << "% of a core\n";
    stopAgent(*agent);
    return 0;
}
