#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

// One run of vantrel-cli, with this process's event loop turning meanwhile (so that signs and
// terminals served here answer): stdin is empty (so nothing is confirmed unless --yes) and
// VANTREL_PROGRAM_FOLDER is `programFolder` or unset. exitCode is -1 for a crash or a hang.
struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;

    QStringList outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

inline CliRun runCli(const QStringList &arguments, const QString &programFolder = {})
{
    constexpr int kRunWaitMs = 30000;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("VANTREL_PROGRAM_FOLDER"));
    if (!programFolder.isEmpty())
        env.insert(QStringLiteral("VANTREL_PROGRAM_FOLDER"), programFolder);
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(VANTREL_CLI_PATH), arguments);
    CliRun run;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(kRunWaitMs, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning || process.error() == QProcess::FailedToStart) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
