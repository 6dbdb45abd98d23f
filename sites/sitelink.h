#pragma once

#include "agentstatus.h"
#include "bundlestore.h"
#include "mqttclient.h"
#include "sitessettings.h"
#include "sitetopics.h"

#include <QObject>
#include <QSet>
#include <QString>

// One site on the broker, for whoever keeps the signs (the agent owns one): it publishes the
// status it is given, retained, on every change and on every connect, with "offline" as its
// last will; it installs schedule bundles and hands on messages and values. Refused messages
// are answered on vantrel/<site>/error and change nothing.
//
// With "HomeAssistant=1" it also announces the site to Home Assistant (see
// HomeAssistantDiscovery): on every connect, and for each sign as it first appears in the status.
//
// A site's own retained schedule wins over the one for all sites: while one has been seen on
// this connection, bundles on vantrel/all/schedule are passed over. An empty retained payload
// (a publisher clearing the topic) is no bundle and no error.
class SiteLink : public QObject
{
    Q_OBJECT

public:
    SiteLink(
        SitesSettings settings, QString programFolder, QString language, QObject *parent = nullptr);
    ~SiteLink() override;

    // How schedules are checked before they are put in force; the schedule files' own check
    // without one. Call before start().
    void setBundleChecker(BundleStore::Checker checker);

    // Reads the password and starts connecting. False with `reason` when it cannot start.
    bool start(QString *reason);
    // Publishes "offline" and says goodbye.
    void stop();

    bool isConnected() const;
    const SitesSettings &settings() const { return m_settings; }

    // The schedule of the last bundle put in force (also by an earlier run); "" for none.
    QString currentSchedule() const;

    // The agent's state: published now when connected, and again on every connect.
    void setStatus(const AgentStatus &status);

    // Publishes why a message on `topic` was not used, on vantrel/<site>/error.
    void reportError(const QString &topic, const QString &reason);

signals:
    void connectedChanged(bool connected, const QString &reason);
    // A message to show for a while; a newer replaces an older.
    void sayRequested(const SiteTopics::SayRequest &request);
    void valueRequested(const QString &name, const QString &value);
    // A bundle is written and in force at `schedulePath`: read it as the schedule.
    void scheduleInstalled(const QString &schedulePath);
    // One line for the log, in the user's language.
    void logLine(const QString &line);

private:
    void onConnected();
    void onMessage(const QString &topic, const QByteArray &payload, bool retained);
    void onSchedule(const QString &topic, const QByteArray &payload, bool forAll);
    void publishStatus();
    void announceToHomeAssistant();
    void log(const QString &english, const QString &chinese);

    SitesSettings m_settings;
    QString m_programFolder;
    QString m_language;
    BundleStore m_bundles;
    MqttClient *m_client = nullptr;
    AgentStatus m_status;
    bool m_ownScheduleSeen = false; // on this connection
    QSet<QString> m_announced; // signs announced to Home Assistant on this connection
    bool m_messageAnnounced = false; // on this connection
};
