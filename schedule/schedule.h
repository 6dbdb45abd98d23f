#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// A time of the local wall clock: a date and a second of that day (0..86399).
struct WallTime
{
    QDate date;
    int second = 0;

    bool operator<(const WallTime &o) const
    {
        return date < o.date || (date == o.date && second < o.second);
    }
    bool operator==(const WallTime &o) const { return date == o.date && second == o.second; }
};

// One entry of a schedule: a show and when it is in force.
struct ScheduleEntry
{
    static constexpr int kMinutesPerDay = 24 * 60;
    static constexpr int kAllDays = 0x7f;

    QString section; // "Entry3", as the file names it: messages name the entry by it
    QString show; // the show file as written, relative to the schedule's folder (or absolute)
    // Bit (d - 1) set for day d of the week (1 Monday .. 7 Sunday); kAllDays when "Days" is
    // absent.
    int days = kAllDays;
    // Minutes of the day, 0..1440. From == 0 and To == 1440 is the whole day. A To earlier
    // than From runs past midnight: the part after midnight belongs to the day it began on.
    int fromMinute = 0;
    int toMinute = kMinutesPerDay;
    bool hasFrom = false; // "From" was given
    bool hasTo = false; // "To" was given
    // The inclusive range of start days from "Dates"; both null when absent.
    QDate firstDate;
    QDate lastDate;
    // "address:port" texts from "Targets"; empty: the ticked targets of BaseSet.ini.
    QStringList targets;

    bool spansMidnight() const { return toMinute < fromMinute; }
    // Whether a run of this entry may begin on `date` (its day of the week and "Dates").
    bool startsOn(const QDate &date) const;
    // Whether the entry is in force at wall time `at`.
    bool coversWall(const WallTime &at) const;
};

// A schedule: entries in file order (the first that covers a moment wins) and the show for
// when none does.
struct Schedule
{
    // Index of the default in the results below: no entry covers the moment.
    static constexpr int kDefault = -1;

    QString path; // the .vsched file, absolute
    QString defaultShow; // as written, relative to the schedule's folder; "" for none
    QList<ScheduleEntry> entries;

    // The index of the first entry in force at wall time `at`, or kDefault.
    int entryAt(const WallTime &at) const;
    // The absolute path of a show named in the schedule.
    QString showPath(const QString &show) const;
    // The show of entry `index` (kDefault: the default), as written; "" when the default has
    // none.
    QString showOf(int index) const;
    // "Entry3", or "Default".
    QString entryName(int index) const;
    // The sorted minutes of the day at which some entry begins or ends, 0 always among them.
    QList<int> boundaryMinutes() const;
};
