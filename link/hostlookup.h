#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

// One host name being looked up for a TCP connection. The answer comes once, through found()
// or failed(), on the thread that started it. Deleting the lookup abandons it: an answer that
// comes later reaches no one.
//
// The system's lookup runs each name on a thread of its own, not in a shared pool, so a name
// that never resolves delays no other target, and nothing waits for it when the program ends.
class HostLookup : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts looking `host` up with the lookup in use; the lookup belongs to `parent`.
    static HostLookup *start(const QString &host, QObject *parent);

    // What start() makes. Tests set a stand-in they control; an empty factory puts the
    // system's lookup back.
    using Factory = std::function<HostLookup *(const QString &host, QObject *parent)>;
    static void setFactory(Factory factory);

signals:
    void found(const QList<QHostAddress> &addresses); // never empty, in the system's order
    void failed(const QString &reason);
};
