#include "answerjudge.h"

#include "messages.h"
#include "packetformat.h"

using namespace PacketFormat;

QByteArray serialAnswerText(const QByteArray &bytes)
{
    QByteArray text;
    text.reserve(bytes.size() * 3);
    for (char c : bytes)
        text += QByteArray::number(int(uchar(c)));
    return text;
}

QList<qint16> serialAnswerMessages(const QByteArray &bytes)
{
    // Decimal texts of the two answer bytes, matched anywhere in the event's text.
    static const QByteArray kFailureText = QByteArray::number(Answer::kSerialFailure);
    static const QByteArray kSuccessText = QByteArray::number(Answer::kSerialSuccess);
    const QByteArray text = serialAnswerText(bytes);
    QList<qint16> messages;
    if (text.contains(kFailureText))
        messages.append(Msg::SetFailed);
    if (text.contains(kSuccessText))
        messages.append(Msg::SetSucceeded);
    return messages;
}

Verdict verdictOfMessages(const QList<qint16> &messages)
{
    if (messages.contains(Msg::SetFailed))
        return Verdict::Failure;
    if (messages.contains(Msg::SetSucceeded))
        return Verdict::Success;
    return Verdict::None;
}

QList<qint16> TcpAnswerReader::feed(const QByteArray &bytes)
{
    m_pending.append(bytes);
    QList<qint16> messages;
    while (m_pending.size() >= Answer::kTcpAnswerSize) {
        const uchar verdict = uchar(m_pending.at(Answer::kTcpVerdictIndex));
        if (verdict == Answer::kTcpSuccess)
            messages.append(Msg::SetSucceeded);
        else if (verdict == Answer::kTcpFailure)
            messages.append(Msg::SetFailed);
        m_pending.remove(0, Answer::kTcpAnswerSize);
    }
    return messages;
}
