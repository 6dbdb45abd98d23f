#include "iptargetlist.h"

#include "localtext.h"

#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace {

const QChar kRowSeparator = QLatin1Char(';');
const QChar kFieldSeparator = QLatin1Char(',');

constexpr int kLowestPort = 1;
constexpr int kHighestPort = 65535;
// A bad line is quoted up to this many characters.
constexpr int kQuotedLineLength = 40;

bool isPortNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const int value = text.toInt();
    return value >= kLowestPort && value <= kHighestPort;
}

QString quoted(const QString &line)
{
    return line.size() > kQuotedLineLength ? line.left(kQuotedLineLength) + QStringLiteral("…")
                                           : line;
}

// Equal for the same address and port: "0080" and "80" are one port.
QString targetKey(const QString &address, const QString &port)
{
    bool isNumber = false;
    const int number = port.toInt(&isNumber, 10);
    return address + kFieldSeparator + (isNumber ? QString::number(number) : port);
}

// Why line `number` is not a target, or "" when it is one.
QString lineProblem(int number, const QStringList &fields, const QString &line,
    const QHash<QString, int> &seen, const QString &language)
{
    const QString at = localText(language, QStringLiteral("Line %1: ").arg(number),
        QStringLiteral("第 %1 行：").arg(number));
    if (fields.size() != 3) {
        return at
            + localText(language,
                QStringLiteral("\"%1\" is not address,port,flag.").arg(quoted(line)),
                QStringLiteral("“%1”不是“地址,端口,标志”的格式。").arg(quoted(line)));
    }
    const QString address = fields.at(0).trimmed();
    const QString port = fields.at(1).trimmed();
    const QString flag = fields.at(2).trimmed();
    if (address.isEmpty())
        return at
            + localText(
                language, QStringLiteral("the address is empty."), QStringLiteral("地址为空。"));
    if (address.contains(kRowSeparator))
        return at + IpTargetList::separatorRefusalText(language);
    if (address.size() > IpTargetList::kMaxAddressLength) {
        return at
            + localText(language,
                QStringLiteral("the address is longer than %1 characters.")
                    .arg(IpTargetList::kMaxAddressLength),
                QStringLiteral("地址超过 %1 个字符。").arg(IpTargetList::kMaxAddressLength));
    }
    if (std::any_of(address.cbegin(), address.cend(), [](QChar c) {
            return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
        })) {
        return at
            + localText(language, QStringLiteral("the address holds a control character."),
                QStringLiteral("地址中含有控制字符。"));
    }
    if (!isPortNumber(port)) {
        return at
            + localText(language,
                QStringLiteral("the port \"%1\" is not a number from 1 to 65535.").arg(port),
                QStringLiteral("端口“%1”不是 1 到 65535 之间的数。").arg(port));
    }
    if (flag != QLatin1String("0") && flag != QLatin1String("1")) {
        return at
            + localText(language,
                QStringLiteral("the flag \"%1\" is neither 1 (send to it) nor 0.").arg(flag),
                QStringLiteral("标志“%1”既不是 1（发送）也不是 0。").arg(flag));
    }
    const auto earlier = seen.constFind(targetKey(address, port));
    if (earlier != seen.constEnd()) {
        return at
            + localText(language,
                QStringLiteral("%1:%2 is already listed on line %3.")
                    .arg(address, port)
                    .arg(earlier.value()),
                QStringLiteral("%1:%2 已在第 %3 行列出。").arg(address, port).arg(earlier.value()));
    }
    return {};
}

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
        if (targetKey(t.address, t.port) == targetKey(a, p))
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

TargetFileRead IpTargetList::readTargetFile(
    const QByteArray &bytes, qint16 maxRows, const QString &language)
{
    TargetFileRead read;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        read.problems.append(localText(language, QStringLiteral("The file is not UTF-8 text."),
            QStringLiteral("该文件不是 UTF-8 文本。")));
        return read;
    }
    QList<IpTarget> rows;
    QHash<QString, int> seen; // "address,port" -> line number
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = line.split(kFieldSeparator, Qt::KeepEmptyParts);
        const QString problem = lineProblem(i + 1, fields, line, seen, language);
        if (!problem.isEmpty()) {
            read.problems.append(problem);
            continue;
        }
        const QString address = fields.at(0).trimmed();
        const QString port = fields.at(1).trimmed();
        seen.insert(targetKey(address, port), i + 1);
        rows.append({ address, port, fields.at(2).trimmed() == QLatin1String("1") });
    }
    if (rows.size() + read.problems.size() > maxRows) {
        read.problems.append(localText(language,
            QStringLiteral("The file lists %1 targets; the list takes at most %2 (MaxIPList in "
                           "BaseSet.ini).")
                .arg(rows.size() + read.problems.size())
                .arg(maxRows),
            QStringLiteral("该文件列出 %1 个目标，列表最多只能容纳 %2 个（BaseSet.ini 中的 "
                           "MaxIPList）。")
                .arg(rows.size() + read.problems.size())
                .arg(maxRows)));
    }
    if (read.ok())
        read.rows = rows;
    return read;
}

QByteArray IpTargetList::targetFileText(const QList<IpTarget> &rows)
{
    QByteArray text;
    for (const IpTarget &t : rows) {
        text += (t.address.trimmed() + kFieldSeparator + t.port.trimmed() + kFieldSeparator
            + (t.ticked ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char('\n'))
                    .toUtf8();
    }
    return text;
}
