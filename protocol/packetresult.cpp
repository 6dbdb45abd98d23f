#include "packetresult.h"

#include "localtext.h"

QString PacketRefusal::message(const QString &language) const
{
    QString prefixEn;
    QString prefixZh;
    if (row > 0) {
        prefixEn = QStringLiteral("Row %1: ").arg(row);
        prefixZh = QStringLiteral("第 %1 行：").arg(row);
    }
    switch (kind) {
    case Kind::OutOfRange:
        return localText(language,
                         prefixEn
                                 + QStringLiteral("%1 is %2, but the sign takes %1 from %3 to %4.")
                                           .arg(field, value)
                                           .arg(minimum)
                                           .arg(maximum),
                         prefixZh
                                 + QStringLiteral("%1 为 %2，但屏幕只接受 %3 到 %4 之间的 %1。")
                                           .arg(field, value)
                                           .arg(minimum)
                                           .arg(maximum));
    case Kind::NotANumber:
        return localText(language,
                         prefixEn
                                 + QStringLiteral("%1 is \"%2\", which is not a whole number.")
                                           .arg(field, value),
                         prefixZh + QStringLiteral("%1 为“%2”，不是整数。").arg(field, value));
    case Kind::NoSuchRow:
        return localText(language,
                         QStringLiteral("Row %1 is not in the program list.").arg(value),
                         QStringLiteral("节目列表中没有第 %1 行。").arg(value));
    case Kind::NoRows:
        return localText(language, QStringLiteral("There is no row to send."),
                         QStringLiteral("没有可发送的数据行。"));
    }
    return {};
}
