#include "homeassistant.h"

#include "sitetopics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace HomeAssistantDiscovery {

namespace {

QString nodeId(const QString &site)
{
    return QStringLiteral("vantrel_") + site;
}

// A topic level and an id: letters, digits and "_" only.
QString objectId(const QString &text)
{
    QString id;
    for (const QChar c : text) {
        const bool plain = c.unicode() < 128 && c.isLetterOrNumber();
        id += plain ? c : QLatin1Char('_');
    }
    return id;
}

// Shared by every entity of the site: one device, present while the site is online.
void addSiteParts(QJsonObject *config, const QString &site)
{
    config->insert(QStringLiteral("availability"),
        QJsonArray { QJsonObject { { QStringLiteral("topic"), SiteTopics::statusTopic(site) },
            { QStringLiteral("value_template"), QStringLiteral("{{ value_json.state }}") } } });
    config->insert(QStringLiteral("device"),
        QJsonObject { { QStringLiteral("identifiers"), QJsonArray { nodeId(site) } },
            { QStringLiteral("name"), QStringLiteral("Vantrel ") + site },
            { QStringLiteral("model"), QStringLiteral("vantrel-agent") } });
}

QString configTopic(const QString &component, const QString &site, const QString &object)
{
    return prefix() + QLatin1Char('/') + component + QLatin1Char('/') + nodeId(site)
        + QLatin1Char('/') + object + QStringLiteral("/config");
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QString prefix()
{
    return QStringLiteral("homeassistant");
}

Config messageEntity(const QString &site)
{
    QJsonObject config { { QStringLiteral("name"), QStringLiteral("Message") },
        { QStringLiteral("unique_id"), nodeId(site) + QStringLiteral("_message") },
        { QStringLiteral("command_topic"), SiteTopics::sayTopic(site) },
        { QStringLiteral("max"), 255 }, { QStringLiteral("icon"), QStringLiteral("mdi:message") } };
    addSiteParts(&config, site);
    return { configTopic(QStringLiteral("text"), site, QStringLiteral("message")),
        compact(config) };
}

Config signSensor(const QString &site, const QString &target)
{
    const QString object = objectId(target);
    QString quoted = target;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\''), QStringLiteral("\\'"));
    // The status lists the targets of the entry in force; a sign not among them is unknown.
    const QString value = QStringLiteral("{% for t in value_json.targets | default([]) "
                                         "if t.target == '%1' %}{{ t.result }}"
                                         "{% else %}unknown{% endfor %}")
                              .arg(quoted);
    QJsonObject config { { QStringLiteral("name"), target },
        { QStringLiteral("unique_id"), nodeId(site) + QLatin1Char('_') + object },
        { QStringLiteral("state_topic"), SiteTopics::statusTopic(site) },
        { QStringLiteral("value_template"), value },
        { QStringLiteral("icon"), QStringLiteral("mdi:led-strip") } };
    addSiteParts(&config, site);
    return { configTopic(QStringLiteral("sensor"), site, object), compact(config) };
}

} // namespace HomeAssistantDiscovery
