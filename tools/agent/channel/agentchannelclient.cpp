#include "agentchannelclient.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QLocalSocket>

AgentReply askAgent(
    const QString &programFolder, const AgentRequest &request, std::chrono::milliseconds wait)
{
    AgentReply reply;
    const QDeadlineTimer deadline(wait);
    QLocalSocket socket;
    socket.connectToServer(agentChannelPath(programFolder));
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return reply;
    reply.status = AgentReply::Status::NoAnswer;
    socket.write(request.encode());
    socket.waitForBytesWritten(int(deadline.remainingTime()));
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() <= AgentRequest::kMaxLineBytes
        && !deadline.hasExpired()) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
        answer += socket.readAll();
    }
    answer += socket.readAll();
    const int end = int(answer.indexOf('\n'));
    if (end < 0)
        return reply;
    const QJsonDocument document = QJsonDocument::fromJson(answer.left(end));
    if (!document.isObject())
        return reply;
    reply.status = AgentReply::Status::Answered;
    reply.fields = document.object();
    reply.ok = reply.fields.value(QStringLiteral("ok")).toBool();
    reply.error = reply.fields.value(QStringLiteral("error")).toString();
    return reply;
}
