#pragma once

#include "agentrequest.h"

#include <QHash>
#include <QObject>

#include <chrono>
#include <functional>

class QLocalServer;
class QLocalSocket;
class QTimer;

// Listens on the agent's local socket (only this user may connect) and answers one request
// per connection. A client that sends more than a line's worth, garbage, or nothing within
// the read timeout is answered with a refusal (when it can be) and cut off, so no client can
// hold the agent or fill its memory.
class AgentChannelServer : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kReadTimeout { 2000 };
    static constexpr int kMostClients = 8;

    // Answers a request: a line made with agentAnswer() or agentRefusal().
    using Handler = std::function<QByteArray(const AgentRequest &request)>;

    explicit AgentChannelServer(Handler handler, QObject *parent = nullptr);
    ~AgentChannelServer() override;

    // Listens at agentChannelPath(programFolder). False, with `problem` (English), when
    // another agent already answers there or the socket cannot be made.
    bool listen(const QString &programFolder, QString *problem);
    QString path() const;

private:
    void accept();
    void readFrom(QLocalSocket *socket);
    void finish(QLocalSocket *socket, const QByteArray &answer);

    Handler m_handler;
    QLocalServer *m_server;
    QHash<QLocalSocket *, QByteArray> m_buffers;
};
