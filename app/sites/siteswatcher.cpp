#include "siteswatcher.h"

#include "brokeroptions.h"
#include "bundlebuilder.h"
#include "localtext.h"
#include "mqttclient.h"
#include "sitestable.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

SitesWatcher::SitesWatcher(SitesTable *table, QObject *parent)
    : QObject(parent)
    , m_table(table)
{ }

SitesWatcher::~SitesWatcher()
{
    // Not stop(): the table may already be gone with the pane that owns both.
    delete m_client;
}

bool SitesWatcher::start(const SitesSettings &settings, const QString &language, QString *reason)
{
    stop();
    m_language = language;
    if (!settings.enabled)
        return true;
    MqttClient::Options options;
    if (!windowClientOptions(settings, QStringLiteral("window"), language, &options, reason))
        return false;
    options.subscriptions = { SiteTopics::statusTopic(QStringLiteral("+")),
        SiteTopics::errorTopic(QStringLiteral("+")) };
    m_client = new MqttClient(options, this);
    connect(m_client, &MqttClient::connected, this, [this] { emit connectionChanged(true, {}); });
    connect(m_client, &MqttClient::disconnected, this,
        [this](const QString &why) { emit connectionChanged(false, why); });
    connect(m_client, &MqttClient::messageReceived, m_table,
        [this](const QString &topic, const QByteArray &payload) {
            m_table->takeMessage(topic, payload, QDateTime::currentDateTime());
        });
    if (!m_client->start(reason)) {
        delete m_client;
        m_client = nullptr;
        return false;
    }
    return true;
}

void SitesWatcher::stop()
{
    if (m_client) {
        m_client->stop();
        delete m_client;
        m_client = nullptr;
    }
    m_table->clear();
}

bool SitesWatcher::isConnected() const
{
    return m_client && m_client->isConnected();
}

QByteArray SitesWatcher::sayPayload(const SiteTopics::SayRequest &request)
{
    const QJsonObject object { { QStringLiteral("text"), request.text },
        { QStringLiteral("colour"), request.colour },
        { QStringLiteral("seconds"), request.seconds } };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool SitesWatcher::sendMessage(
    const QString &site, const SiteTopics::SayRequest &request, QString *reason)
{
    const QByteArray payload = sayPayload(request);
    // The sites' own check, so the operator hears now what a site would answer on its error
    // topic.
    SiteTopics::SayRequest read;
    if (!SiteTopics::parseSay(payload, m_language, &read, reason))
        return false;
    return publish(SiteTopics::sayTopic(site), payload, false, reason);
}

bool SitesWatcher::publishSchedule(
    const QString &site, const QString &schedulePath, QString *reason)
{
    const BundleBuilder::Result bundle = BundleBuilder::build(schedulePath, m_language);
    if (!bundle.ok) {
        *reason = bundle.reason;
        return false;
    }
    return publish(
        SiteTopics::scheduleTopic(site), SiteBundle::encode(bundle.contents), true, reason);
}

bool SitesWatcher::publish(
    const QString &topic, const QByteArray &payload, bool retain, QString *reason)
{
    if (!isConnected() || !m_client->publish(topic, payload, retain)) {
        *reason = localText(m_language,
            QStringLiteral("Not connected to the broker: nothing was published to %1.").arg(topic),
            QStringLiteral("未连接到代理服务器：没有发布到 %1。").arg(topic));
        return false;
    }
    return true;
}
