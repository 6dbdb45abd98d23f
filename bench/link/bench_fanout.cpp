// Whole-send time of one packet to many loopback signs at once, healthy and mixed, and what the
// send costs in memory beyond the packet.

#include "getcolor.h"
#include "link.h"
#include "loopbacksign.h"
#include "promptsink.h"
#include "tcpfanout.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>
#include <QTextStream>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kRemoteSigns = 200;
constexpr int kSignStartMs = 10000;
const QByteArray kTcpSuccess = QByteArray::fromHex("02000088");

class QuietPrompts : public PromptSink
{
public:
    void inform(const QString &, const QString &, PromptIcon) override { }
    bool confirm(const QString &, const QString &) override { return true; }
};

// `answering` signs that answer success, `silent` that never answer, `refusing` ports nobody
// listens on; silent and refusing ones are spread through the list.
struct Fleet
{
    std::vector<std::unique_ptr<LoopbackSign>> signs;
    QList<TcpTarget> targets;

    Fleet(int answering, int silent, int refusing)
    {
        enum Kind { Answers, Silent, Refuses };
        std::vector<Kind> kinds(answering, Answers);
        kinds.insert(kinds.end(), silent, Silent);
        kinds.insert(kinds.end(), refusing, Refuses);
        std::shuffle(kinds.begin(), kinds.end(), std::mt19937(1));
        for (Kind kind : kinds) {
            if (kind == Refuses) {
                targets.append({ "127.0.0.1", QString::number(refusedPort()) });
                continue;
            }
            auto sign = std::make_unique<LoopbackSign>();
            sign->listen();
            sign->answerPieces = { kTcpSuccess };
            sign->keepPackets = false;
            if (kind == Silent)
                sign->behaviour = LoopbackSign::Behaviour::Silent;
            targets.append({ "127.0.0.1", QString::number(sign->port()) });
            signs.push_back(std::move(sign));
        }
    }
};

long maxRssKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

// The signs of the memory figure: `count` answering signs, their ports printed one a line,
// until the parent closes stdin.
int runSigns(int argc, char *argv[], int count)
{
    QCoreApplication app(argc, argv);
    std::vector<std::unique_ptr<LoopbackSign>> signs;
    QTextStream out(stdout);
    for (int i = 0; i < count; ++i) {
        auto sign = std::make_unique<LoopbackSign>();
        sign->listen();
        sign->answerPieces = { kTcpSuccess };
        sign->keepPackets = false;
        out << sign->port() << '\n';
        signs.push_back(std::move(sign));
    }
    out.flush();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char c;
        if (::read(STDIN_FILENO, &c, 1) <= 0)
            app.quit();
    });
    return app.exec();
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--signs") == 0)
        return runSigns(argc, argv, atoi(argv[2]));
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QuietPrompts prompts;
    Link link(&prompts);
    link.setSettings({ {}, {}, {}, QStringLiteral("English") });
    const QByteArray clear = GetColor().ClearScreen();

    const auto run = [&](const QString &what, int answering, int silent, int refusing,
                         const QByteArray &packet, double goalMs) {
        Fleet fleet(answering, silent, refusing);
        QList<double> ms;
        SendOutcome last;
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer timer;
            timer.start();
            last = link.sendToTargets(packet, fleet.targets);
            ms.append(double(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        out << qSetFieldWidth(52) << Qt::left << what << qSetFieldWidth(0)
            << QStringLiteral("median %1 ms (min %2, max %3, %4 runs; goal < %5 ms)  %6")
                   .arg(ms.at(ms.size() / 2), 0, 'f', 1)
                   .arg(ms.first(), 0, 'f', 1)
                   .arg(ms.last(), 0, 'f', 1)
                   .arg(kRuns)
                   .arg(goalMs, 0, 'f', 0)
                   .arg(last.summaryText(QStringLiteral("English")))
            << Qt::endl;
    };

    // A full 34 x 15-module picture frame's size, sent to 200 signs in another process, so the
    // growth of this process's peak memory is the sender's alone.
    const QByteArray picture(32661, '\x55');
    QProcess signs;
    signs.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--signs"), QString::number(kRemoteSigns) });
    QList<TcpTarget> remote;
    while (remote.size() < kRemoteSigns && signs.waitForReadyRead(kSignStartMs)) {
        while (signs.canReadLine())
            remote.append({ "127.0.0.1", QString::fromLatin1(signs.readLine()).trimmed() });
    }
    if (remote.size() < kRemoteSigns) {
        out << "  the sign process did not start" << Qt::endl;
        return 1;
    }
    link.sendToTargets(clear, remote); // the first send sets up what every send uses
    const long before = maxRssKb();
    QElapsedTimer timer;
    timer.start();
    SendOutcome last;
    for (int i = 0; i < kRuns; ++i)
        last = link.sendToTargets(picture, remote);
    out << "Memory, measured first, before the in-process signs below raise the peak:" << Qt::endl;
    out << qSetFieldWidth(52) << Qt::left
        << QStringLiteral("  %1 signs in another process, 32661-byte packet").arg(kRemoteSigns)
        << qSetFieldWidth(0)
        << QStringLiteral("mean %1 ms (%2 runs; goal < 1000 ms)  %3")
               .arg(double(timer.elapsed()) / kRuns, 0, 'f', 1)
               .arg(kRuns)
               .arg(last.summaryText(QStringLiteral("English")))
        << Qt::endl;
    out << QStringLiteral("  sender's peak memory grew by %1 KiB over those sends (one copy of "
                          "the packet per target would be %2 KiB); at most %3 bytes of the "
                          "packet are queued per connection")
               .arg(maxRssKb() - before)
               .arg(kRemoteSigns * picture.size() / 1024)
               .arg(TcpFanOut::kWriteChunk)
        << Qt::endl;
    signs.closeWriteChannel();
    signs.waitForFinished(kSignStartMs);

    out << "One packet to many loopback signs at once (at most "
        << TcpFanOut::kDefaultMaxConnections << " connections open), whole send:" << Qt::endl;
    run(QStringLiteral("  200 signs, all answering"), 200, 0, 0, clear, 1000);
    run(QStringLiteral("  200 signs, 20 of them silent"), 180, 20, 0, clear, 3000);
    run(QStringLiteral("  40 targets, 5 silent, 5 refusing"), 30, 5, 5, clear, 3000);

    return 0;
}
