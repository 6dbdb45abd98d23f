#pragma once

#include "packetassembler.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <chrono>
#include <functional>

class QTcpServer;
class QTcpSocket;

// A sign on a real loopback TCP port, in the test's own process, whose answers the test
// chooses: whole, split over reads, none, or a connection reset.
class LoopbackSign : public QObject
{
    Q_OBJECT

public:
    enum class Behaviour {
        Answer, // write `answerPieces` once a whole packet has come
        Silent, // take the packet, say nothing, keep the connection
        Reset, // take the packet, then reset the connection without answering
        NeverReads, // accept the connection and never read from it
    };

    explicit LoopbackSign(QObject *parent = nullptr);

    bool listen(); // on 127.0.0.1, a free port
    quint16 port() const;

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
    void accept();
    void answer(QTcpSocket *socket, QList<QByteArray> pieces);

    QTcpServer *m_server;
};

// A loopback port nobody listens on: connects to it are refused at once.
quint16 refusedPort();
