#include "seriallinesettings.h"

#include "localtext.h"

#include <QRegularExpression>
#include <QStringList>

#include <limits>

namespace {

constexpr int kFieldCount = 4;
constexpr int kMinDataBits = 4;
constexpr int kMaxDataBits = 8;
// Data bits below this are in the settings grammar but no serial driver here takes them.
constexpr int kMinPortDataBits = 5;

struct ParityLetter
{
    QChar letter;
    QSerialPort::Parity parity;
};

const ParityLetter kParityLetters[] = {
    { QLatin1Char('E'), QSerialPort::EvenParity },
    { QLatin1Char('O'), QSerialPort::OddParity },
    { QLatin1Char('N'), QSerialPort::NoParity },
    { QLatin1Char('M'), QSerialPort::MarkParity },
    { QLatin1Char('S'), QSerialPort::SpaceParity },
};

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool SerialLineSettings::parse(
    const QString &text, SerialLineSettings *out, QString *error, const QString &language)
{
    const QString shown = text.trimmed();
    if (shown.isEmpty()) {
        return fail(error,
            localText(language,
                QStringLiteral("No serial line settings are set; they look like "
                               "9600,N,8,1."),
                QStringLiteral("未设置串口参数，格式如 9600,N,8,1。")));
    }
    const QStringList fields = shown.split(QLatin1Char(','));
    if (fields.size() != kFieldCount) {
        return fail(error,
            localText(language,
                QStringLiteral("The serial line settings \"%1\" must be speed, "
                               "parity, data bits and stop bits, like 9600,N,8,1.")
                    .arg(shown),
                QStringLiteral("串口参数“%1”应为速率、校验、数据位、停止位，"
                               "如 9600,N,8,1。")
                    .arg(shown)));
    }

    SerialLineSettings s;
    static const QRegularExpression digits(QStringLiteral("^\\d{1,10}$"));
    const QString speed = fields.at(0).trimmed();
    const qint64 baud = digits.match(speed).hasMatch() ? speed.toLongLong() : 0;
    if (baud < 1 || baud > std::numeric_limits<qint32>::max()) {
        return fail(error,
            localText(language,
                QStringLiteral("The serial speed \"%1\" is not a whole number of "
                               "bits per second.")
                    .arg(speed),
                QStringLiteral("串口速率“%1”不是有效的整数。").arg(speed)));
    }
    s.baudRate = qint32(baud);

    const QString parity = fields.at(1).trimmed().toUpper();
    bool parityFound = false;
    for (const ParityLetter &p : kParityLetters) {
        if (parity.size() == 1 && parity.at(0) == p.letter) {
            s.parity = p.parity;
            parityFound = true;
        }
    }
    if (!parityFound) {
        return fail(error,
            localText(language,
                QStringLiteral("The parity \"%1\" is not one of E, O, N, M or S.")
                    .arg(fields.at(1).trimmed()),
                QStringLiteral("校验位“%1”不是 E、O、N、M、S 之一。").arg(fields.at(1).trimmed())));
    }

    const QString data = fields.at(2).trimmed();
    const int dataBits = data.size() == 1 && data.at(0).isDigit() ? data.toInt() : 0;
    if (dataBits < kMinDataBits || dataBits > kMaxDataBits) {
        return fail(error,
            localText(language,
                QStringLiteral("The data bits \"%1\" are not a number from 4 to 8.").arg(data),
                QStringLiteral("数据位“%1”不是 4 到 8 之间的数。").arg(data)));
    }
    s.dataBits = dataBits;

    const QString stop = fields.at(3).trimmed();
    if (stop == QLatin1String("1")) {
        s.stopBits = QSerialPort::OneStop;
    } else if (stop == QLatin1String("1.5")) {
        s.stopBits = QSerialPort::OneAndHalfStop;
    } else if (stop == QLatin1String("2")) {
        s.stopBits = QSerialPort::TwoStop;
    } else {
        return fail(error,
            localText(language,
                QStringLiteral("The stop bits \"%1\" are not 1, 1.5 or 2.").arg(stop),
                QStringLiteral("停止位“%1”不是 1、1.5 或 2。").arg(stop)));
    }

    *out = s;
    return true;
}

QString SerialLineSettings::toString() const
{
    QChar letter = QLatin1Char('N');
    for (const ParityLetter &p : kParityLetters) {
        if (p.parity == parity)
            letter = p.letter;
    }
    QString stop = QStringLiteral("1");
    if (stopBits == QSerialPort::OneAndHalfStop)
        stop = QStringLiteral("1.5");
    else if (stopBits == QSerialPort::TwoStop)
        stop = QStringLiteral("2");
    return QStringLiteral("%1,%2,%3,%4").arg(baudRate).arg(letter).arg(dataBits).arg(stop);
}

bool SerialLineSettings::portDataBits(
    QSerialPort::DataBits *out, QString *error, const QString &language) const
{
    if (dataBits < kMinPortDataBits || dataBits > kMaxDataBits) {
        return fail(error,
            localText(language,
                QStringLiteral("%1 data bits are not supported by the serial ports "
                               "of this computer; use 5 to 8.")
                    .arg(dataBits),
                QStringLiteral("本机串口不支持 %1 位数据位，请使用 5 到 8。").arg(dataBits)));
    }
    *out = QSerialPort::DataBits(dataBits);
    return true;
}

bool serialPortNameFor(
    const QString &commPort, QString *portName, QString *error, const QString &language)
{
    const QString port = commPort.trimmed();
    if (port.isEmpty()) {
        return fail(error,
            localText(language, QStringLiteral("No serial port is set."),
                QStringLiteral("未设置串口。")));
    }
    static const QRegularExpression comNumber(
        QStringLiteral("^(?:COM)?(\\d{1,5})$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = comNumber.match(port);
    if (m.hasMatch()) {
        const int n = m.captured(1).toInt();
        if (n < 1) {
            return fail(error,
                localText(language,
                    QStringLiteral("The serial port \"%1\" does not exist; COM "
                                   "ports are numbered from 1.")
                        .arg(port),
                    QStringLiteral("串口“%1”不存在；COM 口从 1 开始编号。").arg(port)));
        }
        // COM1 is the first on-board port, which Linux names ttyS0.
        *portName = QStringLiteral("ttyS%1").arg(n - 1);
        return true;
    }
    *portName = port;
    return true;
}
