#pragma once

#include "classinifile.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The text of a show file split into sections, with the checks a file from someone else needs
// before any of it is believed: valid UTF-8, no NUL bytes, no value longer than the INI store
// keeps. The rules of sections, keys and comments are those of classIniFile.
namespace ShowText {

// Show files are small (a full list of 32767 rows is about 6 MB); larger files are refused
// before they are read.
constexpr qint64 kMaxShowBytes = 16 * 1024 * 1024;

// What is wrong with the text; `line` is 1-based, `section` and `key` are those the line
// belongs to ("" when it precedes them).
struct Fault
{
    enum class Kind {
        None,
        NotUtf8, // the line is not valid UTF-8
        NulByte, // the line holds a NUL byte
        ValueTooLong, // the value is longer than classIniFile::kMaxValueBytes bytes
    };
    Kind kind = Kind::None;
    int line = 0;
    QString section;
    QString key;
};

// Splits `bytes` (a leading UTF-8 byte-order mark is dropped) into sections. Stops at the
// first fault and returns false with `fault` set; `sections` is then incomplete.
bool parse(const QByteArray &bytes, QList<IniSection> *sections, Fault *fault);

} // namespace ShowText
