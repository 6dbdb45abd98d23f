#pragma once

#include <QString>

// The program folder: the folder of the executables, where BaseSet.ini, Language.lng and
// the page files live. Tests and tools may point it elsewhere.
QString programFolder();
void setProgramFolder(const QString &folder);

// `name` inside the program folder, joined with "/".
QString programFilePath(const QString &name);
