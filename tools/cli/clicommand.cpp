#include "clicommand.h"

#include "programfolder.h"
#include "sendsetup.h"

#include <QDir>
#include <QTextStream>

#include <algorithm>

QList<CliCommand> &cliCommands()
{
    static QList<CliCommand> commands;
    return commands;
}

int cliFail(int status, const QString &line)
{
    QTextStream(stderr) << "vantrel-cli: " << line << '\n';
    return status;
}

namespace {

// Which folder's BaseSet.ini a send without targets reads, and why that one.
QString programFolderLines()
{
    QString why;
    if (!qEnvironmentVariableIsEmpty("VANTREL_PROGRAM_FOLDER"))
        why = QStringLiteral("given by VANTREL_PROGRAM_FOLDER");
    else if (runsInstalled())
        why = QStringLiteral("installed: your own data folder");
    else
        why = QStringLiteral("the folder vantrel-cli runs from");
    return QStringLiteral("Program folder: %1\n    (%2)\n"
                          "The program folder holds BaseSet.ini. It is --program-folder DIR when\n"
                          "given, else $VANTREL_PROGRAM_FOLDER, else decided by the files:\n"
                          "executables beside Language.lng (the build's bin folder or any copy\n"
                          "of it) keep it beside them; installed (the shipped files in\n"
                          "share/vantrel), it is $XDG_DATA_HOME/vantrel (~/.local/share/vantrel),\n"
                          "made with the shipped settings and sample pages by the first command\n"
                          "that needs it, of vantrel or of vantrel-cli.\n\n")
        .arg(QDir::toNativeSeparators(SendOptions::defaultProgramFolder()), why);
}

} // namespace

QString cliUsageText(const QString &commandName)
{
    QList<CliCommand> commands = cliCommands();
    std::sort(commands.begin(), commands.end(),
        [](const CliCommand &a, const CliCommand &b) { return a.name < b.name; });
    QString text;
    if (commandName.isEmpty()) {
        text += QStringLiteral("Usage: vantrel-cli COMMAND [OPTIONS]\n\n"
                               "Builds, renders, converts and sends LED sign pages and packets.\n"
                               "Exit status: 0 success, 1 a sign answered failure or was not "
                               "reached, 2 nothing could be built, 64 usage error.\n\n")
            + programFolderLines() + QStringLiteral("Commands:\n");
    }
    for (const CliCommand &c : commands) {
        if (!commandName.isEmpty() && c.name != commandName)
            continue;
        text += QStringLiteral("  vantrel-cli ") + c.synopsis + QLatin1Char('\n');
        for (const QString &line : c.help.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            text += QStringLiteral("      ") + line + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    return text;
}

int cliUsage(const QString &commandName, const QString &problem)
{
    QTextStream err(stderr);
    if (!problem.isEmpty())
        err << "vantrel-cli: " << problem << "\n\n";
    err << cliUsageText(commandName);
    return CliExit::kUsage;
}
