#pragma once

#include <QByteArray>
#include <QList>

#include "sendoutcome.h"

// How the sign's answers turn into prompts.

// The message numbers (7 "set failed!", then 8 "set succeed!") that the bytes of one serial
// receive event give. The bytes are written as decimal numbers without separators ("2221"
// for 02 DD); a text containing "221" gives 7, and independently one containing "170" gives
// 8. A match may span two bytes.
QList<qint16> serialAnswerMessages(const QByteArray &bytes);

// The decimal text of bytes as the serial judging reads it.
QByteArray serialAnswerText(const QByteArray &bytes);

// The verdict of a list of shown messages: failure if any said so, else success if any did.
Verdict verdictOfMessages(const QList<qint16> &messages);

// Reads the answer of one TCP connection to one packet (02 00 00 verdict). An arrival may
// hold part of the answer; a short arrival carries no verdict by itself and waits for the rest.
// The first complete answer decides: whatever a broken sign sends after it is dropped unread,
// so a flood costs neither prompts nor memory.
class TcpAnswerReader
{
public:
    // Adds the bytes of one arrival and returns the message of the answer it completes:
    // 8 for a verdict byte 0x88, 7 for 0xEE, nothing for any other value or once decided.
    QList<qint16> feed(const QByteArray &bytes);

    // Whether a complete answer has arrived (its verdict byte may still be unknown).
    bool decided() const { return m_decided; }
    int pendingBytes() const { return int(m_pending.size()); }

private:
    QByteArray m_pending;
    bool m_decided = false;
};
