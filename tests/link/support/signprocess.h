#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// vantrel-sign run as a process on a free loopback port, optionally with its pseudo-terminal.
class SignProcess
{
public:
    ~SignProcess();

    // Starts the sign with `arguments` plus "--tcp 127.0.0.1:0" and waits for the lines that
    // say where it listens. False with `error` set when it did not start.
    bool start(const QStringList &arguments, QString *error);

    // Sends `signal` and waits for the end; true when the sign ended normally with status 0.
    bool stop(int signal);

    quint16 tcpPort() const { return m_tcpPort; }
    QString ptyPath() const { return m_ptyPath; }
    QString targetRow() const { return QStringLiteral("127.0.0.1,%1,1").arg(m_tcpPort); }

    static QString executable();
    // The lines of packets.log in a sign's --out folder; none when there is no log.
    static QStringList packetLog(const QString &outFolder);

private:
    QProcess m_process;
    quint16 m_tcpPort = 0;
    QString m_ptyPath;
};
