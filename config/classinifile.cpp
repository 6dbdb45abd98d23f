#include "classinifile.h"

#include "atomicfile.h"
#include "filemode.h"

#include <QFile>

namespace {

// The name of a section header line, or a null string when the line is no header.
QString sectionNameOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return {};
    const int close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    return trimmed.mid(1, close - 1).trimmed();
}

bool isComment(const QString &line)
{
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// Splits a "key=value" line; false for lines that hold no key.
bool splitKeyLine(const QString &line, QString *key, QString *value)
{
    if (isComment(line))
        return false;
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    *key = line.left(eq).trimmed();
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return !key->isEmpty();
}

bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Index of the header line of `section`, or -1. The first matching section wins.
int findSection(const QStringList &lines, const QString &section)
{
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = sectionNameOf(lines.at(i));
        if (!name.isNull() && sameName(name, section))
            return i;
    }
    return -1;
}

// One past the last line of the section whose header is at `header`.
int sectionEnd(const QStringList &lines, int header)
{
    int i = header + 1;
    while (i < lines.size() && sectionNameOf(lines.at(i)).isNull())
        ++i;
    return i;
}

int findKey(const QStringList &lines, int header, int end, const QString &key)
{
    for (int i = header + 1; i < end; ++i) {
        QString name;
        if (splitKeyLine(lines.at(i), &name, nullptr) && sameName(name, key))
            return i;
    }
    return -1;
}

QString singleLine(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String(" "));
    result.replace(QLatin1Char('\r'), QLatin1Char(' '));
    result.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return result;
}

} // namespace

