#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Exit statuses of vantrel-cli.
namespace CliExit {
constexpr int kOk = 0;
constexpr int kSendFailed = 1; // a sign answered failure or a target was not reached
constexpr int kRefused = 2; // nothing could be built (a value out of range, unreadable page)
constexpr int kUsage = 64; // the command line itself is wrong
} // namespace CliExit

// One subcommand of vantrel-cli. Each source file registers its commands with a static
// CliCommandRegistration, so adding a command touches no shared table.
struct CliCommand
{
    QString name;
    QString synopsis; // one line: "packet PAGE --size WxH ..."
    QString help; // the options, one per line
    std::function<int(const QStringList &args)> run; // args after the command name
};

QList<CliCommand> &cliCommands();

struct CliCommandRegistration
{
    explicit CliCommandRegistration(CliCommand command)
    {
        cliCommands().append(std::move(command));
    }
};

// Prints one line to stderr and returns `status`.
int cliFail(int status, const QString &line);
// Prints the usage of one command (or all when empty) to stderr and returns kUsage.
int cliUsage(const QString &commandName, const QString &problem = {});
// The full usage text.
QString cliUsageText(const QString &commandName = {});
