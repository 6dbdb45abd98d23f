#pragma once

#include "mqttclient.h"
#include "sitessettings.h"

#include <QString>

// The connection options of a window's client of the broker in `settings`: its own client id
// with `role` ("window", "test") and the process id in it, so it never puts off a site's agent
// or another window. False with `reason` (the user's language) when the password file cannot
// be read.
bool windowClientOptions(const SitesSettings &settings, const QString &role,
    const QString &language, MqttClient::Options *options, QString *reason);
