#pragma once

#include <QSerialPort>
#include <QString>

// The serial line settings of the "speed,parity,data bits,stop bits" string (9600,N,8,1), as
// the link opens the port with them and the settings dialog shows them.
struct SerialLineSettings
{
    qint32 baudRate = 9600; // bits per second, 1 and up
    QSerialPort::Parity parity = QSerialPort::NoParity;
    // 4..8 as the string may carry; the serial ports of this system take 5..8 only.
    int dataBits = 8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    // Reads a settings string: a decimal speed, a parity letter E, O, N, M or S (either
    // case), data bits 4 to 8 and stop bits 1, 1.5 or 2, separated by ",". False with `error`
    // set, in `language`, when the string does not follow that form.
    static bool parse(
        const QString &text, SerialLineSettings *out, QString *error, const QString &language);

    // The settings string, e.g. "9600,N,8,1" (parity as an upper-case letter).
    QString toString() const;

    // The data bits as the port takes them; false with `error` set for 4 data bits, which no
    // serial port here supports.
    bool portDataBits(QSerialPort::DataBits *out, QString *error, const QString &language) const;
};

// The port name to open for a CommPort value: a name (ttyUSB0, rfcomm0) or a device path
// (/dev/pts/3) as it stands; a bare number n or "COMn", as files written on Windows hold it,
// as ttyS(n-1). False with `error` set, in `language`, for an empty value or COM0.
bool serialPortNameFor(
    const QString &commPort, QString *portName, QString *error, const QString &language);
