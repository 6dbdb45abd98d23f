#pragma once

#include "ledpicture.h"
#include "linksettings.h"

#include <QString>
#include <QStringList>

class CliArgs;

// Where `--send` sends: the link of BaseSet.ini in the program folder, or the targets given
// on the command line (--tcp HOST:PORT, repeatable, or --serial PORT [--settings LINE]).
struct SendSetup
{
    LinkSettings link;
    qint16 Trance = 2; // 0 RS232, 1 BlueTooth, 2 TCP/IP, as the settings file says
    bool fromSettingsFile = false; // the link, screen and language come from BaseSet.ini
    // The sign of BaseSet.ini, when it was read; 0 otherwise.
    qint16 ScreenWidth = 0;
    qint16 ScreenHeight = 0;
    qint16 PerPixel = 0;
    bool assumeYes = false; // --yes answers OK to the clear question
    // How pictures become LED colours, as the window sends them: "Pictures" of [EditorSet]
    // in BaseSet.ini, unless --dither or --threshold says otherwise.
    Page::PictureMode pictures = Page::PictureMode::Threshold;
};

namespace SendOptions {

// The options a sending command takes besides its own.
QStringList valueOptions(); // tcp, serial, settings, program-folder
QStringList switches(); // send, yes
QStringList pictureSwitches(); // dither, threshold: they also serve commands that write files
// Whether any option that only makes sense with --send was given.
bool anyGiven(const CliArgs &args);
// The help lines of those options.
QString help();
// The program folder whose BaseSet.ini a send without targets reads, when --program-folder
// is not given: $VANTREL_PROGRAM_FOLDER, else the program folder of this run.
QString defaultProgramFolder();

// Makes --program-folder (else $VANTREL_PROGRAM_FOLDER) the program folder. Without either,
// an installed vantrel-cli prepares the user's folder as the editor's first start does;
// a failure to make it is printed and the folder is used as it is.
void useProgramFolder(const CliArgs &args);

// --dither or --threshold as a mode into `mode`; false (and `mode` untouched) with neither.
bool pictureOption(const CliArgs &args, Page::PictureMode *mode);

// Fills `setup` from the options, reading BaseSet.ini when no target is given. Returns
// CliExit::kOk, or prints the problem and returns the exit status.
int read(const CliArgs &args, const QString &command, SendSetup *setup);

} // namespace SendOptions
