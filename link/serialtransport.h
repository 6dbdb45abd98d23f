#pragma once

#include "bytetransport.h"
#include "seriallinesettings.h"

class QSerialPort;

// The serial line to a sign (RS232, or Bluetooth through a serial port such as rfcomm0).
class SerialTransport : public ByteTransport
{
    Q_OBJECT

public:
    explicit SerialTransport(QObject *parent = nullptr);
    ~SerialTransport() override;

    // Opens `portName` with `line`. Closes the port first if it is open. Answers left over in
    // the port's input from an earlier send are discarded. False with `error` set, in
    // `language`, when the port does not exist, is in use or refuses the settings.
    bool open(const QString &portName, const SerialLineSettings &line, QString *error,
        const QString &language);

    bool isOpen() const override;
    bool write(const QByteArray &bytes, QString *error) override;
    qint64 bytesToWrite() const override;
    // The driver's output queue (TIOCOUTQ): bytes written but not yet sent down the line.
    qint64 bytesInFlight() const override;
    void close() override;

    // Blocks until the last byte has left the line; call once bytesInFlight() is 0, when only
    // the UART's own few bytes remain.
    void drain();

    // Why `portName` did not open, in `language`: `permissionDenied` when the system refused
    // access, which on Linux names the fix (membership of the "dialout" group); `reason` the
    // system's own words otherwise.
    static QString openFailureText(const QString &portName, bool permissionDenied,
        const QString &reason, const QString &language);

    // The name the port was opened with: a device path stays a path.
    QString portName() const { return m_portName; }

private:
    void onError(int error);

    QSerialPort *m_port;
    QString m_portName;
};
