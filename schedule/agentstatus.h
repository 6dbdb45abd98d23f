#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// What vantrel-agent last did, as it leaves it in "agent-status.ini" in the program folder
// for the window and "vantrel-cli schedule status" to read:
//
//   [Agent]
//   Schedule=/home/shop/week.vsched
//   Entry=Entry1
//   Show=/home/shop/breakfast.vshow
//   Since=2026-12-07T07:00:00
//   Updated=2026-12-07T07:00:03
//
//   [Target1]
//   Target=192.168.1.20:5005
//   Show=/home/shop/breakfast.vshow
//   Result=succeeded
//   Time=2026-12-07T07:00:03
//   Next Retry=
//   Failure=
//
// Times are local ISO 8601 with seconds.
struct AgentTargetStatus
{
    QString target; // "address:port", or the serial port's name
    QString show; // the show last sent (or being sent) to it
    // "succeeded", or how the last try failed ("failed", "not reached", ...), or "pending"
    QString result;
    QDateTime time; // when the last try ended; null before the first
    QDateTime nextRetry; // when it is tried again; null when it is not
    QString failure; // the last failure in words; "" when the last try succeeded

    bool succeeded() const { return result == QLatin1String("succeeded"); }
};

struct AgentStatus
{
    QString schedule; // the schedule file in force
    QString entry; // "Entry3", "Default", or "" when nothing is in force
    QString show; // the show of that entry; "" when the signs keep what they have
    QDateTime since; // when that entry came into force
    QDateTime updated; // when the file was written
    QList<AgentTargetStatus> targets;
};

namespace AgentStatusFile {

// "agent-status.ini".
QString fileName();

// Replaces the file at `path` in one atomic write; false with `reason` when it could not.
bool write(const QString &path, const AgentStatus &status, QString *reason = nullptr);

struct ReadResult
{
    bool ok = false;
    AgentStatus status;
    QString message; // why there is nothing to show, in the user's language
};

// Reads the file at `path`. A missing file is a message saying the agent has not run here.
ReadResult read(const QString &path, const QString &language);

} // namespace AgentStatusFile
