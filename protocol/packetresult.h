#pragma once

#include <QByteArray>
#include <QString>

// Why a packet could not be built. No packet is sent for a refused value.
struct PacketRefusal
{
    enum class Kind {
        OutOfRange, // `value` is outside minimum..maximum
        NotANumber, // `value` is not a whole number
        NoSuchRow, // the row `row` is not in the program list
        NoRows, // no row to build from
    };

    Kind kind = Kind::OutOfRange;
    QString field; // the value's name as the user knows it: "TextHeight", "Speed", ...
    QString value; // the value as given
    int minimum = 0;
    int maximum = 0;
    int row = 0; // 1-based program-list row the value comes from; 0 for none

    // One sentence saying which value is wrong and what it may be, in the user's language.
    QString message(const QString &language) const;
};

// A complete packet, or the reason there is none.
struct PacketResult
{
    QByteArray bytes;
    PacketRefusal refusal;
    bool ok = false;

    static PacketResult success(QByteArray bytes)
    {
        PacketResult r;
        r.bytes = std::move(bytes);
        r.ok = true;
        return r;
    }
    static PacketResult refused(PacketRefusal refusal)
    {
        PacketResult r;
        r.refusal = std::move(refusal);
        return r;
    }
};
