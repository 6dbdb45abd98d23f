#include "showsender.h"

#include <QRegularExpression>

QString AgentTarget::label() const
{
    if (isSerial())
        return address;
    return (address.contains(QLatin1Char(':')) ? QLatin1Char('[') + address + QLatin1Char(']')
                                               : address)
        + QLatin1Char(':') + port;
}

bool AgentTarget::fromLabel(const QString &label, AgentTarget *target)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:\\[([^\\]]+)\\]|([^:\\[\\],; ]+)):([0-9]{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(label.trimmed());
    if (!m.hasMatch())
        return false;
    target->address = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    target->port = m.captured(3);
    return true;
}
