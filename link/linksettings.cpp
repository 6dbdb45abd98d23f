#include "linksettings.h"

#include "basesettings.h"

LinkSettings LinkSettings::fromBaseSettings(const BaseSettings &settings)
{
    LinkSettings s;
    s.CommPort = settings.CommPort;
    s.CommSettings = settings.CommSettings;
    s.IpStr = settings.IpStr;
    s.Language = settings.Language;
    return s;
}
