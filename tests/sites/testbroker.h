#pragma once

#include "mqttclient.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real mosquitto for one test, listening on a free port of 127.0.0.1 only. Stopped (and
// killed if need be) when it goes.
class TestBroker
{
public:
    ~TestBroker();

    // Makes in `folder` a certificate authority "ca.pem", another "other-ca.pem", and
    // "server.pem" with "server.key" signed by the first, for 127.0.0.1. False with `why`.
    static bool makeCertificates(const QString &folder, QString *why);
    // Serves TLS only, with the files of makeCertificates in `folder`. Call before start().
    void useTls(const QString &folder) { m_tlsFolder = folder; }

    // Takes only these users ("name:password" each), and with `acl` (mosquitto's acl_file
    // text) gives them only what it allows. Call before start().
    void useUsers(const QStringList &users, const QByteArray &acl = {})
    {
        m_users = users;
        m_acl = acl;
    }

    // Starts it. False with `why` when mosquitto is missing or did not come up within a few
    // seconds.
    bool start(QString *why);
    // Stops it; start() again brings it back on the same port.
    void stop();
    int port() const { return m_port; }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QString m_tlsFolder;
    QStringList m_users;
    QByteArray m_acl;
};

// Tests that need a broker are skipped where mosquitto is missing.
#define START_BROKER_OR_SKIP(broker)                                                               \
    do {                                                                                           \
        QString why_;                                                                              \
        if (!(broker).start(&why_))                                                                \
            QSKIP(qPrintable(why_));                                                               \
    } while (false)

// Another client of the broker, keeping the last payload heard on each topic of `filters`.
struct BrokerObserver
{
    explicit BrokerObserver(int port, const QStringList &filters = { QStringLiteral("vantrel/#") },
        const QString &id = QStringLiteral("observer"), const QString &user = {},
        const QString &password = {})
        : client(
            { QStringLiteral("127.0.0.1"), port, false, {}, id, user, password, {}, {}, filters })
    {
        QObject::connect(&client, &MqttClient::messageReceived,
            [this](const QString &topic, const QByteArray &payload) { last[topic] = payload; });
        client.start();
    }
    QJsonObject json(const QString &topic) const
    {
        return QJsonDocument::fromJson(last.value(topic)).object();
    }
    QString field(const QString &topic, const char *name) const
    {
        return json(topic).value(QLatin1String(name)).toString();
    }

    MqttClient client;
    QHash<QString, QByteArray> last;
};
