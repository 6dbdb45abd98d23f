#include "weektable.h"

QList<WeekDay> weekTable(const Schedule &schedule, const QDate &anyDay)
{
    const QList<int> minutes = schedule.boundaryMinutes();
    const QDate monday = anyDay.addDays(1 - anyDay.dayOfWeek());
    QList<WeekDay> week;
    for (int d = 0; d < 7; ++d) {
        WeekDay day { monday.addDays(d), {} };
        for (int i = 0; i < minutes.size(); ++i) {
            const int from = minutes.at(i);
            const int to
                = i + 1 < minutes.size() ? minutes.at(i + 1) : ScheduleEntry::kMinutesPerDay;
            const int entry = schedule.entryAt({ day.date, from * 60 });
            if (!day.spans.isEmpty() && day.spans.last().entry == entry)
                day.spans.last().toMinute = to;
            else
                day.spans.append({ from, to, entry });
        }
        week.append(day);
    }
    return week;
}
