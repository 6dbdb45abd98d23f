// schedule check, at and status: a schedule validated and its week printed, the entry in force
// at a moment, and what vantrel-agent last did.

#include "cliargs.h"
#include "clicommand.h"
#include "sendsetup.h"

#include "agentplan.h"
#include "agentstatus.h"
#include "basesettings.h"
#include "classinifile.h"
#include "programfolder.h"
#include "schedulefile.h"
#include "wallclock.h"
#include "weektable.h"

#include <QDir>
#include <QTextStream>

namespace {

const QString kName = QStringLiteral("schedule");
const QString kFolderOption = QStringLiteral("program-folder");

void useProgramFolder(const CliArgs &args)
{
    const QString folder = args.value(kFolderOption);
    setProgramFolder(
        folder.isEmpty() ? SendOptions::defaultProgramFolder() : QDir(folder).absolutePath());
}

// The language of BaseSet.ini in the program folder; English without one.
QString language()
{
    classIniFile ini;
    ini.setINIFileName(baseSettingsPath());
    const QString language = ini.GetIniKey(QStringLiteral("Language"), QStringLiteral("Language"));
    return language.isEmpty() ? QStringLiteral("English") : language;
}

QString showText(const Schedule &schedule, int entry)
{
    const QString show = schedule.showOf(entry);
    return show.isEmpty() ? QStringLiteral("(the signs keep what they show)")
                          : QDir::toNativeSeparators(show);
}

// Reads the command's options and its one or two positional arguments.
bool readArgs(const QStringList &argv, const QStringList &options, int positional,
    const QString &what, CliArgs *args, int *status)
{
    QString error;
    if (!args->parse(argv, options, {}, &error)) {
        *status = cliUsage(kName, error);
        return false;
    }
    if (args->positional().size() != positional) {
        *status = cliUsage(kName, what);
        return false;
    }
    useProgramFolder(*args);
    return true;
}

int runCheck(const QStringList &argv)
{
    CliArgs args;
    int status = CliExit::kOk;
    if (!readArgs(argv, { kFolderOption, QStringLiteral("week") }, 1,
            QStringLiteral("schedule check needs exactly one schedule file"), &args, &status))
        return status;
    QDate week = QDate::currentDate();
    if (args.has(QStringLiteral("week"))) {
        week = QDate::fromString(args.value(QStringLiteral("week")), Qt::ISODate);
        if (!week.isValid())
            return cliUsage(kName, QStringLiteral("--week takes a date YYYY-MM-DD"));
    }
    const QString path = args.positional().first();
    const AgentPlan plan = AgentPlan::load(path, programFolder());
    for (const QString &note : plan.notes)
        QTextStream(stderr) << "vantrel-cli: " << note << '\n';
    if (!plan.ok)
        return cliFail(CliExit::kRefused, plan.problem);

    const Schedule &schedule = plan.schedule;
    QTextStream out(stdout);
    out << QDir::toNativeSeparators(path) << ": " << schedule.entries.size()
        << (schedule.entries.size() == 1 ? " entry" : " entries") << ", Default "
        << showText(schedule, Schedule::kDefault) << '\n';
    for (int i = 0; i < schedule.entries.size(); ++i) {
        const ScheduleFile::EntryTexts t = ScheduleFile::textsOf(schedule.entries.at(i));
        QStringList when;
        const std::pair<const char *, QString> keys[] = { { "Days", t.days }, { "From", t.from },
            { "To", t.to }, { "Dates", t.dates }, { "Targets", t.targets } };
        for (const auto &[key, value] : keys) {
            if (!value.isNull())
                when << QLatin1String(key) + QLatin1Char('=') + value;
        }
        out << t.section << '\t' << showText(schedule, i) << '\t'
            << (when.isEmpty() ? QStringLiteral("always") : when.join(QLatin1Char(' '))) << '\n';
    }
    out << "every show builds its packets\n";
    const QList<WeekDay> days = weekTable(schedule, week);
    out << "\nThe week of " << days.first().date.toString(Qt::ISODate) << ":\n";
    for (const WeekDay &day : days) {
        out << day.date.toString(QStringLiteral("ddd yyyy-MM-dd")) << '\n';
        for (const WeekSpan &span : day.spans) {
            out << "    " << WallClock::minuteText(span.fromMinute) << '-'
                << WallClock::minuteText(span.toMinute) << '\t' << schedule.entryName(span.entry)
                << '\t' << showText(schedule, span.entry) << '\n';
        }
    }
    return CliExit::kOk;
}

int runAt(const QStringList &argv)
{
    CliArgs args;
    int status = CliExit::kOk;
    if (!readArgs(argv, { kFolderOption }, 2,
            QStringLiteral("schedule at needs a schedule file and a time \"YYYY-MM-DD HH:MM\""),
            &args, &status))
        return status;
    const QString when = args.positional().at(1);
    // The wall-clock time as written, also one that a clock change skips or repeats.
    const QDate date = QDate::fromString(when.trimmed().left(10), Qt::ISODate);
    const QTime time = QTime::fromString(when.trimmed().mid(11), QStringLiteral("HH:mm"));
    if (!date.isValid() || !time.isValid() || when.trimmed().size() != 16) {
        return cliUsage(kName, QStringLiteral("\"%1\" is not a time YYYY-MM-DD HH:MM").arg(when));
    }
    const ScheduleFile::ReadResult read = ScheduleFile::read(args.positional().first(), language());
    if (!read.ok)
        return cliFail(CliExit::kRefused, read.message);
    const Schedule &schedule = read.schedule;
    const int entry = schedule.entryAt({ date, time.msecsSinceStartOfDay() / 1000 });
    QTextStream out(stdout);
    out << schedule.entryName(entry) << '\t' << showText(schedule, entry);
    if (!schedule.showOf(entry).isEmpty())
        out << '\t' << QDir::toNativeSeparators(schedule.showPath(schedule.showOf(entry)));
    out << '\n';
    return CliExit::kOk;
}

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                          : QStringLiteral("-");
}

