#pragma once

#include "schedule.h"

#include <QString>

// Schedule files: a UTF-8 INI text (".vsched") read and written through classIniFile.
//
//   [Schedule]
//   Version=1
//   Default=evening.vshow
//
//   [Entry1]
//   Show=breakfast.vshow
//   Days=Mon-Fri
//   From=07:00
//   To=11:00
//
// Entries are sections "Entry<n>", taken in file order: where two cover the same moment the
// first wins. "Days" (Mon..Sun, lists and ranges: "Mon,Wed,Fri", "Sat-Sun"; all days when
// absent), "From"/"To" (HH:MM; the whole day when both are absent), "Dates" (an inclusive
// range "2026-12-20..2026-12-26", or one day) and "Targets" ("address:port" list; the ticked
// targets of BaseSet.ini when absent) are optional, "Show" is not. Show paths are relative to
// the schedule's folder. Unknown keys and sections are ignored.
namespace ScheduleFile {

constexpr int kVersion = 1;

// "vsched", the suffix of schedule files.
QString suffix();
// "Vantrel schedule (*.vsched)" in the user's language, for file dialogs.
QString dialogFilter(const QString &language);

// One entry's keys as the file or the window's table holds them; a null text is a key that is
// absent.
struct EntryTexts
{
    QString section; // "Entry3": messages name the entry by it
    QString show;
    QString days;
    QString from;
    QString to;
    QString dates;
    QString targets;
};

// Reads one entry's texts into `entry`: "" when they are sound, else what is wrong, naming
// the entry and the key, in the user's language. Show files are not looked at.
QString parseEntry(const EntryTexts &texts, const QString &language, ScheduleEntry *entry);
// The texts an entry is written with: absent keys stay null.
EntryTexts textsOf(const ScheduleEntry &entry);

// "Mon-Fri", "Mon,Wed,Fri" for a day mask of ScheduleEntry::days.
QString daysText(int days);

// A schedule as it was read, or why it was refused.
struct ReadResult
{
    bool ok = false;
    Schedule schedule;
    QString message; // what is wrong, naming the entry and key (or the file)
};

// Reads and checks the schedule at `path` and every show it names (by the rules of show
// files). On any fault nothing is returned but the message.
ReadResult read(const QString &path, const QString &language);

// Checks every show `schedule` names by the rules of show files, each once; "" when all are
// sound, else the first fault naming the entry and key.
QString checkShows(const Schedule &schedule, const QString &language);

// Writes `schedule` to `path` in one atomic write, show paths made relative to the folder of
// `path`. Entries are checked first (parseEntry); a bad one writes nothing. False with
// `message` set when nothing was written.
bool write(
    const QString &path, const Schedule &schedule, const QString &language, QString *message);

} // namespace ScheduleFile
