#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// A schedule bundle: a schedule with its shows and pages in one message, so a site gets them
// whole or not at all.
//
//   {"version": 1, "schedule": "week.vsched",
//    "files": {"week.vsched": "BASE64", "breakfast.vshow": "BASE64", "menu.rtf": "BASE64"}}
//
// Every file is known by a plain name, and the schedule and its shows name one another by
// those names, so the bundle can be written into one folder of its own.
namespace SiteBundle {

constexpr int kVersion = 1;
// Bigger payloads are refused before they are parsed.
constexpr qint64 kMostBytes = 16 * 1024 * 1024;
// The longest name a file system takes, in bytes of UTF-8.
constexpr int kMostNameBytes = 255;

struct Contents
{
    QString schedule; // the name of the schedule among the files
    QMap<QString, QByteArray> files; // plain name -> bytes
};

struct ParseResult
{
    bool ok = false;
    Contents contents;
    QString reason; // why the bundle was refused, in the user's language
};

// Reads a bundle. Refused whole when it is too big, not JSON, of another version, when a name
// is not plain, a file is not base64, or the schedule is not among the files.
ParseResult parse(const QByteArray &payload, const QString &language);

// Whether `name` names a file in the bundle's own folder: not empty, no "/" or "\", no "..",
// not ".", no control characters, at most kMostNameBytes.
bool isPlainName(const QString &name);

// The payload of a bundle, as a publisher builds it.
QByteArray encode(const Contents &contents);

} // namespace SiteBundle
