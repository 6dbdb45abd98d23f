#include "signpty.h"

#include "signstream.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kReadChunk = 4096;
} // namespace

SignPty::SignPty(VirtualSign &sign, QObject *parent)
    : QObject(parent)
    , m_sign(sign)
{ }

SignPty::~SignPty()
{
    close();
}

bool SignPty::open(QString *error)
{
    close();
    char name[256] = {};
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Raw both ways: packet bytes such as 0x03 or 0x0A must pass untouched.
    termios tio {};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    m_master = master;
    m_keeper = slave;
    m_path = QString::fromLocal8Bit(name);
    m_stream = new SignStream(
        m_sign, SignAnswerCodes::serial(), QStringLiteral("pty"),
        [this](const QByteArray &answer) { writeAnswer(answer); }, this);
    m_notifier = new QSocketNotifier(qintptr(m_master), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignPty::readMaster);
    return true;
}

void SignPty::close()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_stream)
        m_stream->finish();
    delete m_stream;
    m_stream = nullptr;
    if (m_keeper >= 0)
        ::close(m_keeper);
    if (m_master >= 0)
        ::close(m_master);
    m_keeper = -1;
    m_master = -1;
}

void SignPty::readMaster()
{
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            m_stream->feed(QByteArray(buffer, int(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EIO) {
            // Every descriptor of the device end was closed (ours too, somehow): take one
            // again so the next link can open it and the master stops reporting hangup.
            if (!reopenKeeper())
                m_notifier->setEnabled(false);
        }
        return; // EAGAIN: all read
    }
}

void SignPty::writeAnswer(const QByteArray &answer)
{
    // Answers to earlier sends that no link read would be taken for this one's.
    if (m_keeper >= 0)
        ::tcflush(m_keeper, TCIFLUSH);
    const ssize_t n = ::write(m_master, answer.constData(), size_t(answer.size()));
    Q_UNUSED(n) // a full terminal drops the answer; the link then reports no answer
}

bool SignPty::reopenKeeper()
{
    if (m_keeper >= 0)
        ::close(m_keeper);
    m_keeper = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    return m_keeper >= 0;
}
