#pragma once

#include "agentstatus.h"
#include "livepages.h"
#include "schedule.h"
#include "showsender.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class AgentClock;

// Keeps every sign on the show the schedule puts in force. A plain object: the program's
// main() wakes it when it asks to be woken; a test does the same with a clock it sets, so a
// week runs in milliseconds.
//
// When the entry in force changes (and at the start, and after a new schedule), its show is
// sent whole to its targets. A target that did not take it is tried again after 10 s, then
// 20 s, 40 s ... at most 5 min apart, until it does or the entry in force changes.
//
// Pages with fields are kept current: when a page's text changes (a time field's minute, a
// file rewritten, a value set) only its picture packet goes to the signs that have the show,
// at most once a second per page. A sign that does not take it gets the whole show again by
// the same retry rule. A message (showMessage) replaces the show for its seconds, then the
// show is sent whole again.
class ScheduleAgent
{
public:
    static constexpr std::chrono::seconds kFirstRetry { 10 };
    static constexpr std::chrono::seconds kLongestRetry { 300 };
    // The longest sleep: a clock that jumped (suspend, a manual change, an NTP step) is
    // noticed within this.
    static constexpr std::chrono::seconds kLongestSleep { 60 };
    // The shortest time between two sends of one page: faster changes are sent together.
    static constexpr std::chrono::seconds kPageInterval { 1 };

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

    // The folder whose values and files fields show (the program folder).
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

    // Value `name` was set: true when a page in force shows it, and the agent wants a wake()
    // now to send it.
    bool valueChanged(const QString &name) const;
    // The files that file fields of the show in force read: the caller watches them and wakes
    // the agent when one changes. Each wake() reads them again anyway.
    QStringList watchedFiles() const { return m_live.watchedFiles(); }

    // Shows `message` on the signs of the entry in force for `seconds` from now, starting at
    // the next wake() (a request may come during a send's waits), replacing any message shown
    // before; then the show comes back whole. "" when taken, else why not (in the agent's
    // language).
    QString showMessage(const SayRequest &message, int seconds);
    // The message shown now (or about to be), if any, and until when.
    const std::optional<SayRequest> &message() const
    {
        return m_newMessage ? m_newMessage : m_message;
    }
    QDateTime messageUntil() const { return m_newMessage ? m_newMessageUntil : m_messageUntil; }

    // Does what is due now: a change of entry, the end of a message, changed pages, sends and
    // retries. Returns when it wants to be woken next (the next boundary, retry, page change
    // or end of a message, or kLongestSleep from now).
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
    void sendChangedPages(const QDateTime &now);
    void startMessage(const QDateTime &now);
    // Every target needs the show (or the message) sent whole again, from now.
    void resendAll(const QDateTime &now);
    void failed(TargetState &state, AgentTargetStatus &status, const TargetSendResult &result,
        const QString &what, const QDateTime &end);
    Fields::FieldContext fieldContext(const QDateTime &moment) const;
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
    QString m_programFolder;
    LivePages m_live;
    QHash<int, QDateTime> m_pageSentAt; // by row: when its page went last
    QDateTime m_pagesDue; // when a page held back by kPageInterval may go
    std::optional<SayRequest> m_message;
    QDateTime m_messageUntil;
    std::optional<SayRequest> m_newMessage; // taken by showMessage(), shown from the next wake
    QDateTime m_newMessageUntil;
};
