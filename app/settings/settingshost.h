#pragma once

#include <QString>

// What the settings dialog needs from the window that opens it. The main window implements
// it over its own link and page window; tests implement it over a link of their own.
class SettingsHost
{
public:
    virtual ~SettingsHost() = default;

    // Opens the link of kind `trance` (0 RS232, 1 BlueTooth, 2 TCP/IP) with the settings
    // record as it now stands, closing the link that is open. True when it opened; on
    // failure the host has already told the user why.
    virtual bool openLink(qint16 trance) = 0;

    // Puts accepted settings into effect in the main window: the text-size selectors show
    // `width` and `height` (modules), the page canvas is sized to them, and the status bar
    // shows "TranceStyle:" followed by the name of link kind `trance`.
    virtual void applyScreenSettings(qint16 width, qint16 height, qint16 trance) = 0;

    // The serial port the host's link holds open right now (a name such as ttyUSB0 or a
    // device path), or "" when none is open. The port list shows it without touching it.
    virtual QString serialPortInUse() const = 0;
};
