#pragma once

#include <QString>

#include <optional>

// A text read as a whole number the way the program list reads its TWidth and THeight cells:
// optional blanks around an optional sign and decimal digits, within -32768..32767. Empty for
// anything else ("", "8.5", "abc", "99999").
std::optional<qint16> wholeNumber(const QString &text);
