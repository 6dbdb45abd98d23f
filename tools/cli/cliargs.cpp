#include "cliargs.h"

#include "atomicfile.h"

#include <QRegularExpression>

bool CliArgs::parse(const QStringList &args, const QStringList &valueOptions,
                    const QStringList &switches, QString *error)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (!arg.startsWith(QLatin1String("--")) || arg == QLatin1String("--")) {
            m_positional.append(arg);
            continue;
        }
        QString name = arg.mid(2);
        QString inlineValue;
        const int eq = name.indexOf(QLatin1Char('='));
        const bool hasInline = eq >= 0;
        if (hasInline) {
            inlineValue = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (switches.contains(name) && !hasInline) {
            m_switches.append(name);
        } else if (valueOptions.contains(name)) {
            if (hasInline) {
                m_values[name].append(inlineValue);
            } else if (i + 1 < args.size()) {
                m_values[name].append(args.at(++i));
            } else {
                *error = QStringLiteral("--%1 needs a value").arg(name);
                return false;
            }
        } else {
            *error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
    }
    return true;
}

bool parseSize(const QString &text, int *width, int *height)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w > 32767 || h > 32767)
        return false;
    *width = w;
    *height = h;
    return true;
}

bool writeOutputFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QString reason;
    if (writeFileAtomically(path, bytes, &reason))
        return true;
    *error = QStringLiteral("cannot write %1: %2").arg(path, reason);
    return false;
}
