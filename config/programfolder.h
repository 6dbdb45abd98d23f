#pragma once

#include <QString>

// The program folder: where BaseSet.ini, the user's Language.lng and the page files live.
//
// Decided by what is on disk, so a copy of the program's folder (on a USB stick, say) keeps
// its own settings. Executables beside Language.lng make a self-contained program folder:
// the executables' folder (the build's bin/ and any copy of it). Installed, the shipped files
// are in share/vantrel beside the executables' bin/, the executables' folder belongs to the
// system, and the program folder is the user's own data folder, $XDG_DATA_HOME/vantrel (by
// default ~/.local/share/vantrel). With neither, the executables' folder is used. Tests and
// tools may point it elsewhere.
QString programFolder();
void setProgramFolder(const QString &folder);

// `name` inside the program folder, joined with "/".
QString programFilePath(const QString &name);

// True when executables in `executableFolder` are an installed copy: no Language.lng beside
// them, and the shipped files in share/vantrel of their prefix.
bool isInstalledLayout(const QString &executableFolder);

// True when this program runs from an installed copy rather than a self-contained folder.
bool runsInstalled();

// The user's data folder for Vantrel: $XDG_DATA_HOME/vantrel, else ~/.local/share/vantrel.
QString userProgramFolder();

// Where an installed Vantrel keeps what it ships (the language file, the default BaseSet.ini,
// samples/ with the sample pages): share/vantrel beside the executables' bin/. Empty when
// running from a self-contained folder.
QString installedDataFolder();

// The folder whose Language.lng is read: the program folder when it holds one (the user's own
// copy), otherwise, installed, the shipped one; otherwise the program folder.
QString languageFolder();
// The same for given folders; `shipped` may be empty (not installed).
QString languageFolderOf(const QString &folder, const QString &shipped);

// What preparing the program folder did, and why it failed if it did.
struct ProgramFolderSetup
{
    QString folder; // the program folder in use
    bool created = false; // made at this start, with the default settings and sample pages
    QString failedPath; // the file or folder that could not be made; empty on success
    QString reason; // the system's reason for the failure

    bool ok() const { return failedPath.isEmpty(); }
    // A readable account of the failure in `language`; "" on success.
    QString message(const QString &language) const;
};

// Installed runs only (nothing is done in a self-contained or overridden folder): the
// first start creates the user's program folder, filled with the shipped BaseSet.ini and
// sample pages before it appears under its name, so an interrupted start leaves nothing half
// made. A later start only puts back a missing BaseSet.ini; pages the user removed stay away.
ProgramFolderSetup prepareProgramFolder();
// The same for given folders: `shipped` holds BaseSet.ini and samples/.
ProgramFolderSetup prepareProgramFolder(const QString &folder, const QString &shipped);
