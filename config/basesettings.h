#pragma once

#include "classinifile.h"

#include <QList>
#include <QString>

// The highest MaxIPList a settings file may give: the dialog and a send stay quick with this
// many targets.
constexpr int kMostTargetRows = 1000;

// The longest target list ("TranceSet"/"IPStr") that is read and saved whole, in bytes:
// kMostTargetRows rows of the longest host name (253) with a port, flag and separators fit.
// Every other key keeps the plain 1023-byte limit of an INI value.
constexpr int kMaxTargetListBytes = 256 * 1024;

// The one record of screen geometry, link choice, serial settings, TCP targets and interface
// language. Sizes count modules of 16 x 16 LEDs.
struct BaseSettings
{
    qint16 ScreenWidth = 0; // sign width in modules ("ScreenSet"/"ScreenWidth")
    qint16 ScreenHeight = 0; // sign height in modules ("ScreenSet"/"ScreenHeight")
    qint16 PerPixel = 0; // canvas units per module side ("ScreenSet"/"PerPiex")
    qint16 Trance = 0; // link kind: 0 RS232, 1 BlueTooth, 2 TCP/IP; others are "None"
    QString ServerIP; // last address typed in the settings dialog
    QString ServerPort; // last port typed in the settings dialog
    QString CommPort; // serial port: a name (ttyUSB0), a device path, or COM number as text
    QString CommSettings; // "speed,parity,data,stop", e.g. 9600,N,8,1
    QString IpStr; // TCP targets: "address,port,flag" rows joined by ";"; flag 1 = send
    QString Language; // "English", "简体中文" or "jap"
    // Most rows the target list may hold, 0..kMostTargetRows ("ScreenSet"/"MaxIPList"; read,
    // never written).
    qint16 MaxIPList = 0;

    bool operator==(const BaseSettings &other) const;
};

// The global record, alive for the whole run. Core functions take the values they need as
// arguments; only the application shell reaches the record through this accessor.
BaseSettings &baseSettings();

// The values a new BaseSet.ini is created with: 8 x 1 modules, 16 units per module, TCP/IP
// to the virtual sign at 127.0.0.1:5005, 9600,N,8,1, 10 targets at most, English.
BaseSettings defaultBaseSettings();

QString baseSettingsFileName(); // "BaseSet.ini"
QString baseSettingsPath(); // BaseSet.ini in the program folder

// A key that could not be used as stored: it was missing, empty, not a number or out of range,
// and its default was used instead.
struct SettingsProblem
{
    QString section;
    QString key;
    QString storedValue;
    QString usedValue;
};

// What the user should hear about a load.
struct SettingsLoadReport
{
    QString path;
    bool fileCreated = false; // the file was missing and was created with the defaults
    bool createFailed = false; // the file was missing and could not be created
    bool unreadable = false; // the file exists but could not be read; defaults were used
    QList<SettingsProblem> problems;

    bool hasNews() const
    {
        return fileCreated || createFailed || unreadable || !problems.isEmpty();
    }
    // One readable message in the user's language; "" when there is nothing to tell.
    QString message(const QString &language) const;
};

// Fills `settings` from the INI file at `iniPath`. A missing file is created with
// defaultBaseSettings(); integer keys that cannot be used get their default and are reported.
// A file that cannot be read gives defaultBaseSettings() and is left as it is.
// Does not apply the interface language: the shell does that.
SettingsLoadReport LoadBaseSettings(BaseSettings &settings, const QString &iniPath);

// Writes the nine dialog fields in their fixed order ("Language" and "MaxIPList" are left as
// they are), all in one replacement of the file. False when the file could not be written
// (`failure` says why); it is then unchanged. A value that would not read back whole (more
// than kMaxTargetListBytes for IPStr, 1023 bytes for the others) is refused as TooLong.
bool SaveBaseSettings(
    const BaseSettings &settings, const QString &iniPath, IniWriteFailure *failure = nullptr);

// Why a settings file was left as it was, in the user's language, as a clause ("the file is
// read-only"); "" for a write that succeeded.
QString iniWriteFailureReason(const IniWriteFailure &failure, const QString &language);

// The message for a failed save, in the user's language, with the reason when known.
QString settingsSaveFailedMessage(
    const QString &iniPath, const QString &language, const IniWriteFailure &failure = {});