classIniFile::Contents classIniFile::load() const
{
    Contents contents;
    if (m_iniFileName.isEmpty() || !QFile::exists(m_iniFileName))
        return contents;
    contents.exists = true;
    QFile file(m_iniFileName);
    if (!fileModeAllowsReading(m_iniFileName) || !file.open(QIODevice::ReadOnly)) {
        contents.unreadable = true;
        return contents;
    }
    const DecodedText decoded = decodeSettingsText(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        contents.unreadable = true;
        return contents;
    }
    contents.encoding = decoded.encoding;
    contents.hadBom = decoded.hadBom;
    QString text = decoded.text;
    if (text.contains(QLatin1String("\r\n")))
        contents.lineEnding = QStringLiteral("\r\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    contents.lines = text.split(QLatin1Char('\n'));
    // A final line break leaves one empty entry behind; it is written back by store().
    if (!contents.lines.isEmpty() && contents.lines.constLast().isEmpty())
        contents.lines.removeLast();
    return contents;
}

bool classIniFile::isReadable() const
{
    return !load().unreadable;
}

void classIniFile::store(const Contents &contents)
{
    using Kind = IniWriteFailure::Kind;
    m_lastFailure = {};
    if (m_iniFileName.isEmpty()) {
        m_lastFailure.kind = Kind::NoName;
        return;
    }
    // Writing what was read from an unreadable file would replace the user's settings with
    // the few keys of this one write.
    if (contents.unreadable) {
        m_lastFailure.kind = Kind::Unreadable;
        return;
    }
    if (contents.exists && !fileModeAllowsWriting(m_iniFileName)) {
        m_lastFailure.kind = Kind::ReadOnly;
        return;
    }
    QString text;
    for (const QString &line : contents.lines) {
        text += line;
        text += contents.lineEnding;
    }
    if (!writeFileAtomically(m_iniFileName,
            encodeSettingsText(text, contents.encoding, contents.hadBom), &m_lastFailure.reason))
        m_lastFailure.kind = Kind::System;
}

void classIniFile::storeNothing(const Contents &contents)
{
    m_lastFailure = {};
    if (contents.unreadable)
        m_lastFailure.kind = IniWriteFailure::Kind::Unreadable;
}

namespace {

// Puts `key` = `value` into `lines`; false for a section or key that cannot be written.
bool setKey(
    QStringList &lines, const QString &strSection, const QString &strKey, const QString &strValue)
{
    const QString section = singleLine(strSection).trimmed();
    const QString key = singleLine(strKey).trimmed();
    const QString value = singleLine(strValue).trimmed();
    if (section.isEmpty() || key.isEmpty() || key.contains(QLatin1Char('=')))
        return false;

    const int header = findSection(lines, section);
    if (header < 0) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(key + QLatin1Char('=') + value);
        return true;
    }
    const int end = sectionEnd(lines, header);
    const int existing = findKey(lines, header, end, key);
    if (existing >= 0) {
        QString storedKey;
        splitKeyLine(lines.at(existing), &storedKey, nullptr);
        lines[existing] = storedKey + QLatin1Char('=') + value;
        return true;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    int insertAt = end;
    while (insertAt > header + 1 && lines.at(insertAt - 1).trimmed().isEmpty())
        --insertAt;
    lines.insert(insertAt, key + QLatin1Char('=') + value);
    return true;
}

} // namespace

void classIniFile::WriteIniKey(
    const QString &strSection, const QString &strKey, const QString &strValue)
{
    writeIniKeys({ { strSection, strKey, strValue } });
}

void classIniFile::writeIniKeys(const QList<IniKeyValue> &keys)
{
    Contents contents = load();
    for (const IniKeyValue &k : keys) {
        const int bytes = encodedLength(singleLine(k.value).trimmed(), contents.encoding);
        if (bytes > k.maxBytes) {
            m_lastFailure = { IniWriteFailure::Kind::TooLong,
                QStringLiteral("%1 > %2").arg(bytes).arg(k.maxBytes),
                QStringLiteral("[%1] %2").arg(k.section.trimmed(), k.key.trimmed()) };
            return;
        }
        if (!setKey(contents.lines, k.section, k.key, k.value)) {
            m_lastFailure = { IniWriteFailure::Kind::NoName, {} };
            return;
        }
    }
    store(contents);
}

QString classIniFile::GetIniKey(const QString &strSection, const QString &strKey) const
{
    QString value;
    findIniKey(strSection, strKey, &value);
    return value;
}

bool classIniFile::findIniKey(
    const QString &section, const QString &key, QString *value, int maxBytes) const
{
    const Contents contents = load();
    const int header = findSection(contents.lines, section);
    if (header < 0)
        return false;
    const int end = sectionEnd(contents.lines, header);
    const int line = findKey(contents.lines, header, end, key);
    if (line < 0)
        return false;
    QString storedKey;
    QString stored;
    splitKeyLine(contents.lines.at(line), &storedKey, &stored);
    stored.remove(QChar(0));
    if (value)
        *value = truncateToEncodedBytes(stored, contents.encoding, maxBytes).trimmed();
    return true;
}

void classIniFile::DelIniKey(const QString &SectionName, const QString &KeyWord)
{
    Contents contents = load();
    const int header = findSection(contents.lines, SectionName);
    const int end = header < 0 ? -1 : sectionEnd(contents.lines, header);
    const int line = header < 0 ? -1 : findKey(contents.lines, header, end, KeyWord);
    if (line < 0) {
        storeNothing(contents);
        return;
    }
    contents.lines.removeAt(line);
    store(contents);
}

void classIniFile::DelIniSec(const QString &SectionName)
{
    Contents contents = load();
    const int header = findSection(contents.lines, SectionName);
    if (header < 0) {
        storeNothing(contents);
        return;
    }
    const int end = sectionEnd(contents.lines, header);
    contents.lines.erase(contents.lines.begin() + header, contents.lines.begin() + end);
    store(contents);
}

bool IniSection::find(const QString &key, QString *value) const
{
    for (const auto &entry : keys) {
        if (sameName(entry.first, key)) {
            if (value)
                *value = entry.second;
            return true;
        }
    }
    return false;
}

QList<IniSection> classIniFile::GetAllSections(bool *exists) const
{
    const Contents contents = load();
    if (exists)
        *exists = contents.exists;
    QList<IniSection> sections;
    for (const QString &line : contents.lines) {
        const QString name = sectionNameOf(line);
        if (!name.isNull()) {
            sections.append(IniSection { name, {} });
            continue;
        }
        QString key;
        QString value;
        if (sections.isEmpty() || !splitKeyLine(line, &key, &value))
            continue;
        value.remove(QChar(0));
        if (value.size() > kMaxValueBytes / 3) // only long values can exceed the byte limit
            value = truncateToEncodedBytes(value, contents.encoding, kMaxValueBytes).trimmed();
        sections.last().keys.append({ key, value });
    }
    return sections;
}

bool classIniFile::WriteAllSections(const QList<IniSection> &sections, QString *reason)
{
    QString text;
    for (const IniSection &section : sections) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QLatin1Char('[') + singleLine(section.name).trimmed() + QStringLiteral("]\n");
        for (const auto &entry : section.keys) {
            text += singleLine(entry.first).trimmed() + QLatin1Char('=')
                + singleLine(entry.second).trimmed() + QLatin1Char('\n');
        }
    }
    m_lastFailure = {};
    if (m_iniFileName.isEmpty()) {
        m_lastFailure.kind = IniWriteFailure::Kind::NoName;
        m_lastFailure.reason = QStringLiteral("no file name");
    } else if (!writeFileAtomically(m_iniFileName,
                   encodeSettingsText(text, TextEncoding::Utf8, false), &m_lastFailure.reason)) {
        m_lastFailure.kind = IniWriteFailure::Kind::System;
    }
    if (!lastWriteSucceeded() && reason)
        *reason = m_lastFailure.reason;
    return lastWriteSucceeded();
}
