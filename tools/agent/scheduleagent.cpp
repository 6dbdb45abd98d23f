#include "scheduleagent.h"

#include "agentclock.h"
#include "localtext.h"
#include "wallclock.h"

#include <QDir>

#include <algorithm>

namespace {

QString timeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

ScheduleAgent::ScheduleAgent(AgentClock &clock, ShowSender &sender, LogSink log, StatusSink status)
    : m_clock(clock)
    , m_sender(sender)
    , m_log(std::move(log))
    , m_statusSink(std::move(status))
{ }

std::chrono::seconds ScheduleAgent::retryDelay(int failures)
{
    std::chrono::seconds delay = kFirstRetry;
    for (int i = 1; i < failures && delay < kLongestRetry; ++i)
        delay *= 2;
    return std::min(delay, kLongestRetry);
}

void ScheduleAgent::setSchedule(
    const Schedule &schedule, const QList<AgentTarget> &ticked, const QString &language)
{
    m_schedule = schedule;
    m_ticked = ticked;
    m_language = language;
    m_fresh = true;
    m_status.schedule = schedule.path;
}

QDateTime ScheduleAgent::wake()
{
    QDateTime now = m_clock.now();
    if (m_stopped)
        return now.addSecs(kLongestSleep.count());
    const int entry = m_schedule.entryAt(WallClock::wallAt(now));
    if (m_fresh || entry != m_entry)
        enter(entry, now);
    sendDue(now);
    if (m_stopped)
        return now.addSecs(kLongestSleep.count());

    // A long send may have run past a boundary: the new entry is due at once.
    now = m_clock.now();
    if (m_schedule.entryAt(WallClock::wallAt(now)) != m_entry)
        return now;
    QDateTime next = now.addSecs(kLongestSleep.count());
    const QDateTime change = WallClock::nextChange(m_schedule, now);
    if (change.isValid() && change < next)
        next = change;
    for (const TargetState &t : std::as_const(m_targets)) {
        if (!t.done && t.nextTry < next)
            next = t.nextTry;
    }
    return next;
}

void ScheduleAgent::stop()
{
    m_stopped = true;
    m_sender.cancel();
}

void ScheduleAgent::enter(int entry, const QDateTime &now)
{
    m_fresh = false;
    m_entry = entry;
    const QString show = m_schedule.showOf(entry);
    const QString name = m_schedule.entryName(entry);
    m_targets.clear();
    m_status.since = now;
    m_status.targets.clear();
    if (show.isEmpty()) {
        m_status.entry.clear();
        m_status.show.clear();
        log(QStringLiteral("No entry is in force and there is no Default: the signs keep what "
                           "they show."),
            QStringLiteral("没有生效的条目，也没有 Default：各显示屏保持当前内容。"));
        publish(now);
        return;
    }
    QList<AgentTarget> targets = m_ticked;
    if (entry != Schedule::kDefault && !m_schedule.entries.at(entry).targets.isEmpty()) {
        targets.clear();
        for (const QString &label : m_schedule.entries.at(entry).targets) {
            AgentTarget target;
            if (AgentTarget::fromLabel(label, &target))
                targets.append(target);
        }
    }
    m_status.entry = name;
    m_status.show = m_schedule.showPath(show);
    for (const AgentTarget &target : std::as_const(targets)) {
        m_targets.append({ target, false, 0, now });
        m_status.targets.append(
            { target.label(), m_status.show, QStringLiteral("pending"), {}, now, {} });
    }
    const QString shown = QDir::toNativeSeparators(show);
    if (targets.isEmpty()) {
        log(QStringLiteral("%1 is in force: %2, but there is no target to send it to (tick a "
                           "TCP target or choose a serial port in BaseSet.ini, or give the "
                           "entry Targets).")
                .arg(name, shown),
            QStringLiteral("%1 生效：%2，但没有发送目标（请在 BaseSet.ini 中勾选 TCP 目标或选择"
                           "串口，或为该条目填写 Targets）。")
                .arg(name, shown));
    } else {
        log(QStringLiteral("%1 is in force: %2 to %3 %4.")
                .arg(name, shown, QString::number(targets.size()),
                    targets.size() == 1 ? QStringLiteral("target") : QStringLiteral("targets")),
            QStringLiteral("%1 生效：%2，发送到 %3 个目标。")
                .arg(name, shown, QString::number(targets.size())));
    }
    publish(now);
}

void ScheduleAgent::sendDue(const QDateTime &now)
{
    QList<int> due;
    QList<AgentTarget> targets;
    for (int i = 0; i < m_targets.size(); ++i) {
        if (!m_targets.at(i).done && m_targets.at(i).nextTry <= now) {
            due.append(i);
            targets.append(m_targets.at(i).target);
        }
    }
    if (due.isEmpty())
        return;
    const QList<TargetSendResult> results = m_sender.send(m_status.show, targets);
    if (m_stopped)
        return;
    const QDateTime end = m_clock.now();
    const QString show = QDir::toNativeSeparators(m_schedule.showOf(m_entry));
    for (int k = 0; k < due.size(); ++k) {
        TargetState &state = m_targets[due.at(k)];
        AgentTargetStatus &status = m_status.targets[due.at(k)];
        const TargetSendResult result = results.value(k);
        const QString label = state.target.label();
        status.time = end;
        status.result = result.result.isEmpty() ? QStringLiteral("failed") : result.result;
        if (result.succeeded) {
            state.done = true;
            status.nextRetry = {};
            status.failure.clear();
            log(QStringLiteral("%1: took %2.").arg(label, show),
                QStringLiteral("%1：已接收 %2。").arg(label, show));
            continue;
        }
        ++state.failures;
        const auto delay = retryDelay(state.failures);
        state.nextTry = end.addSecs(delay.count());
        status.nextRetry = state.nextTry;
        status.failure = result.problem.isEmpty() ? status.result : result.problem;
        log(QStringLiteral("%1: did not take %2 (%3); try %4 in %5 s, at %6.")
                .arg(label, show, status.failure, QString::number(state.failures + 1),
                    QString::number(delay.count()), timeText(state.nextTry)),
            QStringLiteral("%1：未能接收 %2（%3）；%5 秒后（%6）第 %4 次尝试。")
                .arg(label, show, status.failure, QString::number(state.failures + 1),
                    QString::number(delay.count()), timeText(state.nextTry)));
    }
    publish(end);
}

void ScheduleAgent::publish(const QDateTime &now)
{
    m_status.updated = now;
    if (m_statusSink)
        m_statusSink(m_status);
}

void ScheduleAgent::log(const QString &english, const QString &chinese)
{
    m_log(timeText(m_clock.now()) + QLatin1Char(' ') + localText(m_language, english, chinese));
}
