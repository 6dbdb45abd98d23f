#include "commsettingsfields.h"

namespace {

// The 1-based character at `position`, or "" outside the text.
QString charAt(const QString &text, qsizetype position)
{
    if (position < 1 || position > text.size())
        return {};
    return text.mid(position - 1, 1);
}

} // namespace

QStringList CommSettingsFields::speedEntries()
{
    return { QStringLiteral("110"), QStringLiteral("300"), QStringLiteral("600"),
        QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
        QStringLiteral("9600"), QStringLiteral("14400"), QStringLiteral("19200"),
        QStringLiteral("28800"), QStringLiteral("38400"), QStringLiteral("56000"),
        QStringLiteral("57600"), QStringLiteral("115200"), QStringLiteral("128000"),
        QStringLiteral("256000"), QStringLiteral("384000") };
}

QStringList CommSettingsFields::dataBitsEntries()
{
    return { QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
        QStringLiteral("8") };
}

QStringList CommSettingsFields::parityEntries()
{
    return { QStringLiteral("Even"), QStringLiteral("Odd"), QStringLiteral("None"),
        QStringLiteral("Mark"), QStringLiteral("Space") };
}

QStringList CommSettingsFields::stopBitsEntries()
{
    return { QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2") };
}

CommSettingsFields CommSettingsFields::fromStored(const QString &stored)
{
    CommSettingsFields fields;
    if (stored.isEmpty())
        return fields;
    const qsizetype length = stored.size();
    const qsizetype k = stored.contains(QLatin1Char('.')) ? 2 : 0;

    const qsizetype speedLength = length - 6 - k;
    if (speedLength > 0)
        fields.speed = stored.left(speedLength);

    const QString letter = charAt(stored, length - 4 - k).toUpper();
    for (const QString &entry : parityEntries()) {
        if (!letter.isEmpty() && entry.startsWith(letter))
            fields.parity = entry;
    }

    fields.dataBits = charAt(stored, length - 2 - k);
    if (length - k >= 1)
        fields.stopBits = stored.mid(length - k - 1);
    return fields;
}

QString CommSettingsFields::toString() const
{
    return speed.trimmed() + QLatin1Char(',') + parity.trimmed().left(1) + QLatin1Char(',')
        + dataBits.trimmed() + QLatin1Char(',') + stopBits.trimmed();
}
