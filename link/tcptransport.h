#pragma once

#include "bytetransport.h"

class QTcpSocket;

// One TCP connection to a sign.
class TcpTransport : public ByteTransport
{
    Q_OBJECT

public:
    explicit TcpTransport(QObject *parent = nullptr);
    ~TcpTransport() override;

    // Starts connecting; connected() or failed() follows.
    void connectToHost(const QString &host, quint16 port);

    bool isOpen() const override;
    bool write(const QByteArray &bytes, QString *error) override;
    qint64 bytesToWrite() const override;
    // Ends the connection at once; queued bytes are dropped.
    void close() override;

signals:
    void connected();

private:
    QTcpSocket *m_socket;
};
