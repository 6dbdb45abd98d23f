#include "loopbacksign.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace {
// Long enough that the link reads the first piece before the second is written.
constexpr std::chrono::milliseconds kPieceGap { 50 };
constexpr int kProbeWaitMs = 300;
} // namespace

LoopbackSign::LoopbackSign(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &LoopbackSign::accept);
}

bool LoopbackSign::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

quint16 LoopbackSign::port() const
{
    return m_server->serverPort();
}

void LoopbackSign::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        ++connections;
        socket->setParent(this);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto assembler = std::make_shared<PacketAssembler>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, assembler] {
            for (const PacketAssembler::Frame &frame : assembler->feed(socket->readAll())) {
                packets.append(frame.bytes);
                if (behaviour == Behaviour::Answer) {
                    answer(socket, answerPieces);
                } else if (behaviour == Behaviour::Reset) {
                    const linger hard { 1, 0 };
                    ::setsockopt(
                        int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                    socket->abort();
                    return;
                }
            }
        });
        if (onConnection)
            onConnection();
    }
}

void LoopbackSign::answer(QTcpSocket *socket, QList<QByteArray> pieces)
{
    if (pieces.isEmpty() || socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(pieces.takeFirst());
    socket->flush();
    if (!pieces.isEmpty())
        QTimer::singleShot(kPieceGap, socket, [this, socket, pieces] { answer(socket, pieces); });
}

FullListenQueue::FullListenQueue()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
        || ::listen(m_listener, 0) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    // Requests that are never accepted fill the queue.
    for (int i = 0; i < 3; ++i) {
        const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address);
        m_clients.append(client);
    }
    // Systems set to refuse on a full queue, rather than to drop, cannot play this part: a
    // probe must stay unanswered.
    pollfd probe { m_clients.last(), POLLOUT, 0 };
    m_ok = ::poll(&probe, 1, kProbeWaitMs) == 0;
}

FullListenQueue::~FullListenQueue()
{
    for (int fd : m_clients)
        ::close(fd);
    if (m_listener >= 0)
        ::close(m_listener);
}

quint16 refusedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}
