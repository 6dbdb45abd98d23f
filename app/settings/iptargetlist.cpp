#include "iptargetlist.h"

#include "localtext.h"

#include <QLocale>
#include <QStringList>

namespace {

const QChar kRowSeparator = QLatin1Char(';');
const QChar kFieldSeparator = QLatin1Char(',');

bool flagIsOne(const QString &field)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(field.trimmed(), &ok);
    return ok && value == 1.0;
}

} // namespace

QList<IpTarget> IpTargetList::FillIpList(const QString &ipStr, qint16 maxRows)
{
    const QStringList rows = ipStr.split(kRowSeparator, Qt::KeepEmptyParts);
    const qsizetype last = qMin<qsizetype>(rows.size(), qMax<qint16>(maxRows, 0)) - 1;
    QList<IpTarget> targets;
    for (qsizetype i = 0; i <= last; ++i) {
        const QString &row = rows.at(i);
        if (row.isEmpty())
            continue;
        const QStringList fields = row.split(kFieldSeparator, Qt::KeepEmptyParts);
        targets.append({ fields.value(0), fields.value(1), flagIsOne(fields.value(2)) });
    }
    return targets;
}

QString IpTargetList::BuildIpListString(const QList<IpTarget> &rows)
{
    QStringList parts;
    for (const IpTarget &t : rows) {
        parts.append(t.address + kFieldSeparator + t.port + kFieldSeparator
            + (t.ticked ? QLatin1Char('1') : QLatin1Char('0')));
    }
    return parts.join(kRowSeparator);
}

IpTargetList::Refusal IpTargetList::checkAdd(
    const QList<IpTarget> &rows, const QString &address, const QString &port, qint16 maxRows)
{
    if (rows.size() >= maxRows)
        return ListFull;
    const QString a = address.trimmed();
    const QString p = port.trimmed();
    if (a.isEmpty() || p.isEmpty())
        return FieldEmpty;
    for (const QString &field : { a, p }) {
        if (field.contains(kFieldSeparator) || field.contains(kRowSeparator))
            return SeparatorInText;
    }
    for (const IpTarget &t : rows) {
        if (t.address == a && t.port == p)
            return AlreadyListed;
    }
    return Accepted;
}

QString IpTargetList::separatorRefusalText(const QString &language)
{
    return localText(language,
        QStringLiteral("The address and the port may not contain \",\" or \";\": "
                       "the target list uses them to separate its entries."),
        QStringLiteral("IP 地址和端口号中不能含有“,”或“;”，目标列表用它们分隔各项。"));
}
