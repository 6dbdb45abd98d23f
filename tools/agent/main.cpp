// vantrel-agent: keeps every sign on the show its schedule puts in force, without a window.

#include "agentchannelserver.h"
#include "agentclock.h"
#include "agentloop.h"
#include "agentplan.h"
#include "agentrequests.h"
#include "agentstatus.h"
#include "fieldfilewatcher.h"
#include "linkshowsender.h"
#include "localtext.h"
#include "programfolder.h"
#include "scheduleagent.h"
#include "signalwatcher.h"
#include "messageshow.h"
#include "siteagentbridge.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

namespace {

constexpr int kExitRefused = 2;
constexpr int kExitUsage = 64;

const char kUsage[]
    = "Usage: vantrel-agent SCHEDULE [--program-folder DIR]\n"
      "\n"
      "Keeps every sign on the show that SCHEDULE (a .vsched file) puts in force,\n"
      "sending it whole at the start and whenever the entry in force changes, and\n"
      "trying a sign that did not take it again after 10 s, 20 s, 40 s ... at most\n"
      "5 min apart. One line per event on standard output.\n"
      "\n"
      "Pages with fields are kept current: a page whose text changes (a time\n"
      "field's minute, a file rewritten, a value set) is drawn again and only its\n"
      "picture packet is sent, at most once a second per page.\n"
      "\n"
      "vantrel-cli value set and say --for reach the agent through a local socket\n"
      "in $XDG_RUNTIME_DIR (else in the program folder); no network port is opened.\n"
      "\n"
      "SIGHUP re-reads the schedule, its shows and BaseSet.ini (a bad file is\n"
      "refused and the old schedule stays in force); SIGTERM and SIGINT end it.\n"
      "\n"
      "With a Broker in [Sites] of BaseSet.ini it is a site on that MQTT broker:\n"
      "it publishes its status, takes values and schedules published to the site\n"
      "(the last schedule published wins over SCHEDULE), and keeps the signs\n"
      "running whatever the broker does. See vantrel-agent(1).\n"
      "\n"
      "--program-folder DIR  folder of BaseSet.ini (the sign, its link and the\n"
      "              ticked targets) and of agent-status.ini, where the state is\n"
      "              kept (default: $VANTREL_PROGRAM_FOLDER, else the program\n"
      "              folder vantrel uses)\n"
      "Exit status: 0 ended by a signal, 2 the schedule was refused at the start,\n"
      "64 usage error.\n";

void quietMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg || qEnvironmentVariableIsSet("VANTREL_DEBUG"))
        QTextStream(stderr) << message << '\n';
}

QString entryCount(const Schedule &schedule, const QString &language)
{
    const auto count = schedule.entries.size();
    return localText(language,
        QString::number(count)
            + (count == 1 ? QStringLiteral(" entry") : QStringLiteral(" entries")),
        QStringLiteral("%1 个条目").arg(count));
}

