#pragma once

#include "packetassembler.h"

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

#include <chrono>
#include <functional>
#include <memory>

// A sign on a real loopback TCP port, in the test's own process, whose answers the test
// chooses: whole, split over reads, none, or a connection reset.
class LoopbackSign : public QObject
{
public:
    enum class Behaviour {
        Answer, // write `answerPieces` once a whole packet has come
        Silent, // take the packet, say nothing, keep the connection
        Reset, // take the packet, then reset the connection without answering
        NeverReads, // accept the connection and never read from it
    };

    explicit LoopbackSign(QObject *parent = nullptr)
        : QObject(parent)
        , m_server(new QTcpServer(this))
    {
        connect(m_server, &QTcpServer::newConnection, this, &LoopbackSign::accept);
    }

    bool listen() { return m_server->listen(QHostAddress::LocalHost, 0); } // a free port
    quint16 port() const { return m_server->serverPort(); }

    Behaviour behaviour = Behaviour::Answer;
    // Written one by one, each in its own TCP segment a short pause apart.
    QList<QByteArray> answerPieces;
    // How long after the packet the first piece is written.
    std::chrono::milliseconds answerDelay { 0 };

    QList<QByteArray> packets; // whole packets received, in order
    bool keepPackets = true; // false: count them only (benchmarks with large packets)
    int packetCount = 0;
    int connections = 0;
    std::function<void()> onConnection; // runs inside the link's wait

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            ++connections;
            socket->setParent(this);
            if (behaviour == Behaviour::NeverReads) {
                // Qt would otherwise drain the connection into its own buffer.
                socket->setReadBufferSize(1);
            } else {
                socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
                auto assembler = std::make_shared<PacketAssembler>();
                connect(socket, &QTcpSocket::readyRead, this,
                    [this, socket, assembler] { take(socket, assembler->feed(socket->readAll())); });
            }
            if (onConnection)
                onConnection();
        }
    }

    void take(QTcpSocket *socket, const QList<PacketAssembler::Frame> &frames)
    {
        for (const PacketAssembler::Frame &frame : frames) {
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
    }

    void answer(QTcpSocket *socket, QList<QByteArray> pieces)
    {
        // Long enough that the link reads the first piece before the second is written.
        constexpr std::chrono::milliseconds kPieceGap { 50 };
        if (pieces.isEmpty() || socket->state() != QAbstractSocket::ConnectedState)
            return;
        socket->write(pieces.takeFirst());
        socket->flush();
        if (!pieces.isEmpty())
            QTimer::singleShot(kPieceGap, socket, [this, socket, pieces] { answer(socket, pieces); });
    }

    QTcpServer *m_server;
};

// A loopback port nobody listens on: connects to it are refused at once.
inline quint16 refusedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort(); // closed as `server` goes
}
