// vantrel-agent as it runs as a service: the CPU time and memory it uses idle for a minute
// (read from /proc), and the time from a schedule boundary to its first packet at a loopback
// sign.

#include "agentbench.h"
#include "loopbacksign.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <unistd.h>

using namespace AgentBench;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int idleSeconds = envSeconds("VANTREL_BENCH_IDLE_SECONDS", 60);

    QTemporaryDir dir;
    const std::unique_ptr<LoopbackSign> sign = countingSign();
    QFile::copy(QStringLiteral(VANTREL_SOURCE_DIR "/data/samples/welcome.rtf"),
        dir.filePath("welcome.rtf"));
    for (const char *name : { "a.vshow", "b.vshow" }) {
        writeFile(dir.filePath(name),
            "[Show]\nVersion=1\n\n[Row1]\nFile Path=welcome.rtf\nEffect=0\nSpeed=3\nTimes=0\n"
            "Repeat=1\nEEffect=0\nESpeed=3\nETime=0\nERepeat=1\nTWidth=8\nTHeight=1\n");
    }
    writeFile(dir.filePath("BaseSet.ini"),
        QStringLiteral("[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\nMaxIPList=10\n\n"
                       "[TranceSet]\nTrance=2\nIPStr=127.0.0.1,%1,1\n\n[Language]\n"
                       "Language=English\n")
            .arg(sign->port())
            .toUtf8());
    // The boundary: the first whole minute after the idle minute and a margin.
    QDateTime boundary = QDateTime::currentDateTime().addSecs(idleSeconds + 15);
    boundary = QDateTime(boundary.date(), QTime(boundary.time().hour(), boundary.time().minute()))
                   .addSecs(60);
    writeFile(dir.filePath("week.vsched"),
        QStringLiteral("[Schedule]\nVersion=1\nDefault=a.vshow\n\n[Entry1]\nShow=b.vshow\n"
                       "Dates=%1\nFrom=%2\n")
            .arg(boundary.date().toString(Qt::ISODate), boundary.time().toString("HH:mm"))
            .toUtf8());

    QProcess agent;
    agent.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    agent.setStandardOutputFile(QProcess::nullDevice());
    agent.start(QStringLiteral(VANTREL_AGENT_PATH),
        { dir.filePath("week.vsched"), "--program-folder", dir.path() });
    if (!agent.waitForStarted() || !serveUntil([&] { return sign->packetCount == 2; }, 30000)) {
        out << "vantrel-agent did not send its first show\n";
        return 1;
    }
    const qint64 pid = agent.processId();
    serveUntil([] { return false; }, 1000);
    const qint64 cpuBefore = cpuMs(pid);
    serveUntil([] { return false; }, idleSeconds * 1000);
    const qint64 cpuIdle = cpuMs(pid) - cpuBefore;
    out << "vantrel-agent idle for " << idleSeconds << " s: " << cpuIdle
        << " ms of CPU (utime + stime, /proc/PID/stat, " << 1000 / sysconf(_SC_CLK_TCK)
        << " ms resolution), resident " << statusField(pid, "VmRSS") << ", peak "
        << statusField(pid, "VmHWM") << '\n';

    const bool sent = serveUntil([&] { return sign->packetCount >= 3; },
        QDateTime::currentDateTime().msecsTo(boundary) + 30000);
    const qint64 latency = boundary.msecsTo(QDateTime::currentDateTime());
    if (sent) {
        out << "boundary " << boundary.toString("HH:mm:ss")
            << " to the first packet at the sign: " << latency << " ms\n";
    } else {
        out << "no packet after the boundary\n";
    }
    ::kill(pid_t(pid), SIGTERM);
    QElapsedTimer stop;
    stop.start();
    agent.waitForFinished(10000);
    out << "SIGTERM to exit: " << stop.elapsed() << " ms\n";
    return sent ? 0 : 1;
}
