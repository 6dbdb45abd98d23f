#include "tcptransport.h"

#include "hostlookup.h"

#include <QTcpSocket>

TcpTransport::TcpTransport(QObject *parent)
    : ByteTransport(parent)
    , m_socket(new QTcpSocket(this))
{
    connect(m_socket, &QTcpSocket::connected, this, &TcpTransport::connected);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { emit arrived(m_socket->readAll()); });
    connect(m_socket, &QTcpSocket::bytesWritten, this, &TcpTransport::written);
    connect(m_socket, &QTcpSocket::connected, this, [this] { m_untried.clear(); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        // Like "localhost" as ::1 with the sign on 127.0.0.1 only: the next address may answer.
        if (!m_untried.isEmpty()) {
            QMetaObject::invokeMethod(this, &TcpTransport::connectToNext, Qt::QueuedConnection);
            return;
        }
        emit failed(m_socket->errorString());
    });
}

TcpTransport::~TcpTransport()
{
    dropLookup();
    m_socket->disconnect(this);
    m_socket->abort();
}

void TcpTransport::connectToHost(const QString &host, quint16 port)
{
    dropLookup();
    m_port = port;
    m_untried.clear();
    QHostAddress literal;
    if (literal.setAddress(host)) {
        m_untried.append(literal);
        connectToNext();
        return;
    }
    m_lookup = HostLookup::start(host, this);
    connect(m_lookup, &HostLookup::found, this, [this](const QList<QHostAddress> &addresses) {
        dropLookup();
        m_untried = addresses;
        connectToNext();
    });
    connect(m_lookup, &HostLookup::failed, this, [this](const QString &reason) {
        dropLookup();
        emit failed(reason);
    });
}

void TcpTransport::connectToNext()
{
    if (m_untried.isEmpty())
        return;
    m_socket->abort();
    m_socket->connectToHost(m_untried.takeFirst(), m_port);
}

void TcpTransport::dropLookup()
{
    if (!m_lookup)
        return;
    // It may be inside one of its own signals: let it go once that has returned.
    m_lookup->disconnect(this);
    m_lookup->deleteLater();
    m_lookup = nullptr;
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
    dropLookup();
    m_untried.clear();
    // With nothing left to write this closes at once, sending FIN after the packet.
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
}
