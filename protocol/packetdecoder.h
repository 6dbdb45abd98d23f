#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Reads packets back into what they describe: used by the virtual sign and by tests that
// check the builder pixel for pixel.

struct DecodedPicture
{
    int slot = 0; // byte 4: row number + 2
    int pageRowBytes = 0; // byte 11
    int pageRows = 0; // byte 12
    int screenRowBytes = 0; // byte 15
    int screenRows = 0; // byte 16
    // One pixel per LED: red, green, yellow or black. pageRowBytes x 8 by pageRows.
    QImage image;
};

struct DecodedEffectRecord
{
    int slot = 0;
    int entryEffect = 0, entrySpeed = 0, entryTime = 0, entryRepeat = 0;
    int exitEffect = 0, exitSpeed = 0, exitTime = 0, exitRepeat = 0;
};

// False when the bytes are not a well-formed packet of that type.
bool decodePicture(const QByteArray &packet, DecodedPicture *out);
bool decodeControl(const QByteArray &packet, QList<DecodedEffectRecord> *out);
