#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at `path` with `bytes` in one step: a temporary file beside it is written
// and renamed over the old one only when every byte reached the disk, so a full disk or a
// crash never leaves a truncated file. On failure `reason` (when given) says why.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason = nullptr);
