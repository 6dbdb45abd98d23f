#include "brokercheck.h"

#include "brokeroptions.h"
#include "localtext.h"
#include "mqttclient.h"

#include <QTimer>

BrokerCheck::BrokerCheck(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        finish(false,
            localText(m_language, QStringLiteral("no answer within %1 s").arg(kWait.count()),
                QStringLiteral("%1 秒内无应答").arg(kWait.count())));
    });
}

BrokerCheck::~BrokerCheck()
{
    delete m_client;
}

void BrokerCheck::start(const SitesSettings &settings, const QString &language)
{
    delete m_client;
    m_client = nullptr;
    m_settings = settings;
    m_language = language;
    MqttClient::Options options;
    QString reason;
    if (!windowClientOptions(settings, QStringLiteral("test"), language, &options, &reason)) {
        finish(false, reason);
        return;
    }
    m_client = new MqttClient(options, this);
    connect(m_client, &MqttClient::connected, this, [this] { finish(true, {}); });
    connect(m_client, &MqttClient::disconnected, this,
        [this](const QString &why) { finish(false, why); });
    if (!m_client->start(&reason)) {
        finish(false, reason);
        return;
    }
    m_timer->start(kWait);
}

void BrokerCheck::finish(bool ok, const QString &reason)
{
    m_timer->stop();
    if (m_client) {
        // Deleted later: this may run inside one of the client's own signals.
        m_client->disconnect(this);
        m_client->stop();
        m_client->deleteLater();
        m_client = nullptr;
    }
    const QString &broker = m_settings.broker;
    if (ok) {
        const QString tls = m_settings.tls
            ? localText(m_language, QStringLiteral(" (TLS, certificate checked)"),
                QStringLiteral("（TLS，证书已验证）"))
            : QString();
        emit finished(true,
            localText(m_language,
                QStringLiteral("Connected to %1 as site %2%3.").arg(broker, m_settings.site, tls),
                QStringLiteral("已连接到 %1，站点 %2%3。").arg(broker, m_settings.site, tls)));
    } else {
        emit finished(false,
            localText(m_language, QStringLiteral("%1 was not reached: %2").arg(broker, reason),
                QStringLiteral("无法连接到 %1：%2").arg(broker, reason)));
    }
}
