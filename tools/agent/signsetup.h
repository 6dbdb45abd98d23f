#pragma once

#include "basesettings.h"
#include "ledpicture.h"
#include "linksettings.h"
#include "sendjob.h"
#include "showsender.h"

#include <QList>
#include <QString>
#include <QStringList>

// The sign and link of BaseSet.ini in the program folder, and the picture mode of its
// [EditorSet], so the agent and "schedule check" draw and send pages as the window does.
struct SignSetup
{
    BaseSettings base;
    Page::PictureMode pictures = Page::PictureMode::Threshold;

    // Reads BaseSet.ini of `programFolder`; without one, the built-in defaults (the file is
    // not created). `notes` gets a line for each thing worth telling (no file, a value that
    // could not be used).
    static SignSetup load(const QString &programFolder, QStringList *notes);

    const QString &language() const { return base.Language; }
    qint16 perPixel() const { return base.PerPixel > 0 ? base.PerPixel : 16; }
    // The send settings of a show at `showPath` (its pages are relative to its folder), over
    // the serial line (kind Trance) or TCP.
    SendJobSettings jobSettings(const QString &showPath, bool serial) const;
    // The targets of entries without "Targets": the serial port for an RS232 or Bluetooth
    // link, else the ticked TCP targets.
    QList<AgentTarget> tickedTargets() const;
    // Whether the show at `showPath` can be sent: it reads as show files do and every row
    // builds its packets, as "show check" finds. "" when it can, else why not.
    QString showProblem(const QString &showPath) const;
};
