#pragma once

#include <QString>

// Whether an existing file may be read or replaced, by its mode bits as well as by the
// system's word: root passes the system's check for every file, yet a file that nobody may
// write (0444) is meant to stay as it is, and one that nobody may read (0000) holds settings
// that must not be replaced unseen. A missing file gives false for both.
bool fileModeAllowsReading(const QString &path);
bool fileModeAllowsWriting(const QString &path);
