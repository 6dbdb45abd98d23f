#include "clicommand.h"

#include <QGuiApplication>
#include <QTextStream>

#include <csignal>

namespace {
// Qt's own start-up chatter (a missing XDG_RUNTIME_DIR and the like) would be mistaken for
// the command's answer on stderr; only real failures get through.
void quietMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg || qEnvironmentVariableIsSet("VANTREL_DEBUG"))
        QTextStream(stderr) << message << '\n';
}
} // namespace

int main(int argc, char *argv[])
{
    // Past a file-size limit (ulimit -f) a write should fail with EFBIG and be reported like
    // any failed write, not end the program by SIGXFSZ with a half-done job.
    std::signal(SIGXFSZ, SIG_IGN);
    qInstallMessageHandler(quietMessageHandler);
    // Rendering pages needs fonts but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();

    if (args.isEmpty())
        return cliUsage({}, QStringLiteral("no command given"));
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h")
        || name == QLatin1String("help")) {
        QTextStream(stdout) << cliUsageText(args.value(0));
        return CliExit::kOk;
    }
    for (const CliCommand &command : cliCommands()) {
        if (command.name != name)
            continue;
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            QTextStream(stdout) << cliUsageText(name);
            return CliExit::kOk;
        }
        return command.run(args);
    }
    return cliUsage({}, QStringLiteral("unknown command %1").arg(name));
}
