#include "agentchannelserver.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

AgentChannelServer::AgentChannelServer(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(kMostClients);
    connect(m_server, &QLocalServer::newConnection, this, &AgentChannelServer::accept);
}

AgentChannelServer::~AgentChannelServer()
{
    // The socket file names a live agent: it goes with the agent.
    m_server->close();
}

bool AgentChannelServer::listen(const QString &programFolder, QString *problem)
{
    const QString path = agentChannelPath(programFolder);
    {
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(200)) {
            *problem = QStringLiteral("another vantrel-agent already answers at %1").arg(path);
            return false;
        }
    }
    // Nobody answers: the file is left from an agent that did not end cleanly.
    QLocalServer::removeServer(path);
    if (!m_server->listen(path)) {
        *problem = QStringLiteral("%1: %2").arg(path, m_server->errorString());
        return false;
    }
    return true;
}

QString AgentChannelServer::path() const
{
    return m_server->fullServerName();
}

void AgentChannelServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (m_buffers.size() >= kMostClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_buffers.insert(socket, {});
        auto *timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket,
            [this, socket] { finish(socket, agentRefusal(QStringLiteral("no request in time"))); });
        timer->start(kReadTimeout);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            if (m_buffers.remove(socket))
                socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void AgentChannelServer::readFrom(QLocalSocket *socket)
{
    auto it = m_buffers.find(socket);
    if (it == m_buffers.end())
        return;
    // Never more than one line and its end is read.
    it->append(socket->read(AgentRequest::kMaxLineBytes + 1 - it->size()));
    const int end = int(it->indexOf('\n'));
    if (end < 0) {
        if (it->size() > AgentRequest::kMaxLineBytes)
            finish(socket,
                agentRefusal(QStringLiteral("the request is longer than %1 bytes")
                                 .arg(AgentRequest::kMaxLineBytes)));
        return;
    }
    AgentRequest request;
    QString problem;
    const QByteArray answer = AgentRequest::decode(it->left(end), &request, &problem)
        ? m_handler(request)
        : agentRefusal(problem);
    finish(socket, answer);
}

void AgentChannelServer::finish(QLocalSocket *socket, const QByteArray &answer)
{
    if (!m_buffers.remove(socket))
        return;
    socket->disconnect(this);
    socket->write(answer);
    // The answer is a line: it leaves at once, or the client has gone.
    socket->flush();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromServer();
    if (socket->state() == QLocalSocket::UnconnectedState)
        socket->deleteLater();
}
