#include "serialtransport.h"

#include "localtext.h"

#include <QSerialPort>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// True when the system refuses this user the device itself. QSerialPort reports a port held
// by another program as a permission error too, and that one no group membership mends.
bool accessDenied(const QString &portName)
{
    const QString path = portName.startsWith(QLatin1Char('/'))
        ? portName
        : QStringLiteral("/dev/") + portName;
    return ::faccessat(AT_FDCWD, path.toLocal8Bit().constData(), R_OK | W_OK, AT_EACCESS) != 0
        && errno == EACCES;
}

} // namespace

SerialTransport::SerialTransport(QObject *parent)
    : ByteTransport(parent)
    , m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, [this] { emit arrived(m_port->readAll()); });
    connect(m_port, &QSerialPort::bytesWritten, this, &SerialTransport::written);
    connect(m_port, &QSerialPort::errorOccurred, this,
        [this](QSerialPort::SerialPortError e) { onError(int(e)); });
}

SerialTransport::~SerialTransport()
{
    close();
}

bool SerialTransport::open(const QString &portName, const SerialLineSettings &line, QString *error,
    const QString &language)
{
    close();
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    if (!line.portDataBits(&dataBits, error, language))
        return false;
    m_portName = portName;
    m_port->setPortName(portName);
    m_port->setBaudRate(line.baudRate);
    m_port->setDataBits(dataBits);
    m_port->setParity(line.parity);
    m_port->setStopBits(line.stopBits);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        const bool denied
            = m_port->error() == QSerialPort::PermissionError && accessDenied(portName);
        *error = openFailureText(portName, denied, m_port->errorString(), language);
        m_port->clearError();
        return false;
    }
    m_port->clear(QSerialPort::Input);
    return true;
}

QString SerialTransport::openFailureText(const QString &portName, bool permissionDenied,
    const QString &reason, const QString &language)
{
    if (permissionDenied) {
        return localText(language,
            QStringLiteral("The serial port %1 cannot be opened: you have no permission to use "
                           "it. Serial ports belong to the \"dialout\" group; add yourself to it "
                           "(sudo usermod -aG dialout $USER), then log out and in again.")
                .arg(portName),
            QStringLiteral("无法打开串口 %1：您没有使用该端口的权限。串口属于“dialout”组，"
                           "请把自己加入该组（sudo usermod -aG dialout $USER），"
                           "然后注销并重新登录。")
                .arg(portName));
    }
    return localText(language,
        QStringLiteral("The serial port %1 cannot be opened: %2.").arg(portName, reason),
        QStringLiteral("无法打开串口 %1：%2。").arg(portName, reason));
}

bool SerialTransport::isOpen() const
{
    return m_port->isOpen();
}

bool SerialTransport::write(const QByteArray &bytes, QString *error)
{
    if (!m_port->isOpen() || m_port->write(bytes) != bytes.size()) {
        *error = m_port->errorString();
        return false;
    }
    return true;
}

qint64 SerialTransport::bytesToWrite() const
{
    return m_port->isOpen() ? m_port->bytesToWrite() : 0;
}

qint64 SerialTransport::bytesInFlight() const
{
    if (!m_port->isOpen())
        return 0;
    int queued = 0;
    if (::ioctl(int(m_port->handle()), TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

void SerialTransport::close()
{
    if (m_port->isOpen())
        m_port->close();
    m_port->clearError();
}

void SerialTransport::drain()
{
    if (m_port->isOpen())
        ::tcdrain(int(m_port->handle()));
}

void SerialTransport::onError(int error)
{
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::OpenError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::UnsupportedOperationError:
        // Open failures are reported by open(); the rest do not end the stream.
        return;
    default:
        break;
    }
    if (!m_port->isOpen())
        return;
    const QString reason = m_port->errorString();
    // A vanished device keeps signalling its error on every poll; closing stops that.
    m_port->close();
    m_port->clearError();
    emit failed(reason);
}
