#include "tcptarget.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
constexpr int kLowestTcpPort = 1;
constexpr int kHighestTcpPort = 65535;
} // namespace

bool TcpTarget::portNumber(quint16 *number) const
{
    static const QRegularExpression digits(QStringLiteral("^\\d{1,5}$"));
    const QString t = port.trimmed();
    if (!digits.match(t).hasMatch())
        return false;
    const int value = t.toInt();
    if (value < kLowestTcpPort || value > kHighestTcpPort)
        return false;
    *number = quint16(value);
    return true;
}

QList<TcpTarget> TcpTarget::ticked(const QString &IpStr)
{
    QList<TcpTarget> targets;
    const QStringList rows = IpStr.split(QLatin1Char(';'));
    for (const QString &row : rows) {
        const QStringList fields = row.split(QLatin1Char(','));
        // A row without a port or flag cannot be a ticked target.
        if (fields.size() < 3 || fields.at(2) != QLatin1String("1"))
            continue;
        targets.append({ fields.at(0), fields.at(1) });
    }
    return targets;
}
