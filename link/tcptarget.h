#pragma once

#include <QList>
#include <QString>

// One ticked row of the target list: the controller a TCP send goes to.
struct TcpTarget
{
    QString address; // as the row holds it; surrounding blanks are ignored when connecting
    QString port; // as the row holds it; must be a whole number 1..65535 to be reached

    // "address:port", as the row holds them.
    QString label() const { return address + QLatin1Char(':') + port; }

    // The port as a number; false when the text is not a whole number from 1 to 65535.
    bool portNumber(quint16 *port) const;

    bool operator==(const TcpTarget &other) const
    {
        return address == other.address && port == other.port;
    }

    // The send targets of an "address,port,flag;..." list, in list order: rows whose third
    // field is exactly "1". Rows without a port or flag field are skipped.
    static QList<TcpTarget> ticked(const QString &IpStr);
};
