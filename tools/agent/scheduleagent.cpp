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
    if (m_newMessage && m_targets.isEmpty())
        m_newMessage.reset(); // the entry that had signs for it has ended
    if (m_newMessage)
        startMessage(now);
    if (m_message && now >= m_messageUntil) {
        m_message.reset();
        log(QStringLiteral("The message has ended; the show comes back."),
            QStringLiteral("消息已结束；恢复节目。"));
        resendAll(now);
    }
    // Pages first, to the signs that have the show: a sign sent the show whole below draws
    // its pages now anyway.
    if (!m_message)
        sendChangedPages(now);
    if (m_stopped)
        return now.addSecs(kLongestSleep.count());
    sendDue(now);
    if (m_stopped)
        return now.addSecs(kLongestSleep.count());

    // A long send may have run past a boundary: the new entry is due at once.
    now = m_clock.now();
    if (m_schedule.entryAt(WallClock::wallAt(now)) != m_entry)
        return now;
    QDateTime next = now.addSecs(kLongestSleep.count());
    const auto sooner = [&](const QDateTime &time) {
        if (time.isValid() && time < next)
            next = std::max(time, now);
    };
    sooner(WallClock::nextChange(m_schedule, now));
    for (const TargetState &t : std::as_const(m_targets)) {
        if (!t.done)
            sooner(t.nextTry);
    }
    if (m_message) {
        sooner(m_messageUntil);
    } else {
        sooner(m_live.nextTimeChange(now));
        sooner(m_pagesDue);
    }
    return next;
}

bool ScheduleAgent::valueChanged(const QString &name) const
{
    return m_live.usesValue(name);
}

QString ScheduleAgent::showMessage(const SayRequest &message, int seconds)
{
    if (m_targets.isEmpty())
        return localText(m_language,
            QStringLiteral("No entry with a show and a target is in force, so no sign would "
                           "show the message."),
            QStringLiteral("当前没有带节目和目标的生效条目，消息不会显示在任何显示屏上。"));
    m_newMessage = message;
    m_newMessageUntil = m_clock.now().addSecs(seconds);
    return {};
}

void ScheduleAgent::startMessage(const QDateTime &now)
{
    const bool replacing = m_message.has_value();
    m_message = std::move(m_newMessage);
    m_messageUntil = m_newMessageUntil;
    m_newMessage.reset();
    QString text = m_message->text;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    log(QStringLiteral("%1 \"%2\" until %3.")
            .arg(replacing ? QStringLiteral("A newer message replaces the old one:")
                           : QStringLiteral("Message"),
                text, timeText(m_messageUntil)),
        QStringLiteral("%1“%2”，直到 %3。")
            .arg(replacing ? QStringLiteral("新消息替换旧消息：") : QStringLiteral("消息"), text,
                timeText(m_messageUntil)));
    resendAll(now);
}

Fields::FieldContext ScheduleAgent::fieldContext(const QDateTime &moment) const
{
    Fields::FieldContext context;
    context.moment = moment;
    context.programFolder = m_programFolder;
    context.language = m_language;
    return context;
}

void ScheduleAgent::resendAll(const QDateTime &now)
{
    for (TargetState &t : m_targets) {
        t.done = false;
        t.failures = 0;
        t.nextTry = now;
    }
    m_pagesDue = {};
    if (!m_message)
        m_live.markAllSent(fieldContext(now));
}

