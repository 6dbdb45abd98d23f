#include "packetdecoder.h"

#include "packetassembler.h"
#include "packetformat.h"

using namespace PacketFormat;

bool decodePicture(const QByteArray &p, DecodedPicture *out)
{
    if (!PacketAssembler::validate(p).isEmpty() || uchar(p.at(1)) != kPictureFrameType)
        return false;
    const auto byte = [&](int i) { return int(uchar(p.at(i))); };
    out->slot = byte(Picture::kSlot);
    out->pageRowBytes = byte(Picture::kPageRowBytes);
    out->pageRows = byte(Picture::kPageRows);
    out->screenRowBytes = byte(Picture::kScreenRowBytes);
    out->screenRows = byte(Picture::kScreenRows);
    const int width = out->pageRowBytes * 8;
    const int plane = out->pageRowBytes * out->pageRows;
    QImage image(width, out->pageRows, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = 0; y < out->pageRows; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int offset = y * out->pageRowBytes + x / 8;
            const int mask = 0x80 >> (x % 8);
            const bool red = byte(Picture::kHeaderSize + offset) & mask;
            const bool green = byte(Picture::kHeaderSize + plane + offset) & mask;
            line[x] = qRgb(red ? 255 : 0, green ? 255 : 0, 0);
        }
    }
    out->image = image;
    return true;
}

bool decodeControl(const QByteArray &p, QList<DecodedEffectRecord> *out)
{
    if (!PacketAssembler::validate(p).isEmpty() || uchar(p.at(1)) != kControlType)
        return false;
    const int count = (int(p.size()) - Control::kFixedSize) / Control::kRecordSize;
    out->clear();
    for (int j = 0; j < count; ++j) {
        const int s = Control::kHeaderSize + j * Control::kRecordSize;
        const auto byte = [&](int i) { return int(uchar(p.at(s + i))); };
        DecodedEffectRecord r;
        r.slot = byte(Control::kSlot);
        r.entryEffect = byte(Control::kEntryEffect);
        r.entrySpeed = byte(Control::kEntrySpeed);
        r.entryTime = byte(Control::kEntryTime);
        r.entryRepeat = byte(Control::kEntryRepeat);
        r.exitEffect = byte(Control::kExitEffect);
        r.exitSpeed = byte(Control::kExitSpeed);
        r.exitTime = byte(Control::kExitTime);
        r.exitRepeat = byte(Control::kExitRepeat);
        out->append(r);
    }
    return true;
}
