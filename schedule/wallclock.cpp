#include "wallclock.h"

#include <algorithm>

namespace WallClock {

namespace {

constexpr qint64 kSecondsPerDay = 24 * 3600;
// Clocks go back by at most a few hours: a repeated hour further back is over.
constexpr qint64 kLookBack = 3 * 3600;
const QDate kEpochDate(1970, 1, 1);

int offsetAt(qint64 utc)
{
    return QDateTime::fromSecsSinceEpoch(utc, Qt::LocalTime).offsetFromUtc();
}

qint64 floorDiv(qint64 a, qint64 b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Seconds since 1970-01-01 00:00 of the wall clock the schedule reads at `utc`.
qint64 scheduleLocal(qint64 utc)
{
    const int now = offsetAt(utc);
    const int before = offsetAt(utc - kLookBack);
    qint64 local = utc + now;
    if (before > now) {
        // The clocks went back lately: find the last second of the old offset.
        qint64 lo = utc - kLookBack;
        qint64 hi = utc;
        while (hi - lo > 1) {
            const qint64 mid = lo + (hi - lo) / 2;
            (offsetAt(mid) == before ? lo : hi) = mid;
        }
        local = std::max(local, lo + before);
    }
    return local;
}

WallTime wallOf(qint64 local)
{
    const qint64 day = floorDiv(local, kSecondsPerDay);
    return { kEpochDate.addDays(day), int(local - day * kSecondsPerDay) };
}

qint64 localOf(const WallTime &wall)
{
    return kEpochDate.daysTo(wall.date) * kSecondsPerDay + wall.second;
}

qint64 firstUtcAt(qint64 targetLocal, qint64 afterUtc)
{
    qint64 lo = afterUtc;
    if (scheduleLocal(lo + 1) >= targetLocal)
        return lo + 1;
    // The offset is at most a day either way; a few doublings always pass the target.
    qint64 step = std::max<qint64>(targetLocal - scheduleLocal(lo), 1) + kLookBack;
    qint64 hi = lo + step;
    for (int i = 0; i < 8 && scheduleLocal(hi) < targetLocal; ++i) {
        lo = hi;
        step *= 2;
        hi = lo + step;
    }
    while (hi - lo > 1) {
        const qint64 mid = lo + (hi - lo) / 2;
        (scheduleLocal(mid) >= targetLocal ? hi : lo) = mid;
    }
    return hi;
}

} // namespace

WallTime wallAt(const QDateTime &moment)
{
    return wallOf(scheduleLocal(moment.toSecsSinceEpoch()));
}

QDateTime firstMomentAt(const WallTime &wall, const QDateTime &after)
{
    return QDateTime::fromSecsSinceEpoch(
        firstUtcAt(localOf(wall), after.toSecsSinceEpoch()), Qt::LocalTime);
}

QDateTime nextChange(const Schedule &schedule, const QDateTime &moment)
{
    const qint64 utc = moment.toSecsSinceEpoch();
    const qint64 local = scheduleLocal(utc);
    const int current = schedule.entryAt(wallOf(local));
    const QList<int> minutes = schedule.boundaryMinutes();
    const qint64 today = floorDiv(local, kSecondsPerDay);
    for (qint64 day = today; day <= today + kHorizonDays; ++day) {
        for (int minute : minutes) {
            const qint64 candidate = day * kSecondsPerDay + minute * 60;
            if (candidate <= local)
                continue;
            if (schedule.entryAt(wallOf(candidate)) != current) {
                return QDateTime::fromSecsSinceEpoch(firstUtcAt(candidate, utc), Qt::LocalTime);
            }
        }
    }
    return {};
}

QString minuteText(int minute)
{
    return QStringLiteral("%1:%2")
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

} // namespace WallClock
