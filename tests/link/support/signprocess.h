#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>

// vantrel-sign run as a process on a free loopback port, optionally with its pseudo-terminal.
class SignProcess
{
public:
    ~SignProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kWaitMs);
        }
    }

    // Starts the sign with `arguments` plus "--tcp 127.0.0.1:0" and waits for the lines that
    // say where it listens. False with `error` set when it did not start.
    bool start(const QStringList &arguments, QString *error)
    {
        const bool wantPty = arguments.contains(QLatin1String("--pty"));
        const auto listening = [&] { return m_tcpPort != 0 && (!wantPty || !m_ptyPath.isEmpty()); };
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(executable(), QStringList { "--tcp", "127.0.0.1:0" } + arguments);
        if (!m_process.waitForStarted(kWaitMs)) {
            *error = m_process.errorString();
            return false;
        }
        for (int i = 0; i < 50 && !listening(); ++i) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
                if (line.startsWith(QLatin1String("tcp 127.0.0.1:")))
                    m_tcpPort = quint16(line.mid(14).toUInt());
                else if (line.startsWith(QLatin1String("pty ")))
                    m_ptyPath = line.mid(4);
            }
            if (!listening() && !m_process.waitForReadyRead(kWaitMs))
                break;
        }
        if (!listening()) {
            *error = QStringLiteral("vantrel-sign did not say where it listens: %1")
                         .arg(QString::fromUtf8(m_process.readAllStandardError()));
            return false;
        }
        return true;
    }

    // Sends `signal` and waits for the end; true when the sign ended normally with status 0.
    bool stop(int signal)
    {
        ::kill(pid_t(m_process.processId()), signal);
        return m_process.waitForFinished(kWaitMs) && m_process.exitStatus() == QProcess::NormalExit
            && m_process.exitCode() == 0;
    }

    quint16 tcpPort() const { return m_tcpPort; }
    QString ptyPath() const { return m_ptyPath; }
    QString targetRow() const { return QStringLiteral("127.0.0.1,%1,1").arg(m_tcpPort); }

    static QString executable() { return QStringLiteral(VANTREL_SIGN_PATH); }
    // The lines of packets.log in a sign's --out folder; none when there is no log.
    static QStringList packetLog(const QString &outFolder)
    {
        QFile log(outFolder + QStringLiteral("/packets.log"));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    static constexpr int kWaitMs = 10000;
    QProcess m_process;
    quint16 m_tcpPort = 0;
    QString m_ptyPath;
};
