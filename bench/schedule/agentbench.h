#pragma once

// What the agent benchmarks share: files, serving in-process signs, and reading a process's
// CPU time and memory from /proc.

#include "loopbacksign.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QThread>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <unistd.h>

namespace AgentBench {

inline const QByteArray kTcpSuccess = QByteArray::fromHex("02000088");

// A sign on loopback that answers every packet with success and only counts what came.
inline std::unique_ptr<LoopbackSign> countingSign()
{
    auto sign = std::make_unique<LoopbackSign>();
    sign->listen();
    sign->answerPieces = { kTcpSuccess };
    sign->keepPackets = false;
    return sign;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Serves the in-process signs until `done` or the deadline.
inline bool serveUntil(const std::function<bool()> &done, qint64 timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(200);
    }
    return true;
}

// Seconds from environment variable `name` (so a quick run can shorten a long wait), else
// `fallback`.
inline int envSeconds(const char *name, int fallback)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : fallback;
}

// User plus system CPU time of process `pid` in milliseconds.
inline qint64 cpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which sits in parentheses.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const qint64 ticks = fields.value(11).toLongLong() + fields.value(12).toLongLong();
    return ticks * 1000 / sysconf(_SC_CLK_TCK);
}

// A field of /proc/PID/status ("VmRSS", "VmHWM", ...), as written there.
inline QString statusField(qint64 pid, const QByteArray &name)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return QString::fromLatin1(line.mid(name.size() + 1).simplified());
    }
    return {};
}

} // namespace AgentBench