void printLine(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietMessageHandler);
    // Pages are drawn with fonts, never on a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    QString folder = qEnvironmentVariable("VANTREL_PROGRAM_FOLDER");
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        if (!folder.isEmpty())
            setProgramFolder(QDir(folder).absolutePath());
        QTextStream(stdout) << kUsage
                            << "\nProgram folder: " << QDir::toNativeSeparators(programFolder())
                            << '\n';
        return 0;
    }
    const int folderAt = int(args.indexOf(QLatin1String("--program-folder")));
    if (folderAt >= 0) {
        if (folderAt + 1 >= args.size()) {
            QTextStream(stderr) << "vantrel-agent: --program-folder needs a folder\n\n" << kUsage;
            return kExitUsage;
        }
        folder = args.at(folderAt + 1);
        args.remove(folderAt, 2);
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        QTextStream(stderr) << "vantrel-agent: give one schedule file\n\n" << kUsage;
        return kExitUsage;
    }
    if (!folder.isEmpty())
        setProgramFolder(QDir(folder).absolutePath());
    QString schedulePath = QFileInfo(args.first()).absoluteFilePath();
    // A schedule published to the site wins over the command line's.
    const std::unique_ptr<SiteAgentBridge> site = SiteAgentBridge::open(programFolder(), printLine);
    if (site)
        schedulePath = site->startingSchedule(schedulePath);
    const QString statusPath = programFilePath(AgentStatusFile::fileName());

    AgentPlan plan = AgentPlan::load(schedulePath, programFolder());
    for (const QString &note : std::as_const(plan.notes))
        printLine(note);
    if (!plan.ok) {
        QTextStream(stderr) << "vantrel-agent: " << plan.problem << '\n';
        return kExitRefused;
    }

    QString language = plan.setup.language();
    SystemClock clock;
    LinkShowSender sender(plan.setup, programFolder());
    bool statusFailed = false;
    ScheduleAgent agent(clock, sender, printLine, [&](const AgentStatus &status) {
        QString reason;
        const bool written = AgentStatusFile::write(statusPath, status, &reason);
        if (!written && !statusFailed)
            printLine(localText(language,
                QStringLiteral("%1 cannot be written: %2").arg(statusPath, reason),
                QStringLiteral("无法写入 %1：%2").arg(statusPath, reason)));
        statusFailed = !written;
        if (site)
            site->statusChanged(status);
    });
    agent.setProgramFolder(programFolder());
    agent.setSchedule(plan.schedule, plan.setup.tickedTargets(), plan.setup.language());
    printLine(localText(language, QStringLiteral("Started with %1 (%2); state in %3."),
        QStringLiteral("已启动，时间表 %1（%2）；状态保存在 %3。"))
                  .arg(QDir::toNativeSeparators(schedulePath), entryCount(plan.schedule, language),
                      QDir::toNativeSeparators(statusPath)));

    AgentLoop loop(agent, clock);
    FieldFileWatcher files(programFolder());
    QObject::connect(&files, &FieldFileWatcher::changed, &loop, &AgentLoop::wakeNow);
    QObject::connect(&loop, &AgentLoop::woken, &files, [&] { files.watch(agent.watchedFiles()); });
    AgentChannelServer channel(
        [&](const AgentRequest &request) { return answerAgentRequest(request, agent, loop); });
    QString channelProblem;
    if (!channel.listen(programFolder(), &channelProblem))
        printLine(localText(language,
            QStringLiteral("Local requests cannot be taken (%1): value set and say --for will "
                           "not reach this agent.")
                .arg(channelProblem),
            QStringLiteral("无法接收本地请求（%1）：value set 与 say --for 不会通知本代理。")
                .arg(channelProblem)));
    SignalWatcher watcher;
    const auto reload = [&](const QString &path) {
        AgentPlan next = AgentPlan::load(path, programFolder());
        for (const QString &note : std::as_const(next.notes))
            printLine(note);
        if (!next.ok) {
            printLine(localText(language,
                QStringLiteral("The schedule was not re-read: %1 The old schedule stays in force.")
                    .arg(next.problem),
                QStringLiteral("未重新读取时间表：%1 原时间表继续生效。").arg(next.problem)));
            return false;
        }
        schedulePath = path;
        language = next.setup.language();
        printLine(localText(language, QStringLiteral("The schedule was re-read (%1)."),
            QStringLiteral("已重新读取时间表（%1）。"))
                      .arg(entryCount(next.schedule, language)));
        sender.setSetup(next.setup);
        agent.setSchedule(next.schedule, next.setup.tickedTargets(), next.setup.language());
        loop.wakeNow();
        return true;
    };
    QObject::connect(&watcher, &SignalWatcher::reloadRequested, [&] { reload(schedulePath); });
    if (site) {
        site->setScheduleSwitch(reload);
        // Messages and values from the broker take the same way as local requests.
        site->setSayHandler([&](const SiteTopics::SayRequest &request) {
            SayRequest message;
            message.text = request.text;
            parseMessageColour(request.colour, &message.style.colour);
            // A script or a home-automation button cannot pick a size: fit the sign.
            message.style.shrink = true;
            const QString problem = agent.showMessage(message, request.seconds);
            if (!problem.isEmpty())
                printLine(problem);
            else
                loop.wakeNow();
        });
        site->setValueHandler([&](const QString &name) {
            if (agent.valueChanged(name))
                loop.wakeNow();
        });
        site->start();
    }
    QObject::connect(&watcher, &SignalWatcher::stopRequested, [&] {
        printLine(localText(language, QStringLiteral("Stopping."), QStringLiteral("正在停止。")));
        loop.stop();
        agent.stop();
        QCoreApplication::quit();
    });
    if (!watcher.isWatching())
        printLine(localText(language,
            QStringLiteral("Signals cannot be watched: SIGHUP will not re-read the schedule."),
            QStringLiteral("无法监视信号：SIGHUP 将不会重新读取时间表。")));
    loop.wakeNow();
    return app.exec();
}
