#pragma once

#include "agentstatus.h"
#include "sitelink.h"
#include "sitessettings.h"
#include "sitetopics.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// The agent on its site's broker: the agent's state goes out as the site's status, and what the
// site receives comes in. A value is written where "vantrel-cli value set" writes it; a schedule
// bundle, checked as "vantrel-cli schedule check" checks a schedule, is put in force as a SIGHUP
// re-read does; a message is handed on. The schedule keeps running whatever the broker does.
class SiteAgentBridge : public QObject
{
    Q_OBJECT

public:
    // One line for the log, without a line end.
    using LogSink = std::function<void(const QString &line)>;
    // Puts the schedule at the path in force as SIGHUP does. False when it could not, the old
    // schedule then staying in force.
    using ScheduleSwitch = std::function<bool(const QString &schedulePath)>;
    // A message to show for a while.
    using SayHandler = std::function<void(const SiteTopics::SayRequest &request)>;
    // Value `name` was written.
    using ValueHandler = std::function<void(const QString &name)>;

    // The site of [Sites] in BaseSet.ini of `programFolder`. Null when there is no "Broker"
    // (sites are off: nothing connects) or a value is bad (said in the log).
    static std::unique_ptr<SiteAgentBridge> open(const QString &programFolder, LogSink log);

    SiteAgentBridge(
        SitesSettings settings, QString programFolder, QString language, LogSink logSink);
    ~SiteAgentBridge() override;

    // The schedule to start with: the one last published to this site, when there is one and it
    // passes the check, else `commandLine`. The log says which, and why.
    QString startingSchedule(const QString &commandLine) const;

    void setScheduleSwitch(ScheduleSwitch putInForce) { m_putInForce = std::move(putInForce); }
    // Without these, messages and values are logged.
    void setSayHandler(SayHandler handler) { m_say = std::move(handler); }
    void setValueHandler(ValueHandler handler) { m_valueChanged = std::move(handler); }

    // Starts connecting, and keeps trying. False, saying why in the log, when it cannot start
    // (an unreadable password file, TLS files the library refuses).
    bool start();
    // The agent's state after a change: published retained when connected, and on every
    // connect.
    void statusChanged(const AgentStatus &status);

    SiteLink &link() { return m_link; }

    // What "vantrel-cli schedule check" finds: "" when the schedule at the path can run with
    // the sign of `programFolder`, else why not, naming the entry and key.
    static QString checkSchedule(const QString &schedulePath, const QString &programFolder);

private:
    void onValue(const QString &name, const QString &value);
    void onScheduleInstalled(const QString &schedulePath);
    void log(const QString &english, const QString &chinese) const;

    QString m_programFolder;
    QString m_language;
    LogSink m_log;
    SiteLink m_link;
    ScheduleSwitch m_putInForce;
    SayHandler m_say;
    ValueHandler m_valueChanged;
};
