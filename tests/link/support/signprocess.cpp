#include "signprocess.h"

#include <QFile>

#include <csignal>

namespace {
constexpr int kStartWaitMs = 10000;
constexpr int kStopWaitMs = 10000;
constexpr int kMaxReads = 50;
} // namespace

SignProcess::~SignProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kStopWaitMs);
    }
}

QString SignProcess::executable()
{
    return QStringLiteral(VANTREL_SIGN_PATH);
}

bool SignProcess::start(const QStringList &arguments, QString *error)
{
    const bool wantPty = arguments.contains(QLatin1String("--pty"));
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(executable(), QStringList { "--tcp", "127.0.0.1:0" } + arguments);
    if (!m_process.waitForStarted(kStartWaitMs)) {
        *error = m_process.errorString();
        return false;
    }
    for (int i = 0; i < kMaxReads && (m_tcpPort == 0 || (wantPty && m_ptyPath.isEmpty())); ++i) {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            if (line.startsWith(QLatin1String("tcp 127.0.0.1:")))
                m_tcpPort = quint16(line.mid(14).toUInt());
            else if (line.startsWith(QLatin1String("pty ")))
                m_ptyPath = line.mid(4);
        }
        if (m_tcpPort != 0 && (!wantPty || !m_ptyPath.isEmpty()))
            break;
        if (!m_process.waitForReadyRead(kStartWaitMs))
            break;
    }
    if (m_tcpPort == 0 || (wantPty && m_ptyPath.isEmpty())) {
        *error = QStringLiteral("vantrel-sign did not say where it listens: %1")
                     .arg(QString::fromUtf8(m_process.readAllStandardError()));
        return false;
    }
    return true;
}

bool SignProcess::stop(int signal)
{
    ::kill(pid_t(m_process.processId()), signal);
    if (!m_process.waitForFinished(kStopWaitMs))
        return false;
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

QStringList SignProcess::packetLog(const QString &outFolder)
{
    QFile log(outFolder + QStringLiteral("/packets.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
