#pragma once

#include "bytetransport.h"

#include <QHostAddress>
#include <QList>

class HostLookup;
class QTcpSocket;

// One TCP connection to a sign.
class TcpTransport : public ByteTransport
{
    Q_OBJECT

public:
    explicit TcpTransport(QObject *parent = nullptr);
    ~TcpTransport() override;

    // Starts connecting; connected() or failed() follows. A host name is looked up first
    // (HostLookup), and its addresses are tried in turn until one takes the connection. The
    // caller's connect bound covers the lookup too.
    void connectToHost(const QString &host, quint16 port);

    bool isOpen() const override;
    bool write(const QByteArray &bytes, QString *error) override;
    qint64 bytesToWrite() const override;
    // Ends the connection at once; queued bytes are dropped.
    void close() override;

signals:
    void connected();

private:
    void connectToNext();
    void dropLookup();

    QTcpSocket *m_socket;
    HostLookup *m_lookup = nullptr; // while the name is looked up
    QList<QHostAddress> m_untried; // addresses of the name not tried yet
    quint16 m_port = 0;
};
