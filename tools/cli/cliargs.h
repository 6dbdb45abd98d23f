#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// A small option reader for the subcommands: "--name value" options (some repeatable),
// "--flag" switches and positional arguments.
class CliArgs
{
public:
    // `valueOptions` take a value; `switches` do not. Returns false with `error` set for an
    // unknown option or a missing value.
    bool parse(const QStringList &args, const QStringList &valueOptions,
               const QStringList &switches, QString *error);

    bool has(const QString &name) const { return m_values.contains(name) || m_switches.contains(name); }
    QString value(const QString &name) const { return m_values.value(name).value(0); }
    QStringList values(const QString &name) const { return m_values.value(name); }
    const QStringList &positional() const { return m_positional; }

private:
    QHash<QString, QStringList> m_values;
    QStringList m_switches;
    QStringList m_positional;
};

// "34x15" (or "34X15") as two integers in 0..32767; false when malformed.
bool parseSize(const QString &text, int *width, int *height);

// Writes an output file atomically; on failure `error` is the line to print.
bool writeOutputFile(const QString &path, const QByteArray &bytes, QString *error);
