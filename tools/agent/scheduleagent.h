#pragma once

#include "agentstatus.h"
#include "schedule.h"
#include "showsender.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>

class AgentClock;

// Keeps every sign on the show the schedule puts in force. A plain object: the program's
// main() wakes it when it asks to be woken; a test does the same with a clock it sets, so a
// week runs in milliseconds.
//
// When the entry in force changes (and at the start, and after a new schedule), its show is
// sent whole to its targets. A target that did not take it is tried again after 10 s, then
// 20 s, 40 s ... at most 5 min apart, until it does or the entry in force changes.
class ScheduleAgent
{
public:
    static constexpr std::chrono::seconds kFirstRetry { 10 };
    static constexpr std::chrono::seconds kLongestRetry { 300 };
    // The longest sleep: a clock that jumped (suspend, a manual change, an NTP step) is
    // noticed within this.
    static constexpr std::chrono::seconds kLongestSleep { 60 };

    // Each line the agent logs, without a line end.
    using LogSink = std::function<void(const QString &line)>;
    // The state after every change, for agent-status.ini.
    using StatusSink = std::function<void(const AgentStatus &status)>;

    // All must outlive the agent.
    ScheduleAgent(AgentClock &clock, ShowSender &sender, LogSink log, StatusSink status = {});

    // Puts `schedule` in force: the entry in force is sent again at the next wake(), whether or
    // not it changed, as the shows may have. `ticked` are the targets of entries without
    // "Targets" (the ticked targets of BaseSet.ini, or the serial port).
    void setSchedule(
        const Schedule &schedule, const QList<AgentTarget> &ticked, const QString &language);

    // Does what is due now: a change of entry, sends and retries. Returns when it wants to be
    // woken next (the next boundary, the next retry, or kLongestSleep from now).
    QDateTime wake();

    // Stops sending: a send in progress is cut short and nothing more is tried.
    void stop();

    const AgentStatus &status() const { return m_status; }
    // The backoff before try `failures` + 1 after `failures` failed tries (from 1).
    static std::chrono::seconds retryDelay(int failures);

private:
    struct TargetState
    {
        AgentTarget target;
        bool done = false;
        int failures = 0;
        QDateTime nextTry;
    };

    void enter(int entry, const QDateTime &now);
    void sendDue(const QDateTime &now);
    void publish(const QDateTime &now);
    void log(const QString &english, const QString &chinese);

    AgentClock &m_clock;
    ShowSender &m_sender;
    LogSink m_log;
    StatusSink m_statusSink;
    QString m_language;
    Schedule m_schedule;
    QList<AgentTarget> m_ticked;
    bool m_fresh = true; // nothing sent for this schedule yet
    bool m_stopped = false;
    int m_entry = Schedule::kDefault;
    QList<TargetState> m_targets;
    AgentStatus m_status;
};
