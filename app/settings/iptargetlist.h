#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One row of the TCP target list: a controller's address and port, ticked when it is a send
// target.
struct IpTarget
{
    QString address; // as typed; its form is not checked
    QString port; // as typed; its form is not checked
    bool ticked = false;

    bool operator==(const IpTarget &other) const
    {
        return address == other.address && port == other.port && ticked == other.ticked;
    }
};

// What reading a target file gave: its rows when it was sound, else every problem found.
struct TargetFileRead
{
    QList<IpTarget> rows; // empty unless `problems` is
    QStringList problems; // one per bad line ("Line 3: ..."), then any whole-file problem

    bool ok() const { return problems.isEmpty(); }
};

// The target list of the settings dialog as plain rows, and its "address,port,flag;..."
// string form.
class IpTargetList
{
public:
    // Why "IP Add" refuses a row; the values are the numbers of the catalogue messages, in
    // the order the checks run. SeparatorInText has no catalogue number: a "," or ";" in a
    // field would break the stored list apart.
    // The longest host name or address a target may have (the longest DNS name).
    static constexpr int kMaxAddressLength = 255;

    enum Refusal : qint16 {
        Accepted = 0,
        ListFull = 12,
        FieldEmpty = 10,
        SeparatorInText = -1,
        AlreadyListed = 11,
    };

    // The rows of `ipStr`. At most `maxRows` row positions of the string are looked at,
    // empty ones included, and empty rows add nothing. A row is ticked exactly when its
    // third field has the numeric value 1.
    static QList<IpTarget> FillIpList(const QString &ipStr, qint16 maxRows);

    // The rows as "address,port,flag" joined by ";"; "" for no rows.
    static QString BuildIpListString(const QList<IpTarget> &rows);

    // Checks a new row against the list, in this order: the list already holds `maxRows`
    // rows or more; the address or the port is empty once trimmed; either contains "," or
    // ";"; a row has the same trimmed address (exact text) and port (by number when it is
    // one, so "0080" is "80").
    static Refusal checkAdd(
        const QList<IpTarget> &rows, const QString &address, const QString &port, qint16 maxRows);

    // The message for SeparatorInText, in `language`.
    static QString separatorRefusalText(const QString &language);

    // A target file: UTF-8 text, one "address,port,flag" line per target, flag 1 for a send
    // target and 0 for another; blank lines are skipped. Every bad line is reported by its
    // number (a missing or extra field, an empty address, a "," or ";" where it would break
    // the list, an address over kMaxAddressLength characters or holding a control character,
    // a port that is not a whole number from 1 to 65535, a flag other than 0 or 1, an address
    // and port listed on an earlier line), and so are more rows than `maxRows`
    // and bytes that are not UTF-8. Any problem leaves `rows` empty: nothing is taken from a
    // bad file. Problems are in `language`.
    static TargetFileRead readTargetFile(
        const QByteArray &bytes, qint16 maxRows, const QString &language);

    // The rows as a target file that readTargetFile() reads back (blanks trimmed).
    static QByteArray targetFileText(const QList<IpTarget> &rows);
};
