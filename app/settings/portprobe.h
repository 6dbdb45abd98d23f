#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The entries of the settings dialog's port selector: the serial ports this machine has, by
// name, plus the stored port when it can be used. Ports are not opened to be listed (opening
// resets some devices); only a stored port that is not among them is tried, and a port that
// the program's own link holds open is listed without being touched.
class PortProbe
{
public:
    // Tries to open a port for the probe and closes it again; true when it opened.
    using OpenCheck = std::function<bool(const QString &portName)>;

    PortProbe();

    // Replaces the machine's port list (tests, or a caller that has it already).
    void setMachinePorts(const QStringList &portNames) { m_machinePorts = portNames; }
    void setOpenCheck(OpenCheck check) { m_openCheck = std::move(check); }

    // This machine's serial ports: ttyS*, ttyUSB*, ttyACM* and rfcomm*, grouped in that order
    // and numbered in ascending order within each group.
    static QStringList systemPorts();

    // The selector's entries. `storedCommPort` is the stored CommPort (a name, a device path,
    // or a Windows COM number); `portInUse` the port the link holds open ("" for none).
    QStringList entries(const QString &storedCommPort, const QString &portInUse) const;

    // The entry of `entries` that `storedCommPort` names, or "" when none does.
    static QString entryFor(const QString &storedCommPort, const QStringList &entries);

    // The entry that shows a stored port this machine does not have now, so that it is kept
    // and seen: "ttyS0 (not present)", "COM3 (not present)"; "" when `storedCommPort` names
    // no port ("" or "0").
    static QString absentEntry(const QString &storedCommPort, const QString &language);

    // The CommPort value to store for a selected entry: the number of a "COMn" entry (as files
    // written on Windows hold it), the entry itself otherwise; an absent entry gives the port
    // it shows.
    static QString commPortFor(const QString &entry);

    // The device path of a port name, path or COM number ("" for an empty value): COMn is
    // ttyS(n-1).
    static QString devicePath(const QString &port);

private:
    QStringList m_machinePorts;
    OpenCheck m_openCheck;
};
