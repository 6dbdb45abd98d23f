#pragma once

#include "sitessettings.h"
#include "sitetopics.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class MqttClient;
class SitesTable;

// The window's client of the broker: it follows every site's status and errors into a
// SitesTable and publishes messages and schedules to sites. It has a client id of its own,
// never an agent's, and publishes no status and no last will.
class SitesWatcher : public QObject
{
    Q_OBJECT

public:
    // `table` outlives the watcher.
    explicit SitesWatcher(SitesTable *table, QObject *parent = nullptr);
    ~SitesWatcher() override;

    // Watches the broker of `settings` from now on (the table starts empty); with sites off,
    // watches nothing. False with `reason` when the client cannot start.
    bool start(const SitesSettings &settings, const QString &language, QString *reason);
    void stop();
    // The language of the reasons given from now on.
    void setLanguage(const QString &language) { m_language = language; }
    bool isWatching() const { return m_client != nullptr; }
    bool isConnected() const;

    // The "say" payload of a message: {"text": ..., "colour": ..., "seconds": ...}.
    static QByteArray sayPayload(const SiteTopics::SayRequest &request);

    // Publishes a message to `site` ("all" for every site). Refused with `reason` when a site
    // would refuse it or the broker is not connected.
    bool sendMessage(const QString &site, const SiteTopics::SayRequest &request, QString *reason);
    // Publishes, retained, the bundle of the schedule at `schedulePath` with its shows and
    // pages to `site` ("all" for every site). Refused with `reason` when no bundle can be
    // built or the broker is not connected.
    bool publishSchedule(const QString &site, const QString &schedulePath, QString *reason);

signals:
    // `reason` says why the connection ended; "" on connecting.
    void connectionChanged(bool connected, const QString &reason);

private:
    bool publish(const QString &topic, const QByteArray &payload, bool retain, QString *reason);

    SitesTable *m_table;
    QString m_language;
    MqttClient *m_client = nullptr;
};
