#pragma once

#include "schedule.h"

#include <QDateTime>

// The local wall clock as a schedule reads it, in the system's time zone (TZ).
//
// Daylight-saving days: a wall time skipped when the clocks go forward is reached at the end of
// the gap (02:30 on that day is reached at 03:00). When the clocks go back, the schedule's
// clock stands still at the end of the repeated hour until the real clock has caught up, so a
// wall time in that hour is reached once, at its first occurrence. Read this way the wall
// clock never runs backwards, and every boundary takes effect exactly once.
namespace WallClock {

// The wall time the schedule reads at `moment`.
WallTime wallAt(const QDateTime &moment);

// The first moment after `after` at which the schedule's wall clock reads `wall` or later.
QDateTime firstMomentAt(const WallTime &wall, const QDateTime &after);

// The next moment after `moment` at which a different entry (or the default) comes into force
// in `schedule`; null when nothing changes within kHorizonDays.
constexpr int kHorizonDays = 8;
QDateTime nextChange(const Schedule &schedule, const QDateTime &moment);

// "07:30" for a minute of the day; 1440 is "24:00".
QString minuteText(int minute);

} // namespace WallClock
