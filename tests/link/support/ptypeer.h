#pragma once

#include "packetassembler.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The far end of a real pseudo-terminal, in the test's own process: the link opens
// devicePath() as its serial port; the peer reads what it writes and answers as told.
class PtyPeer : public QObject
{
    Q_OBJECT

public:
    explicit PtyPeer(QObject *parent = nullptr)
        : QObject(parent)
    { }
    ~PtyPeer() override { closeMaster(); }

    bool open();
    QString devicePath() const { return m_path; }

    // Each entry is written as one write once a whole packet has come, or once
    // answerAfterBytes bytes have come when that is not 0.
    QList<QByteArray> answerEvents;
    int answerAfterBytes = 0;
    // Most bytes taken per read, with a pause between reads: a slow line. 0 reads all.
    int readChunk = 0;
    // Closes the terminal's far end once this many bytes have come (0: never).
    int closeAfterBytes = 0;

    // Writes bytes towards the link now, whether or not it has the port open.
    bool writeNow(const QByteArray &bytes);

    QByteArray received;
    QList<QByteArray> packets;
    bool closed() const { return m_master < 0; }

private:
    void readSome();
    void answer();
    void closeMaster();

    int m_master = -1;
    int m_keeper = -1;
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    PacketAssembler m_assembler;
};
