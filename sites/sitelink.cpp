#include "sitelink.h"

#include "homeassistant.h"
#include "localtext.h"

#include <QDateTime>

SiteLink::SiteLink(SitesSettings settings, QString programFolder, QString language, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
    , m_programFolder(std::move(programFolder))
    , m_language(std::move(language))
    , m_bundles(m_programFolder, m_language)
{ }

SiteLink::~SiteLink()
{
    stop();
}

void SiteLink::setBundleChecker(BundleStore::Checker checker)
{
    m_bundles = BundleStore(m_programFolder, m_language, std::move(checker));
}

bool SiteLink::start(QString *reason)
{
    if (m_client)
        return true;
    MqttClient::Options options;
    options.host = m_settings.host;
    options.port = m_settings.port;
    options.tls = m_settings.tls;
    options.caFile = m_settings.caFile;
    options.clientId = QStringLiteral("vantrel-site-") + m_settings.site;
    options.user = m_settings.user;
    if (!m_settings.passwordFile.isEmpty()
        && !SitesSettingsFile::readPassword(
            m_settings.passwordFile, m_language, &options.password, reason))
        return false;
    options.willTopic = SiteTopics::statusTopic(m_settings.site);
    options.willPayload = SiteTopics::offlineStatus(m_settings.site);
    options.subscriptions = SiteTopics::subscriptions(m_settings.site);
    m_client = new MqttClient(options, this);
    connect(m_client, &MqttClient::connected, this, &SiteLink::onConnected);
    connect(m_client, &MqttClient::disconnected, this, [this](const QString &why) {
        log(QStringLiteral("Broker %1: not connected (%2); trying again.")
                .arg(m_settings.broker, why),
            QStringLiteral("代理服务器 %1：未连接（%2）；将重试。").arg(m_settings.broker, why));
        emit connectedChanged(false, why);
    });
    connect(m_client, &MqttClient::messageReceived, this, &SiteLink::onMessage);
    if (!m_client->start(reason)) {
        delete m_client;
        m_client = nullptr;
        return false;
    }
    return true;
}

void SiteLink::stop()
{
    if (!m_client)
        return;
    // A goodbye keeps the broker from publishing the will, so the status says it instead.
    m_client->publish(
        SiteTopics::statusTopic(m_settings.site), SiteTopics::offlineStatus(m_settings.site), true);
    m_client->disconnect(this);
    m_client->stop();
    delete m_client;
    m_client = nullptr;
}

bool SiteLink::isConnected() const
{
    return m_client && m_client->isConnected();
}

QString SiteLink::currentSchedule() const
{
    return m_bundles.currentSchedule();
}

void SiteLink::setStatus(const AgentStatus &status)
{
    m_status = status;
    publishStatus();
}

void SiteLink::reportError(const QString &topic, const QString &reason)
{
    log(QStringLiteral("%1 refused: %2").arg(topic, reason),
        QStringLiteral("%1 被拒绝：%2").arg(topic, reason));
    if (m_client)
        m_client->publish(
            SiteTopics::errorTopic(m_settings.site), SiteTopics::errorPayload(topic, reason));
}

void SiteLink::onConnected()
{
    m_ownScheduleSeen = false;
    m_announced.clear();
    m_messageAnnounced = false;
    log(QStringLiteral("Broker %1: connected as site %2.").arg(m_settings.broker, m_settings.site),
        QStringLiteral("代理服务器 %1：已作为站点 %2 连接。")
            .arg(m_settings.broker, m_settings.site));
    publishStatus();
    emit connectedChanged(true, {});
}

void SiteLink::publishStatus()
{
    announceToHomeAssistant();
    if (m_client)
        m_client->publish(SiteTopics::statusTopic(m_settings.site),
            SiteTopics::onlineStatus(m_settings.site, m_status, QDateTime::currentDateTime()),
            true);
}

void SiteLink::announceToHomeAssistant()
{
    if (!m_settings.homeAssistant || !isConnected())
        return;
    QList<HomeAssistantDiscovery::Config> configs;
    if (!m_messageAnnounced)
        configs.append(HomeAssistantDiscovery::messageEntity(m_settings.site));
    for (const AgentTargetStatus &target : std::as_const(m_status.targets)) {
        if (!m_announced.contains(target.target))
            configs.append(HomeAssistantDiscovery::signSensor(m_settings.site, target.target));
    }
    for (const HomeAssistantDiscovery::Config &config : std::as_const(configs)) {
        if (!m_client->publish(config.topic, config.payload, true))
            return; // the connection went: all again on the next
    }
    m_messageAnnounced = true;
    for (const AgentTargetStatus &target : std::as_const(m_status.targets))
        m_announced.insert(target.target);
}

void SiteLink::onMessage(const QString &topic, const QByteArray &payload, bool retained)
{
    const SiteTopics::Incoming incoming = SiteTopics::classify(topic, m_settings.site);
    QString reason;
    switch (incoming.kind) {
    case SiteTopics::Incoming::Kind::Say: {
        // A retained message would come back on every reconnect, long after it was meant.
        if (retained) {
            log(QStringLiteral("%1: a retained message is not shown.").arg(topic),
                QStringLiteral("%1：保留的消息不会显示。").arg(topic));
            return;
        }
        SiteTopics::SayRequest request;
        if (SiteTopics::parseSay(payload, m_language, &request, &reason))
            emit sayRequested(request);
        else
            reportError(topic, reason);
        return;
    }
    case SiteTopics::Incoming::Kind::Value: {
        QString value;
        if (SiteTopics::parseValue(incoming.valueName, payload, m_language, &value, &reason))
            emit valueRequested(incoming.valueName, value);
        else
            reportError(topic, reason);
        return;
    }
    case SiteTopics::Incoming::Kind::Schedule:
        onSchedule(topic, payload, incoming.forAll);
        return;
    case SiteTopics::Incoming::Kind::Other:
        return;
    }
}

void SiteLink::onSchedule(const QString &topic, const QByteArray &payload, bool forAll)
{
    if (payload.isEmpty()) {
        if (!forAll)
            m_ownScheduleSeen = false;
        return;
    }
    if (forAll && m_ownScheduleSeen) {
        log(QStringLiteral("%1: passed over, this site has a schedule of its own.").arg(topic),
            QStringLiteral("%1：已略过，本站点有自己的时间表。").arg(topic));
        return;
    }
    if (!forAll)
        m_ownScheduleSeen = true;
    const BundleStore::Result result = m_bundles.install(payload);
    switch (result.outcome) {
    case BundleStore::Result::Outcome::Refused:
        reportError(topic, result.reason);
        return;
    case BundleStore::Result::Outcome::Unchanged:
        return;
    case BundleStore::Result::Outcome::Installed:
        log(QStringLiteral("%1: schedule %2 written and in force.").arg(topic, result.schedulePath),
            QStringLiteral("%1：时间表 %2 已写入并生效。").arg(topic, result.schedulePath));
        emit scheduleInstalled(result.schedulePath);
        return;
    }
}

void SiteLink::log(const QString &english, const QString &chinese)
{
    emit logLine(localText(m_language, english, chinese));
}
