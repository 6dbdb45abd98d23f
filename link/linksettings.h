#pragma once

#include <QString>

struct BaseSettings;

// The settings a link works with, copied from the base settings by the caller so the link
// never reads the global record.
struct LinkSettings
{
    // Serial port: a name (ttyUSB0, ttyS0, rfcomm0), a device path (/dev/pts/3), or a bare
    // number n from a Windows file, meaning COMn = ttyS(n-1).
    QString CommPort;
    // Serial line settings "speed,parity,data bits,stop bits", e.g. 9600,N,8,1.
    QString CommSettings;
    // TCP targets: "address,port,flag" rows joined by ";"; only rows with flag "1" are sent to.
    QString IpStr;
    // Interface language of the prompts: "English", "简体中文", "jap" or other.
    QString Language;

    static LinkSettings fromBaseSettings(const BaseSettings &settings);
};
