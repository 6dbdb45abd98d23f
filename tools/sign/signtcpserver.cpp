#include "signtcpserver.h"

#include "signstream.h"

#include <QTcpServer>
#include <QTcpSocket>

SignTcpServer::SignTcpServer(VirtualSign &sign, QObject *parent)
    : QObject(parent)
    , m_sign(sign)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SignTcpServer::acceptConnections);
}

bool SignTcpServer::listen(const QHostAddress &address, quint16 port, QString *error)
{
    if (!m_server->listen(address, port)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(m_server->errorString());
        return false;
    }
    return true;
}

QString SignTcpServer::address() const
{
    return m_server->serverAddress().toString() + QLatin1Char(':')
        + QString::number(m_server->serverPort());
}

void SignTcpServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        const QString via = QStringLiteral("tcp %1:%2")
                                .arg(socket->peerAddress().toString())
                                .arg(socket->peerPort());
        auto *stream = new SignStream(
            m_sign, SignAnswerCodes::tcp(), via,
            [socket](const QByteArray &answer) { socket->write(answer); }, socket);
        connect(socket, &QTcpSocket::readyRead, stream,
            [socket, stream] { stream->feed(socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, socket, [socket, stream] {
            stream->feed(socket->readAll());
            stream->finish();
            socket->deleteLater();
        });
    }
}
