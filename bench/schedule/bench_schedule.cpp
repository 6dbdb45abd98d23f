// A 500-entry schedule: the entry in force for every minute of a year, the next change from
// every hour, and "schedule check" (in this process and as vantrel-cli run by a user).

#include "agentplan.h"
#include "schedulefile.h"
#include "wallclock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr int kEntries = 500;
constexpr int kShows = 10;
constexpr int kCheckRuns = 7;

QString hhmm(int minute)
{
    return WallClock::minuteText(minute);
}

// Entries of every kind: spans of a few hours on some days or every day (some past midnight),
// date ranges.
QByteArray scheduleText(int shows)
{
    QRandomGenerator random(7);
    const QStringList days { "Mon-Fri", "Sat,Sun", "Mon,Wed,Fri", "Tue", "Fri-Mon" };
    QByteArray text = "[Schedule]\nVersion=1\nDefault=show0.vshow\n\n";
    for (int i = 1; i <= kEntries; ++i) {
        const int from = int(random.bounded(24 * 4)) * 15;
        int to = (from + 15 + int(random.bounded(12)) * 15) % (24 * 60);
        if (to == from)
            to = (from + 60) % (24 * 60);
        text += QStringLiteral("[Entry%1]\nShow=show%2.vshow\n").arg(i).arg(i % shows).toUtf8();
        switch (i % 4) {
        case 0:
            text += QStringLiteral("Days=%1\nFrom=%2\nTo=%3\n")
                        .arg(days.at(i % days.size()), hhmm(from), hhmm(to))
                        .toUtf8();
            break;
        case 1: {
            const QDate first = QDate(2026, 1, 1).addDays(random.bounded(365));
            text += QStringLiteral("Dates=%1..%2\n")
                        .arg(first.toString(Qt::ISODate),
                            first.addDays(random.bounded(10)).toString(Qt::ISODate))
                        .toUtf8();
            break;
        }
        case 2:
            text += QStringLiteral("Days=%1\nFrom=%2\nTo=%3\n")
                        .arg(days.at((i + 2) % days.size()), hhmm(from), hhmm(to))
                        .toUtf8();
            break;
        default:
            // Half an hour now and then: most moments pass every entry to reach the default.
            text += QStringLiteral("Days=%1\nFrom=%2\nTo=%3\n")
                        .arg(days.at(i % days.size()), hhmm(from), hhmm((from + 30) % (24 * 60)))
                        .toUtf8();
        }
        text += '\n';
    }
    return text;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(VANTREL_SOURCE_DIR "/data/samples/welcome.rtf"),
        dir.filePath("welcome.rtf"));
    for (int s = 0; s < kEntries; ++s) {
        writeFile(dir.filePath(QStringLiteral("show%1.vshow").arg(s)),
            "[Show]\nVersion=1\n\n[Row1]\nFile Path=welcome.rtf\nEffect=0\nSpeed=3\nTimes=0\n"
            "Repeat=1\nEEffect=0\nESpeed=3\nETime=0\nERepeat=1\nTWidth=8\nTHeight=1\n");
    }
    writeFile(dir.filePath("BaseSet.ini"),
        "[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\nMaxIPList=10\n\n"
        "[TranceSet]\nTrance=2\nIPStr=127.0.0.1,5005,1\n\n[Language]\nLanguage=English\n");
    const QString path = dir.filePath("week.vsched");
    writeFile(path, scheduleText(kShows));
    const ScheduleFile::ReadResult read = ScheduleFile::read(path, "English");
    if (!read.ok) {
        out << read.message << '\n';
        return 1;
    }
    const Schedule &schedule = read.schedule;

    // Every minute of 2026 in the local zone, daylight-saving days included.
    QElapsedTimer timer;
    timer.start();
    const QDateTime yearStart(QDate(2026, 1, 1), QTime(0, 0));
    const qint64 minutes = yearStart.secsTo(QDateTime(QDate(2027, 1, 1), QTime(0, 0))) / 60;
    qint64 defaults = 0;
    for (qint64 m = 0; m < minutes; ++m) {
        if (schedule.entryAt(WallClock::wallAt(yearStart.addSecs(m * 60))) == Schedule::kDefault)
            ++defaults;
    }
    const double yearMs = timer.nsecsElapsed() / 1e6;
    out << "entry in force, every minute of 2026 (" << minutes << " moments, " << kEntries
        << " entries, " << defaults << " under Default): " << qRound(yearMs) << " ms, "
        << QString::number(yearMs * 1000 / minutes, 'f', 2) << " us each\n";

    // The worst case: no entry applies at any moment, so each one is looked at every minute.
    Schedule none = schedule;
    for (ScheduleEntry &e : none.entries)
        e.firstDate = e.lastDate = QDate(2020, 1, 1);
    timer.restart();
    for (qint64 m = 0; m < minutes; ++m)
        none.entryAt(WallClock::wallAt(yearStart.addSecs(m * 60)));
    const double noneMs = timer.nsecsElapsed() / 1e6;
    out << "the same where no entry ever applies (all " << kEntries
        << " looked at): " << qRound(noneMs) << " ms, "
        << QString::number(noneMs * 1000 / minutes, 'f', 2) << " us each\n";

    timer.restart();
    const int hours = int(minutes / 60);
    for (int h = 0; h < hours; ++h)
        WallClock::nextChange(schedule, yearStart.addSecs(qint64(h) * 3600));
    const double nextMs = timer.nsecsElapsed() / 1e6;
    out << "next change, from every hour of 2026 (" << hours << "): " << qRound(nextMs) << " ms, "
        << QString::number(nextMs * 1000 / hours, 'f', 1) << " us each\n";

    for (const int shows : { kShows, kEntries }) {
        writeFile(path, scheduleText(shows));
        std::vector<double> inProcess;
        std::vector<double> cli;
        for (int run = 0; run < kCheckRuns; ++run) {
            timer.restart();
            const AgentPlan plan = AgentPlan::load(path, dir.path());
            inProcess.push_back(timer.nsecsElapsed() / 1e6);
            if (!plan.ok) {
                out << plan.problem << '\n';
                return 1;
            }
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("VANTREL_PROGRAM_FOLDER", dir.path());
            process.setProcessEnvironment(env);
            timer.restart();
            process.start(QStringLiteral(VANTREL_CLI_PATH), { "schedule", "check", path });
            process.waitForFinished(60000);
            cli.push_back(timer.nsecsElapsed() / 1e6);
            if (process.exitCode() != 0) {
                out << process.readAllStandardError();
                return 1;
            }
        }
        out << "schedule check, " << kEntries << " entries naming " << shows << " shows (median of "
            << kCheckRuns << "): " << QString::number(median(inProcess), 'f', 1)
            << " ms in process, " << QString::number(median(cli), 'f', 1)
            << " ms as a vantrel-cli run\n";
    }
    return 0;
}
