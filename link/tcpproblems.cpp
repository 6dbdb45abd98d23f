#include "tcpproblems.h"

#include "localtext.h"

namespace {
int seconds(std::chrono::milliseconds d)
{
    return int(std::chrono::duration_cast<std::chrono::seconds>(d).count());
}
} // namespace

namespace TcpProblem {

QString badPort(const QString &language, const QString &portText)
{
    return localText(language,
        QStringLiteral("The port \"%1\" is not a number from 1 to 65535.").arg(portText),
        QStringLiteral("端口“%1”不是 1 到 65535 之间的数。").arg(portText));
}

QString noAddress(const QString &language)
{
    return localText(
        language, QStringLiteral("The target has no address."), QStringLiteral("目标没有地址。"));
}

QString cancelled(const QString &language)
{
    return localText(language, QStringLiteral("The link was closed during the send."),
        QStringLiteral("发送过程中连接被关闭。"));
}

QString connectTimeout(
    const QString &language, const QString &where, std::chrono::milliseconds bound)
{
    return localText(language,
        QStringLiteral("%1 did not accept the connection within %2 s.")
            .arg(where)
            .arg(seconds(bound)),
        QStringLiteral("%1 在 %2 秒内没有接受连接。").arg(where).arg(seconds(bound)));
}

QString writeStall(const QString &language, const QString &where, std::chrono::milliseconds bound)
{
    return localText(language,
        QStringLiteral("%1 took no data for %2 s.").arg(where).arg(seconds(bound)),
        QStringLiteral("%1 在 %2 秒内没有接收数据。").arg(where).arg(seconds(bound)));
}

QString unreachable(const QString &language, const QString &where, const QString &reason)
{
    return localText(language, QStringLiteral("%1 could not be reached: %2.").arg(where, reason),
        QStringLiteral("无法连接 %1：%2。").arg(where, reason));
}

QString closedWithoutAnswer(const QString &language, const QString &where, const QString &reason)
{
    return localText(language,
        QStringLiteral("%1 closed the connection without an answer: %2.").arg(where, reason),
        QStringLiteral("%1 未应答就关闭了连接：%2。").arg(where, reason));
}

QString unjudgedAnswer(const QString &language, const QString &where)
{
    return localText(language,
        QStringLiteral("%1 answered neither success nor failure.").arg(where),
        QStringLiteral("%1 的应答既不是成功也不是失败。").arg(where));
}

QString noAnswer(const QString &language, const QString &where, std::chrono::milliseconds bound)
{
    return localText(language,
        QStringLiteral("%1 did not answer within %2 s.").arg(where).arg(seconds(bound)),
        QStringLiteral("%1 在 %2 秒内没有应答。").arg(where).arg(seconds(bound)));
}

} // namespace TcpProblem
