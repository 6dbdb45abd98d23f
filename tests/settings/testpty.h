#pragma once

#include <QString>

#include <pty.h>
#include <unistd.h>

// A real pseudo-terminal: its device path works as a serial port while the test holds it,
// and stops working once it is closed.
class TestPty
{
public:
    TestPty()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            m_path = QString::fromLocal8Bit(name);
    }
    ~TestPty()
    {
        for (int fd : { m_master, m_slave })
            if (fd >= 0)
                ::close(fd);
    }
    TestPty(const TestPty &) = delete;
    TestPty &operator=(const TestPty &) = delete;

    QString path() const { return m_path; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
