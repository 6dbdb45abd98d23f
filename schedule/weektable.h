#pragma once

#include "schedule.h"

#include <QDate>
#include <QList>

// The week of a schedule at a glance: for each day, the stretches of the day and the entry
// (or the default) that wins each. Drawn by the window's week chart, printed by
// "vantrel-cli schedule check".
struct WeekSpan
{
    int fromMinute = 0; // 0..1439
    int toMinute = 0; // 1..1440, after fromMinute
    int entry = Schedule::kDefault; // index into the schedule's entries, or kDefault
};

struct WeekDay
{
    QDate date;
    QList<WeekSpan> spans; // in order, covering the whole day, neighbours differ
};

// The seven days Monday to Sunday of the week that holds `anyDay`, by wall-clock time (the
// short and long days of daylight saving are drawn as ordinary days).
QList<WeekDay> weekTable(const Schedule &schedule, const QDate &anyDay);
