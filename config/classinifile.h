#pragma once

#include "textencoding.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// One section of an INI file read in one pass: its name and its keys, in file order.
struct IniSection
{
    QString name;
    QList<std::pair<QString, QString>> keys;

    // The first value of `key` (letter case ignored); false when the section lacks it.
    bool find(const QString &key, QString *value) const;
};

// Reads, writes and deletes keys of one INI file. Every call goes to the file; nothing is
// cached between calls, so callers create a fresh object for each load or save.
//
// Section and key names match without regard to letter case; values lose their surrounding
// blanks. A write keeps an existing key in its place, adds a missing key to its section and
// a missing section (and file) at the end. Writes replace the file atomically, so an
// interrupted save never leaves a truncated file, and keep the encoding the file was read in.
// Like the profile functions it stands in for, no operation reports failure;
// lastWriteSucceeded() and lastWriteFailure() tell a caller who needs to know.
//
// A file that exists but cannot be read is never written: its keys would be lost. A file
// whose mode lets nobody write it is not written either, also when the program runs as root.

// Why a write or delete left the file as it was.
struct IniWriteFailure
{
    enum class Kind {
        None, // the write reached the disk
        Unreadable, // the file exists but could not be read
        ReadOnly, // the file's mode lets nobody write it
        NoName, // no file name, or a section or key that cannot be written
        System, // the system refused: `reason` holds its words
        TooLong, // a value would not read back whole: `key` names it, `reason` its size
    };
    Kind kind = Kind::None;
    QString reason;
    QString key; // "[Section] Key" of the value that was too long (TooLong only)
};

// Longest value, in bytes of the file's encoding, that a plain read returns whole.
constexpr int kMaxIniValueBytes = 1023;

// One key to write with classIniFile::writeIniKeys.
struct IniKeyValue
{
    QString section;
    QString key;
    QString value;
    // The longest value its reader takes whole; a longer one is refused, never cut.
    int maxBytes = kMaxIniValueBytes;
};

class classIniFile
{
public:
    // Longest value GetIniKey returns, in bytes of the file's encoding.
    static constexpr int kMaxValueBytes = kMaxIniValueBytes;

    QString INIFileName() const { return m_iniFileName; }
    void setINIFileName(const QString &newIniPath) { m_iniFileName = newIniPath; }

    // Writes `strValue` as the value of `strKey` in `strSection`. Line breaks in any of the
    // three would break the file's line structure, so they are written as blanks. A value of
    // more than kMaxValueBytes bytes is refused (TooLong).
    void WriteIniKey(const QString &strSection, const QString &strKey, const QString &strValue);

    // Writes every key as WriteIniKey would, in order, and replaces the file once: either all
    // of them reach the disk or none does. A value longer than its maxBytes leaves the file
    // as it was (TooLong), since reading it back would lose its tail.
    void writeIniKeys(const QList<IniKeyValue> &keys);

    // The key's value cut to kMaxValueBytes bytes, or "" when the file, section or key is
    // missing.
    QString GetIniKey(const QString &strSection, const QString &strKey) const;

    // Looks the key up; true when the section holds it. `value` gets the stored value cut to
    // `maxBytes` bytes of the file's encoding.
    bool findIniKey(const QString &section, const QString &key, QString *value,
        int maxBytes = kMaxValueBytes) const;

    // Removes the key from the section; the section's other keys stay.
    void DelIniKey(const QString &SectionName, const QString &KeyWord);

    // Removes the whole section with all its keys.
    void DelIniSec(const QString &SectionName);

    // Every section with its keys, read in one pass: files of many sections (shows) would
    // cost a read per key otherwise. Values are cut as GetIniKey cuts them; a section that
    // appears twice is listed twice. Empty for a missing file; `exists` says which it was.
    QList<IniSection> GetAllSections(bool *exists = nullptr) const;

    // Replaces the whole file with `sections`, UTF-8, in one atomic write. Names and values
    // are written as WriteIniKey writes them. False, with `reason` when given, when the file
    // could not be written; the old file is then unchanged.
    bool WriteAllSections(const QList<IniSection> &sections, QString *reason = nullptr);

    // Whether the last write or delete reached the disk (true after a delete that had
    // nothing to remove).
    bool lastWriteSucceeded() const { return m_lastFailure.kind == IniWriteFailure::Kind::None; }
    IniWriteFailure lastWriteFailure() const { return m_lastFailure; }

    // False when the file exists but cannot be read; its keys then all read as "".
    bool isReadable() const;

private:
    struct Contents
    {
        QStringList lines;
        TextEncoding encoding = TextEncoding::Utf8;
        bool hadBom = false;
        QString lineEnding = QStringLiteral("\n");
        bool exists = false;
        bool unreadable = false; // exists, but could not be read
    };

    Contents load() const;
    // Replaces the file with `contents`; sets the last failure.
    void store(const Contents &contents);
    // For a change that left nothing to store: success, unless the file could not be read.
    void storeNothing(const Contents &contents);

    QString m_iniFileName;
    IniWriteFailure m_lastFailure;
};
