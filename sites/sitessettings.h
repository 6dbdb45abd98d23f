#pragma once

#include <QString>

// The [Sites] section of BaseSet.ini: how this machine reaches the MQTT broker its sites
// share. Without "Broker" sites are off and nothing else is read.
//
//   [Sites]
//   Broker=mqtts://broker.example.com
//   Site=shop-12
//   User=shop-12
//   PasswordFile=/etc/vantrel/broker-password
//   CAFile=/etc/ssl/certs/example-ca.pem
//   HomeAssistant=0
struct SitesSettings
{
    static constexpr int kMqttPort = 1883;
    static constexpr int kMqttsPort = 8883;
    // Longest site name: it is a topic level and a client id.
    static constexpr int kMostSiteCharacters = 64;

    bool enabled = false; // "Broker" is given
    QString broker; // as written: mqtt://host[:port] or mqtts://host[:port]
    QString host;
    int port = kMqttPort; // 1883 for mqtt://, 8883 for mqtts:// unless the address gives one
    bool tls = false; // mqtts://: TLS with the broker's certificate checked
    QString site; // letters, digits, "-" and "_"; the host name's when "Site" is absent
    QString user; // "" for none
    QString passwordFile; // absolute; "" for none. The password itself is never kept here.
    QString caFile; // absolute; "" for the system's certificate authorities
    bool homeAssistant = false;
};

namespace SitesSettingsFile {

// "Sites", the section name.
QString section();

struct ReadResult
{
    bool ok = false;
    SitesSettings settings; // sites off when !ok
    // What is wrong, naming the key and its value, in the user's language.
    QString message;
};

// Reads [Sites] of the INI file at `iniPath`. PasswordFile and CAFile may be relative to
// `programFolder`. A bad value turns sites off and says why.
ReadResult read(const QString &iniPath, const QString &programFolder, const QString &language);

// The checks of read(), for values from elsewhere (the window's fields).
ReadResult parse(const QString &broker, const QString &site, const QString &user,
    const QString &passwordFile, const QString &caFile, const QString &homeAssistant,
    const QString &programFolder, const QString &language);

// Whether `site` is a usable site name: 1..kMostSiteCharacters of ASCII letters, digits, "-"
// and "_", and not "all" (the topic level every site listens to).
bool isSiteName(const QString &site);
// The machine's host name reduced to a site name: its first label, characters other than
// letters, digits, "-" and "_" left out; "vantrel" when nothing is left.
QString defaultSiteName(const QString &hostName);

// The password: the first line of `path`, without its line end. False with `reason` (in the
// user's language) when the file cannot be read or holds nothing.
bool readPassword(const QString &path, const QString &language, QString *password, QString *reason);

} // namespace SitesSettingsFile
