#include "signstream.h"

#include "packetformat.h"
#include "virtualsign.h"

using namespace PacketFormat;

SignAnswerCodes SignAnswerCodes::tcp()
{
    const auto answer = [](std::uint8_t verdict) {
        QByteArray bytes(Answer::kTcpAnswerSize, '\0');
        bytes[0] = char(kPacketStart);
        bytes[Answer::kTcpVerdictIndex] = char(verdict);
        return bytes;
    };
    return { answer(Answer::kTcpSuccess), answer(Answer::kTcpFailure) };
}

SignAnswerCodes SignAnswerCodes::serial()
{
    return { QByteArray(1, char(Answer::kSerialSuccess)),
        QByteArray(1, char(Answer::kSerialFailure)) };
}

SignStream::SignStream(VirtualSign &sign, SignAnswerCodes codes, QString via,
    std::function<void(const QByteArray &)> write, QObject *parent)
    : QObject(parent)
    , m_sign(sign)
    , m_codes(std::move(codes))
    , m_via(std::move(via))
    , m_write(std::move(write))
{
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setInterval(kQuietGap);
    connect(&m_quietTimer, &QTimer::timeout, this, &SignStream::dropPending);
}

void SignStream::feed(const QByteArray &bytes)
{
    const QList<PacketAssembler::Frame> frames = m_assembler.feed(bytes);
    for (const PacketAssembler::Frame &frame : frames) {
        switch (m_sign.take(frame, m_via)) {
        case SignReply::Success:
            m_write(m_codes.success);
            break;
        case SignReply::Failure:
            m_write(m_codes.failure);
            break;
        case SignReply::Silent:
            break;
        }
    }
    if (m_assembler.pendingBytes() > 0)
        m_quietTimer.start();
    else
        m_quietTimer.stop();
}

void SignStream::finish()
{
    m_quietTimer.stop();
    dropPending();
}

void SignStream::dropPending()
{
    if (m_assembler.pendingBytes() == 0)
        return;
    m_sign.dropIncomplete(m_assembler.pendingBytes(), m_via);
    m_assembler.reset();
}
