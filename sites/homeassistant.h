#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Home Assistant's MQTT discovery for a site, so its signs appear in a dashboard with no
// configuration: a "text" entity whose command topic is the site's say topic, and a "sensor"
// per sign holding the sign's last result, read from the site's status. Both are available
// while the status says "online". The configs are retained under homeassistant/:
//
//   homeassistant/text/vantrel_<site>/message/config
//   homeassistant/sensor/vantrel_<site>/<sign as letters, digits and "_">/config
namespace HomeAssistantDiscovery {

QString prefix(); // "homeassistant"

struct Config
{
    QString topic;
    QByteArray payload; // JSON, compact
};

// The message entity of `site`.
Config messageEntity(const QString &site);
// The sensor of one sign of `site`, named by its target label ("127.0.0.1:5005", "/dev/ttyS0").
Config signSensor(const QString &site, const QString &target);

} // namespace HomeAssistantDiscovery
