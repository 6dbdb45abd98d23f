#include "packetassembler.h"

#include "packetformat.h"

using namespace PacketFormat;

namespace {
uchar at(const QByteArray &b, int i)
{
    return uchar(b.at(i));
}
} // namespace

int PacketAssembler::expectedSize(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return 0;
    if (at(bytes, 0) != kPacketStart)
        return -1;
    if (bytes.size() < 2)
        return 0;
    switch (at(bytes, 1)) {
    case kPictureFrameType:
        if (bytes.size() < Picture::kHeaderSize)
            return 0;
        return Picture::kFixedSize
                + 2 * int(at(bytes, Picture::kPageRowBytes)) * int(at(bytes, Picture::kPageRows));
    case kControlType: {
        if (bytes.size() < 4)
            return 0;
        const int length = int(at(bytes, Control::kLengthHigh)) * 256
                + int(at(bytes, Control::kLengthLow)) + 2;
        if (length < Control::kFixedSize || (length - Control::kFixedSize) % Control::kRecordSize)
            return -1;
        return length;
    }
    case kClearScreenType:
        return Clear::kSize;
    default:
        return -1;
    }
}

QString PacketAssembler::validate(const QByteArray &p)
{
    const int size = expectedSize(p);
    if (size <= 0)
        return QStringLiteral("not a packet start (02 33, 02 34 or 02 35)");
    if (p.size() != size)
        return QStringLiteral("length %1, expected %2").arg(p.size()).arg(size);
    const uchar type = at(p, 1);
    if (type == kClearScreenType) {
        for (int i = 2; i < Clear::kCommand; ++i) {
            if (at(p, i) != 0)
                return QStringLiteral("byte %1 is not 00").arg(i);
        }
        if (at(p, Clear::kCommand) != 0xCC || at(p, Clear::kCommand + 1) != 0xEE)
            return QStringLiteral("clear command bytes are not CC EE");
        return {};
    }
    for (int i = 0; i < 4; ++i) {
        if (at(p, size - 4 + i) != kEndMarker[i])
            return QStringLiteral("end marker is not FF 03 00 00");
    }
    if (type == kPictureFrameType) {
        if (at(p, Picture::kPageRowBytes) % kBytesPerModuleRow
            || at(p, Picture::kPageRows) % kModuleLeds)
            return QStringLiteral("page size is not a whole number of modules");
        if (at(p, Picture::kFlag) != 0x01)
            return QStringLiteral("byte 5 is not 01");
    }
    return {};
}

QList<PacketAssembler::Frame> PacketAssembler::feed(const QByteArray &bytes)
{
    QList<Frame> frames;
    m_buffer.append(bytes);
    while (!m_buffer.isEmpty()) {
        const int size = expectedSize(m_buffer);
        if (size < 0 || size > kMaxPacketSize) {
            // Resynchronise on the next start byte after this one.
            int next = m_buffer.indexOf(char(kPacketStart), 1);
            if (next < 0)
                next = int(m_buffer.size());
            Frame garbage;
            garbage.bytes = m_buffer.left(next);
            garbage.problem = QStringLiteral("%1 byte(s) that do not start a packet")
                                      .arg(garbage.bytes.size());
            frames.append(garbage);
            m_buffer.remove(0, next);
            continue;
        }
        if (size == 0 || m_buffer.size() < size)
            break;
        Frame frame;
        frame.bytes = m_buffer.left(size);
        frame.problem = validate(frame.bytes);
        frame.valid = frame.problem.isEmpty();
        frames.append(frame);
        m_buffer.remove(0, size);
    }
    return frames;
}
