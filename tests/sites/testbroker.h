#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real mosquitto for one test, listening on a free port of 127.0.0.1 only. Stopped (and
// killed if need be) when it goes.
class TestBroker
{
public:
    ~TestBroker();

    // Starts it; with `user` it takes only that user with `password`. False with `why` when
    // mosquitto is missing or did not come up within a few seconds.
    bool start(QString *why, const QString &user = {}, const QString &password = {});
    // Stops it; start() again brings it back on the same port.
    void stop();
    int port() const { return m_port; }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};
