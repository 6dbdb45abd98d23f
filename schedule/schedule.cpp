#include "schedule.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

bool ScheduleEntry::startsOn(const QDate &date) const
{
    if (!(days & (1 << (date.dayOfWeek() - 1))))
        return false;
    return firstDate.isNull() || (date >= firstDate && date <= lastDate);
}

bool ScheduleEntry::coversWall(const WallTime &at) const
{
    const int from = fromMinute * 60;
    const int to = toMinute * 60;
    if (!spansMidnight())
        return at.second >= from && at.second < to && startsOn(at.date);
    if (at.second >= from)
        return startsOn(at.date);
    // The morning part of a run that began the evening before.
    return at.second < to && startsOn(at.date.addDays(-1));
}

int Schedule::entryAt(const WallTime &at) const
{
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).coversWall(at))
            return i;
    }
    return kDefault;
}

QString Schedule::showPath(const QString &show) const
{
    if (show.isEmpty())
        return {};
    if (QDir::isAbsolutePath(show))
        return QDir::cleanPath(show);
    return QDir::cleanPath(QFileInfo(path).absolutePath() + QLatin1Char('/') + show);
}

QString Schedule::showOf(int index) const
{
    return index == kDefault ? defaultShow : entries.value(index).show;
}

QString Schedule::entryName(int index) const
{
    return index == kDefault ? QStringLiteral("Default") : entries.value(index).section;
}

QList<int> Schedule::boundaryMinutes() const
{
    QList<int> minutes { 0 };
    for (const ScheduleEntry &e : entries) {
        minutes.append(e.fromMinute % ScheduleEntry::kMinutesPerDay);
        minutes.append(e.toMinute % ScheduleEntry::kMinutesPerDay);
    }
    std::sort(minutes.begin(), minutes.end());
    minutes.erase(std::unique(minutes.begin(), minutes.end()), minutes.end());
    return minutes;
}
