#pragma once

#include "packetassembler.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>

class VirtualSign;

// The bytes a sign answers with on one kind of link.
struct SignAnswerCodes
{
    QByteArray success;
    QByteArray failure;

    static SignAnswerCodes tcp(); // 02 00 00 88 / 02 00 00 EE
    static SignAnswerCodes serial(); // AA / DD
};

// One incoming byte stream (a TCP connection or the pseudo-terminal): cuts it into packets,
// hands each to the sign and writes the answer back.
class SignStream : public QObject
{
    Q_OBJECT

public:
    // A packet whose tail has not come after this long is given up, as a controller resets
    // its receiver after a pause on the line.
    static constexpr std::chrono::milliseconds kQuietGap { 2000 };

    // `write` sends answer bytes back on the stream.
    SignStream(VirtualSign &sign, SignAnswerCodes codes, QString via,
        std::function<void(const QByteArray &)> write, QObject *parent = nullptr);

    // Takes the bytes of one read.
    void feed(const QByteArray &bytes);

    // The stream ended; a packet begun on it is dropped.
    void finish();

private:
    void dropPending();

    VirtualSign &m_sign;
    SignAnswerCodes m_codes;
    QString m_via;
    std::function<void(const QByteArray &)> m_write;
    PacketAssembler m_assembler;
    QTimer m_quietTimer;
};
