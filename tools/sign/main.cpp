#include "signoptions.h"
#include "signpty.h"
#include "signtcpserver.h"
#include "virtualsign.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadStart = 2;

int g_signalPipe[2] = { -1, -1 };

void onTerminate(int)
{
    const char byte = 1;
    const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
    Q_UNUSED(n)
}

// Turns SIGINT and SIGTERM into an orderly quit of the event loop.
bool catchTermination(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(qintptr(g_signalPipe[0]), QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte = 0;
        const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
        Q_UNUSED(n)
        notifier->setEnabled(false);
        QCoreApplication::quit();
    });
    struct sigaction action
    {
    };
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Past a file-size limit (ulimit -f) a write should fail with EFBIG and be reported like
    // any failed write, not end the program by SIGXFSZ with a half-done job.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = app.arguments();
    args.removeFirst();
    SignOptions options;
    QString error;
    if (!options.parse(args, &error)) {
        err << "vantrel-sign: " << error << "\n\n" << SignOptions::usage();
        return kExitBadStart;
    }
    if (options.help) {
        out << SignOptions::usage();
        return kExitOk;
    }
    if (!catchTermination(app)) {
        err << "vantrel-sign: cannot catch SIGINT and SIGTERM\n";
        return kExitBadStart;
    }

    VirtualSign sign(options.answer);
    if (!options.outFolder.isEmpty() && !sign.setOutputFolder(options.outFolder, &error)) {
        err << "vantrel-sign: " << error << '\n';
        return kExitBadStart;
    }
    sign.onLog = [&](const QString &line) {
        out << line << Qt::endl;
        const QString problem = sign.takeWriteProblem();
        if (!problem.isEmpty())
            err << "vantrel-sign: " << problem << Qt::endl;
    };

    SignTcpServer server(sign);
    if (!server.listen(options.tcpAddress, options.tcpPort, &error)) {
        err << "vantrel-sign: " << error << '\n';
        return kExitBadStart;
    }
    out << "tcp " << server.address() << Qt::endl;

    SignPty pty(sign);
    if (options.pty) {
        if (!pty.open(&error)) {
            err << "vantrel-sign: " << error << '\n';
            return kExitBadStart;
        }
        out << "pty " << pty.devicePath() << Qt::endl;
    }

    const int status = app.exec();
    pty.close();
    return status;
}
