#include "ptypeer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

namespace {
constexpr std::chrono::milliseconds kSlowReadPause { 1 };
constexpr int kBufferSize = 65536;
} // namespace

bool PtyPeer::open()
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

void PtyPeer::readSome()
{
    if (m_master < 0)
        return;
    static char buffer[kBufferSize];
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
    if (readChunk > 0) {
        m_notifier->setEnabled(false);
        QTimer::singleShot(kSlowReadPause, this, [this] {
            if (m_notifier)
                m_notifier->setEnabled(true);
        });
    }
}

void PtyPeer::answer()
{
    for (const QByteArray &event : std::as_const(answerEvents)) {
        if (::write(m_master, event.constData(), size_t(event.size())) < 0)
            break; // the test sees the missing answer
        ::tcdrain(m_master);
    }
}

bool PtyPeer::writeNow(const QByteArray &bytes)
{
    return m_master >= 0
        && ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

void PtyPeer::closeMaster()
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
