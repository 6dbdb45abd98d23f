#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;
class SignStream;
class VirtualSign;

// The sign's serial side: a pseudo-terminal in raw mode whose other end (devicePath()) a link
// opens as its serial port, answered with AA or DD.
//
// A link closes and reopens the port for every send. The sign keeps a descriptor of that end
// open itself, so the terminal does not hang up between sends, and drops answers no link
// read before it writes a new one.
class SignPty : public QObject
{
    Q_OBJECT

public:
    explicit SignPty(VirtualSign &sign, QObject *parent = nullptr);
    ~SignPty() override;

    // Opens the pseudo-terminal. False with `error` set when the system has none to give.
    bool open(QString *error);
    void close();

    // The device a link opens, e.g. /dev/pts/7.
    QString devicePath() const { return m_path; }

private:
    void readMaster();
    void writeAnswer(const QByteArray &answer);
    bool reopenKeeper();

    VirtualSign &m_sign;
    int m_master = -1;
    int m_keeper = -1; // our own descriptor of the device end
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    SignStream *m_stream = nullptr;
};
