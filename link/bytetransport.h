#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// A byte stream to a sign: the serial line or one TCP connection. The link writes a packet
// through it and judges what arrives; how the bytes travel is the transport's business.
class ByteTransport : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool isOpen() const = 0;

    // Queues every byte for sending, in order. False with `error` set when the transport is
    // not open.
    virtual bool write(const QByteArray &bytes, QString *error) = 0;

    // Bytes queued by write() that the system has not taken yet.
    virtual qint64 bytesToWrite() const = 0;

    // Bytes the system has taken but not yet put on the wire; 0 where that cannot be told.
    virtual qint64 bytesInFlight() const { return 0; }

    // Ends the stream. Bytes still queued are dropped, so callers wait for bytesToWrite() to
    // reach 0 first.
    virtual void close() = 0;

signals:
    // The bytes of one receive event.
    void arrived(const QByteArray &bytes);
    // `count` more bytes were taken by the system.
    void written(qint64 count);
    // The stream broke or the other end went away; nothing more can be written or received.
    void failed(const QString &reason);
};
