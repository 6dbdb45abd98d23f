#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

struct mosquitto;

// A connection out to an MQTT broker (MQTT 3.1.1 through libmosquitto). It never listens.
//
// The network runs in a thread of its own that hands everything over to this object's thread
// with queued calls, so the signals arrive in the event loop like any Qt signal and a slow
// broker never blocks the caller. A lost or refused connection is tried again after 1 s, then
// 2 s, 4 s ... at most 60 s apart, until stop(); every new connection subscribes again.
class MqttClient : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::seconds kFirstRetry { 1 };
    static constexpr std::chrono::seconds kLongestRetry { 60 };
    static constexpr std::chrono::seconds kKeepAlive { 30 };

    struct Options
    {
        QString host;
        int port = 1883;
        bool tls = false; // with the broker's certificate and host name checked
        QString caFile; // "" with tls: the system's certificate authorities
        QString clientId; // unique on the broker: another client with it is put off
        QString user; // "" for none
        QString password;
        // The last will: published retained by the broker when the connection dies without a
        // goodbye. No topic, no will.
        QString willTopic;
        QByteArray willPayload;
        QStringList subscriptions; // topic filters, subscribed at QoS 1 on every connect
    };

    explicit MqttClient(Options options, QObject *parent = nullptr);
    // Stops as stop() does.
    ~MqttClient() override;

    // Starts connecting; returns at once. False with `reason` when the options cannot be used
    // (the library refused the TLS files, for one); nothing then runs.
    bool start(QString *reason = nullptr);
    // Says goodbye to the broker (so the last will is not published), waiting at most
    // kGoodbyeWait for what was published before to leave, and ends the thread.
    void stop();

    bool isConnected() const { return m_connected; }

    // Publishes at QoS 1. Dropped (false) while not connected: a status is published again on
    // every connect by whoever owns it.
    bool publish(const QString &topic, const QByteArray &payload, bool retain = false);

    // The delay before try `failures` + 1 after `failures` failed tries (from 1).
    static std::chrono::seconds retryDelay(int failures);

    static constexpr std::chrono::milliseconds kGoodbyeWait { 1000 };

signals:
    void connected();
    // The connection ended or could not be made; `reason` in words. Emitted once per lost
    // connection and once per failed try.
    void disconnected(const QString &reason);
    void messageReceived(const QString &topic, const QByteArray &payload, bool retained);

private:
    struct Worker;

    void onConnected();
    void onDisconnected(const QString &reason);

    Options m_options;
    std::unique_ptr<Worker> m_worker;
    bool m_connected = false;
};
