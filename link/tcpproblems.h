#pragma once

#include <QString>

#include <chrono>

// Why a TCP target was not sent to or gave no verdict, in the user's language. `where` is
// "host:port" as connected to.
namespace TcpProblem {

QString badPort(const QString &language, const QString &portText);
QString noAddress(const QString &language);
QString cancelled(const QString &language);
QString connectTimeout(
    const QString &language, const QString &where, std::chrono::milliseconds bound);
QString writeStall(const QString &language, const QString &where, std::chrono::milliseconds bound);
QString unreachable(const QString &language, const QString &where, const QString &reason);
QString closedWithoutAnswer(const QString &language, const QString &where, const QString &reason);
QString unjudgedAnswer(const QString &language, const QString &where);
QString noAnswer(const QString &language, const QString &where, std::chrono::milliseconds bound);

} // namespace TcpProblem
