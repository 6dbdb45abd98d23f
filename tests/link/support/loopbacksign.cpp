#include "loopbacksign.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

#include <chrono>

namespace {
// Long enough that the link reads the first piece before the second is written.
constexpr std::chrono::milliseconds kPieceGap { 50 };
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
        if (behaviour == Behaviour::NeverReads) {
            // Qt would otherwise drain the connection into its own buffer.
            socket->setReadBufferSize(1);
            if (onConnection)
                onConnection();
            continue;
        }
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto assembler = std::make_shared<PacketAssembler>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, assembler] {
            for (const PacketAssembler::Frame &frame : assembler->feed(socket->readAll())) {
                ++packetCount;
                if (keepPackets)
                    packets.append(frame.bytes);
                if (behaviour == Behaviour::Answer && answerDelay > std::chrono::milliseconds(0)) {
                    QTimer::singleShot(answerDelay, socket,
                        [this, socket, pieces = answerPieces] { answer(socket, pieces); });
                } else if (behaviour == Behaviour::Answer) {
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

quint16 refusedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}
