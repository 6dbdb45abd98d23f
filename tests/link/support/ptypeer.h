#pragma once

#include "packetassembler.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

// The far end of a real pseudo-terminal, in the test's own process: the link opens
// devicePath() as its serial port; the peer reads what it writes and answers as told.
class PtyPeer : public QObject
{
public:
    explicit PtyPeer(QObject *parent = nullptr)
        : QObject(parent)
    { }
    ~PtyPeer() override { closeMaster(); }

    bool open()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_keeper, name, nullptr, nullptr) != 0)
            return false;
        termios tio {};
        ::tcgetattr(m_keeper, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_keeper, TCSANOW, &tio);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = QString::fromLocal8Bit(name);
        m_notifier = new QSocketNotifier(qintptr(m_master), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &PtyPeer::readSome);
        return true;
    }
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
    bool writeNow(const QByteArray &bytes)
    {
        return m_master >= 0
            && ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    QByteArray received;
    QList<QByteArray> packets;
    bool closed() const { return m_master < 0; }

private:
    void readSome()
    {
        if (m_master < 0)
            return;
        static char buffer[65536];
        const size_t wanted = readChunk > 0 ? size_t(readChunk) : sizeof buffer;
        const ssize_t n = ::read(m_master, buffer, wanted);
        if (n <= 0)
            return;
        const QByteArray bytes(buffer, int(n));
        received += bytes;
        for (const PacketAssembler::Frame &frame : m_assembler.feed(bytes)) {
            packets.append(frame.bytes);
            if (answerAfterBytes == 0)
                answer();
        }
        if (answerAfterBytes > 0 && received.size() >= answerAfterBytes
            && received.size() - n < answerAfterBytes)
            answer();
        if (closeAfterBytes > 0 && received.size() >= closeAfterBytes) {
            closeMaster();
            return;
        }
        if (readChunk > 0) { // a pause before the next read
            m_notifier->setEnabled(false);
            QTimer::singleShot(std::chrono::milliseconds(1), this, [this] {
                if (m_notifier)
                    m_notifier->setEnabled(true);
            });
        }
    }

    void answer()
    {
        for (const QByteArray &event : std::as_const(answerEvents)) {
            if (::write(m_master, event.constData(), size_t(event.size())) < 0)
                break; // the test sees the missing answer
            ::tcdrain(m_master);
        }
    }

    void closeMaster()
    {
        delete m_notifier;
        m_notifier = nullptr;
        if (m_keeper >= 0)
            ::close(m_keeper);
        if (m_master >= 0)
            ::close(m_master);
        m_keeper = -1;
        m_master = -1;
    }

    int m_master = -1;
    int m_keeper = -1;
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    PacketAssembler m_assembler;
};