int runStatus(const QStringList &argv)
{
    CliArgs args;
    int status = CliExit::kOk;
    if (!readArgs(argv, { kFolderOption }, 0, QStringLiteral("schedule status takes no file"),
            &args, &status))
        return status;
    const AgentStatusFile::ReadResult read
        = AgentStatusFile::read(programFilePath(AgentStatusFile::fileName()), language());
    if (!read.ok)
        return cliFail(CliExit::kRefused, read.message);
    const AgentStatus &s = read.status;
    QTextStream out(stdout);
    out << "Schedule: " << QDir::toNativeSeparators(s.schedule) << '\n';
    if (s.entry.isEmpty())
        out << "In force: nothing (the signs keep what they show)";
    else
        out << "In force: " << s.entry << ' ' << QDir::toNativeSeparators(s.show);
    out << " since " << timeText(s.since) << '\n';
    out << "Updated: " << timeText(s.updated) << '\n';
    out << "Target\tResult\tTime\tNext retry\tShow\tFailure\n";
    for (const AgentTargetStatus &t : s.targets) {
        out << t.target << '\t' << t.result << '\t' << timeText(t.time) << '\t'
            << timeText(t.nextRetry) << '\t' << QDir::toNativeSeparators(t.show) << '\t'
            << (t.failure.isEmpty() ? QStringLiteral("-") : t.failure) << '\n';
    }
    return CliExit::kOk;
}

int runSchedule(const QStringList &argv)
{
    const QString what = argv.value(0);
    if (what == QLatin1String("check"))
        return runCheck(argv.mid(1));
    if (what == QLatin1String("at"))
        return runAt(argv.mid(1));
    if (what == QLatin1String("status"))
        return runStatus(argv.mid(1));
    return cliUsage(kName,
        what.isEmpty() ? QStringLiteral("schedule needs check, at or status")
                       : QStringLiteral("schedule takes check, at or status, not %1").arg(what));
}

const CliCommandRegistration kSchedule({
    kName,
    QStringLiteral("schedule (check SCHEDULE [--week DATE] | at SCHEDULE \"YYYY-MM-DD HH:MM\" | "
                   "status) [--program-folder DIR]"),
    QStringLiteral(
        "check:  validates a schedule (.vsched) and every show it names as \"show check\"\n"
        "        does (each row builds its packets), lists the entries and prints the week\n"
        "        (Monday to Sunday): per day the time ranges and the entry and show that\n"
        "        win them; exit 0 when vantrel-agent can run it, 2 (naming the entry and\n"
        "        key) otherwise.\n"
        "at:     names the entry in force at that local time (Default when none) and its\n"
        "        show file.\n"
        "status: prints what vantrel-agent last did, from agent-status.ini in the program\n"
        "        folder: the entry in force and, per target, the result, when, the next\n"
        "        retry and the last failure.\n"
        "--week DATE  the week to print: the one holding DATE (YYYY-MM-DD; default today)\n"
        "--program-folder DIR  folder of BaseSet.ini (the sign and the language) and of\n"
        "              agent-status.ini (default: $VANTREL_PROGRAM_FOLDER, else the\n"
        "              folder of vantrel-cli)"),
    runSchedule,
});

} // namespace
