#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Cuts a byte stream into sign packets. A TCP send or a serial write may arrive in pieces,
// and a serial stream may carry several packets back to back, so bytes are buffered until a
// whole packet is there. Bytes that cannot start a packet are dropped and reported.
class PacketAssembler
{
public:
    struct Frame
    {
        QByteArray bytes; // the packet, or the dropped bytes when !valid
        bool valid = false;
        QString problem; // why the bytes are not a valid packet
    };

    // Longest packet accepted; a header announcing more is treated as garbage.
    static constexpr int kMaxPacketSize = 21 + 2 * 255 * 255;

    // Adds bytes and returns every frame they complete, in stream order.
    QList<Frame> feed(const QByteArray &bytes);

    // Bytes of a packet begun but not yet complete.
    int pendingBytes() const { return int(m_buffer.size()); }
    // Drops an incomplete packet (a sign gives up on a packet whose tail never comes).
    void reset() { m_buffer.clear(); }

    // Size the packet at the start of `bytes` will have: > 0 when known, 0 when more bytes
    // are needed to tell, -1 when the bytes cannot start a packet.
    static int expectedSize(const QByteArray &bytes);

    // Checks a complete packet's fixed bytes; "" when it is well formed.
    static QString validate(const QByteArray &packet);

private:
    QByteArray m_buffer;
};
