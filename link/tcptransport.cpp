#include "tcptransport.h"

#include <QTcpSocket>

TcpTransport::TcpTransport(QObject *parent)
    : ByteTransport(parent)
    , m_socket(new QTcpSocket(this))
{
    connect(m_socket, &QTcpSocket::connected, this, &TcpTransport::connected);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { emit arrived(m_socket->readAll()); });
    connect(m_socket, &QTcpSocket::bytesWritten, this, &TcpTransport::written);
    connect(m_socket, &QTcpSocket::errorOccurred, this,
        [this](QAbstractSocket::SocketError) { emit failed(m_socket->errorString()); });
}

TcpTransport::~TcpTransport()
{
    m_socket->disconnect(this);
    m_socket->abort();
}

void TcpTransport::connectToHost(const QString &host, quint16 port)
{
    m_socket->connectToHost(host, port);
}

bool TcpTransport::isOpen() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

bool TcpTransport::write(const QByteArray &bytes, QString *error)
{
    if (!isOpen() || m_socket->write(bytes) != bytes.size()) {
        *error = m_socket->errorString();
        return false;
    }
    return true;
}

qint64 TcpTransport::bytesToWrite() const
{
    return m_socket->bytesToWrite();
}

void TcpTransport::close()
{
    // With nothing left to write this closes at once, sending FIN after the packet.
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
}
