#pragma once

#include <QString>
#include <QStringList>

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

CliRun runCli(const QStringList &arguments, const QString &programFolder = {});
