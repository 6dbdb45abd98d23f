#pragma once

#include <QString>
#include <QStringList>

// The serial selectors of the settings dialog: their entry lists, the fields read back out of
// a stored settings string, and the string built from the selected entries.
class CommSettingsFields
{
public:
    static QStringList speedEntries(); // "110" .. "384000", 17 entries
    static QStringList dataBitsEntries(); // "4" .. "8"
    static QStringList parityEntries(); // "Even", "Odd", "None", "Mark", "Space"
    static QStringList stopBitsEntries(); // "1", "1.5", "2"

    // Entries selected when nothing is stored.
    static QString initialSpeed() { return QStringLiteral("9600"); }
    static QString initialDataBits() { return QStringLiteral("8"); }
    static QString initialParity() { return QStringLiteral("None"); }
    static QString initialStopBits() { return QStringLiteral("1"); }

    // The fields of a stored string such as 9600,N,8,1 or 19200,e,7,1.5, found by position
    // from the end: with L the length and k = 2 when the string holds "." (stop bits "1.5"),
    // the speed is the first L-6-k characters, the parity letter is at L-4-k, the data bits
    // at L-2-k and the stop bits run from L-k to the end (positions from 1). A field that
    // cannot be found stays empty; the parity letter, either case, gives its entry name or
    // "" for any other letter. The dialog selects only fields that equal one of its entries.
    static CommSettingsFields fromStored(const QString &stored);

    // The string for the selected entries: speed "," the parity's first letter "," data bits
    // "," stop bits, each without surrounding blanks (9600,N,8,1).
    QString toString() const;

    QString speed;
    QString parity; // an entry name of parityEntries(), or ""
    QString dataBits;
    QString stopBits;
};
