#pragma once

#include <QList>
#include <QString>

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

// The target list of the settings dialog as plain rows, and its "address,port,flag;..."
// string form.
class IpTargetList
{
public:
    // Why "IP Add" refuses a row; the values are the numbers of the catalogue messages, in
    // the order the checks run. SeparatorInText has no catalogue number: a "," or ";" in a
    // field would break the stored list apart.
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
    // ";"; a row has the same trimmed address and port (exact text comparison).
    static Refusal checkAdd(
        const QList<IpTarget> &rows, const QString &address, const QString &port, qint16 maxRows);

    // The message for SeparatorInText, in `language`.
    static QString separatorRefusalText(const QString &language);
};
