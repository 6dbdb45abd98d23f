#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at `path` with `bytes` in one step: a temporary file beside it is written
// and renamed over the old one only when every byte reached the disk, so a full disk or a
// crash never leaves a truncated file. The new file keeps the old one's permission bits, and
// its owner and group where the system allows. A file whose mode lets nobody write it is
// refused, also for root. On failure `reason` (when given) says why.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason = nullptr);
