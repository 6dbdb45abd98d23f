#include "brokeroptions.h"

#include <QCoreApplication>

bool windowClientOptions(const SitesSettings &settings, const QString &role,
    const QString &language, MqttClient::Options *options, QString *reason)
{
    options->host = settings.host;
    options->port = settings.port;
    options->tls = settings.tls;
    options->caFile = settings.caFile;
    options->clientId = QStringLiteral("vantrel-%1-%2-%3")
                            .arg(role, settings.site)
                            .arg(QCoreApplication::applicationPid());
    options->user = settings.user;
    return settings.passwordFile.isEmpty()
        || SitesSettingsFile::readPassword(
            settings.passwordFile, language, &options->password, reason);
}