void ScheduleAgent::sendChangedPages(const QDateTime &now)
{
    QStringList problems;
    const QList<int> changed = m_live.changedRows(fieldContext(now), &problems);
    for (const QString &problem : std::as_const(problems))
        log(problem, problem);
    m_pagesDue = {};
    QList<int> rows;
    for (int row : changed) {
        const QDateTime allowed = m_pageSentAt.value(row).addSecs(kPageInterval.count());
        if (!m_pageSentAt.contains(row) || allowed <= now)
            rows.append(row);
        else if (!m_pagesDue.isValid() || allowed < m_pagesDue)
            m_pagesDue = allowed;
    }
    QList<int> have;
    QList<AgentTarget> targets;
    for (int i = 0; i < m_targets.size(); ++i) {
        if (m_targets.at(i).done) {
            have.append(i);
            targets.append(m_targets.at(i).target);
        }
    }
    if (rows.isEmpty() || targets.isEmpty())
        return;
    const QList<TargetSendResult> results = m_sender.sendPages(m_status.show, rows, targets, now);
    if (m_stopped)
        return;
    m_live.markSent(rows);
    for (int row : std::as_const(rows))
        m_pageSentAt.insert(row, now);
    const QDateTime end = m_clock.now();
    QStringList rowTexts;
    for (int row : std::as_const(rows))
        rowTexts.append(QString::number(row));
    const QString show = QDir::toNativeSeparators(m_schedule.showOf(m_entry));
    const QString what = localText(m_language,
        QStringLiteral("%1 %2 of %3")
            .arg(rows.size() == 1 ? QStringLiteral("row") : QStringLiteral("rows"),
                rowTexts.join(QStringLiteral(", ")), show),
        QStringLiteral("%1 的第 %2 行").arg(show, rowTexts.join(QStringLiteral("、"))));
    int took = 0;
    for (int k = 0; k < have.size(); ++k) {
        const TargetSendResult result = results.value(k);
        if (result.succeeded) {
            ++took;
            continue;
        }
        failed(m_targets[have.at(k)], m_status.targets[have.at(k)], result, what, end);
    }
    if (took > 0)
        log(QStringLiteral("%1 drawn again: %2 of %3 targets took it.")
                .arg(what, QString::number(took), QString::number(targets.size())),
            QStringLiteral("%1 已重新绘制：%3 个目标中 %2 个已接收。")
                .arg(what, QString::number(took), QString::number(targets.size())));
    publish(end);
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
    m_live.clear();
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
    m_live.load(m_status.show, fieldContext(now));
    m_pageSentAt.clear();
    m_pagesDue = {};
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
    const QList<TargetSendResult> results = m_message ? m_sender.sendMessage(*m_message, targets)
                                                      : m_sender.send(m_status.show, targets, now);
    if (m_stopped)
        return;
    const QDateTime end = m_clock.now();
    const QString what = m_message
        ? localText(m_language, QStringLiteral("the message"), QStringLiteral("消息"))
        : QDir::toNativeSeparators(m_schedule.showOf(m_entry));
    for (int k = 0; k < due.size(); ++k) {
        TargetState &state = m_targets[due.at(k)];
        AgentTargetStatus &status = m_status.targets[due.at(k)];
        const TargetSendResult result = results.value(k);
        status.time = end;
        if (result.succeeded) {
            state.done = true;
            status.result = result.result;
            status.nextRetry = {};
            status.failure.clear();
            log(QStringLiteral("%1: took %2.").arg(state.target.label(), what),
                QStringLiteral("%1：已接收 %2。").arg(state.target.label(), what));
            continue;
        }
        failed(state, status, result, what, end);
    }
    publish(end);
}

void ScheduleAgent::failed(TargetState &state, AgentTargetStatus &status,
    const TargetSendResult &result, const QString &what, const QDateTime &end)
{
    const QString label = state.target.label();
    state.done = false;
    ++state.failures;
    const auto delay = retryDelay(state.failures);
    state.nextTry = end.addSecs(delay.count());
    status.time = end;
    status.result = result.result.isEmpty() ? QStringLiteral("failed") : result.result;
    status.nextRetry = state.nextTry;
    status.failure = result.problem.isEmpty() ? status.result : result.problem;
    log(QStringLiteral("%1: did not take %2 (%3); try %4 in %5 s, at %6.")
            .arg(label, what, status.failure, QString::number(state.failures + 1),
                QString::number(delay.count()), timeText(state.nextTry)),
        QStringLiteral("%1：未能接收 %2（%3）；%5 秒后（%6）第 %4 次尝试。")
            .arg(label, what, status.failure, QString::number(state.failures + 1),
                QString::number(delay.count()), timeText(state.nextTry)));
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
