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
    if (m_decided)
        return {};
    const qsizetype wanted = Answer::kTcpAnswerSize - m_pending.size();
    m_pending.append(bytes.left(wanted));
    if (m_pending.size() < Answer::kTcpAnswerSize)
        return {};
    m_decided = true;
    const uchar verdict = uchar(m_pending.at(Answer::kTcpVerdictIndex));
    if (verdict == Answer::kTcpSuccess)
        return { Msg::SetSucceeded };
    if (verdict == Answer::kTcpFailure)
        return { Msg::SetFailed };
    return {};
}
