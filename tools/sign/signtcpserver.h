#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpServer;
class VirtualSign;

// The sign's TCP side: any number of connections, each its own packet stream, answered with
// 02 00 00 88 or 02 00 00 EE.
class SignTcpServer : public QObject
{
    Q_OBJECT

public:
    SignTcpServer(VirtualSign &sign, QObject *parent = nullptr);

    // Listens on `address`:`port` (port 0 picks a free one). False with `error` set when the
    // address cannot be listened on.
    bool listen(const QHostAddress &address, quint16 port, QString *error);

    // "127.0.0.1:5005"
    QString address() const;

private:
    void acceptConnections();

    VirtualSign &m_sign;
    QTcpServer *m_server;
};
