#include "portprobe.h"

#include "localtext.h"

#include <QCollator>
#include <QDir>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

const QStringList kPortFamilies = { QStringLiteral("ttyS"), QStringLiteral("ttyUSB"),
    QStringLiteral("ttyACM"), QStringLiteral("rfcomm") };

const QString kDevFolder = QStringLiteral("/dev/");

// What an absent entry adds to the port's name, in each interface language.
const QString kAbsentMarks[] = { QStringLiteral(" (not present)"), QStringLiteral("（不存在）") };

// "3" or "COM3" as written on Windows: the port number, or 0 for anything else.
int comNumber(const QString &port)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:COM)?(\\d{1,5})$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(port.trimmed());
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

int familyOf(const QString &name)
{
    for (int i = 0; i < kPortFamilies.size(); ++i) {
        const QString &family = kPortFamilies.at(i);
        if (name.startsWith(family) && name.size() > family.size()
            && name.at(family.size()).isDigit())
            return i;
    }
    return -1;
}

bool tryOpen(const QString &portName)
{
    QSerialPort port;
    port.setPortName(portName);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.close();
    return true;
}

} // namespace

PortProbe::PortProbe()
    : m_machinePorts(systemPorts())
    , m_openCheck(tryOpen)
{ }

QStringList PortProbe::systemPorts()
{
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (familyOf(info.portName()) >= 0)
            names.append(info.portName());
    }
    // Bound Bluetooth ports are not always reported as serial devices.
    for (const QString &name :
        QDir(kDevFolder).entryList({ QStringLiteral("rfcomm*") }, QDir::System | QDir::Files)) {
        if (familyOf(name) >= 0 && !names.contains(name))
            names.append(name);
    }
    QCollator collator(QLocale::c());
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
        const int fa = familyOf(a);
        const int fb = familyOf(b);
        return fa != fb ? fa < fb : collator.compare(a, b) < 0;
    });
    names.removeDuplicates();
    return names;
}

QString PortProbe::devicePath(const QString &port)
{
    const QString p = port.trimmed();
    if (p.isEmpty())
        return {};
    if (const int n = comNumber(p); n > 0)
        return kDevFolder + QStringLiteral("ttyS%1").arg(n - 1);
    if (p.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(p);
    return kDevFolder + p;
}

QStringList PortProbe::entries(const QString &storedCommPort, const QString &portInUse) const
{
    QStringList list = m_machinePorts;
    const QString stored = storedCommPort.trimmed();
    if (stored.isEmpty() || !entryFor(stored, list).isEmpty())
        return list;
    const int n = comNumber(stored);
    if (n == 0 && stored.at(0).isDigit())
        return list; // "0" names no port: COM ports count from 1
    const QString path = devicePath(stored);
    const bool inUse = !portInUse.isEmpty() && devicePath(portInUse) == path;
    if (inUse || (m_openCheck && m_openCheck(path)))
        list.append(n > 0 ? QStringLiteral("COM%1").arg(n) : stored);
    return list;
}

QString PortProbe::entryFor(const QString &storedCommPort, const QStringList &entries)
{
    const QString path = devicePath(storedCommPort);
    if (path.isEmpty())
        return {};
    for (const QString &entry : entries) {
        if (devicePath(entry) == path)
            return entry;
    }
    return {};
}

QString PortProbe::absentEntry(const QString &storedCommPort, const QString &language)
{
    const QString stored = storedCommPort.trimmed();
    const int n = comNumber(stored);
    if (stored.isEmpty() || (n == 0 && stored.at(0).isDigit()))
        return {};
    return (n > 0 ? QStringLiteral("COM%1").arg(n) : stored)
        + localText(language, kAbsentMarks[0], kAbsentMarks[1]);
}

QString PortProbe::commPortFor(const QString &entry)
{
    QString port = entry;
    for (const QString &mark : kAbsentMarks) {
        if (port.endsWith(mark))
            port.chop(mark.size());
    }
    const int n = comNumber(port);
    if (n > 0 && port.trimmed().startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return QString::number(n);
    return port;
}
