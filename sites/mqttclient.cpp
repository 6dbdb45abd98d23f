#include "mqttclient.h"

#include <mosquitto.h>

#include <QMetaObject>
#include <QSignalBlocker>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

namespace {

// How long one pass of the network loop waits for the socket: also the longest a stop waits
// for a connection attempt in progress.
constexpr int kLoopWaitMs = 500;
// Where Debian keeps the system's certificate authorities, for mqtts:// without "CAFile".
const char kSystemCaFolder[] = "/etc/ssl/certs";

void initialiseLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// The library's error in words; errno's words when the system refused.
QString errorText(int rc, int savedErrno)
{
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(savedErrno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

struct MqttClient::Worker
{
    MqttClient *owner = nullptr;
    Options options;
    mosquitto *mosq = nullptr;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;
    std::atomic<bool> stopping { false };
    std::atomic<bool> connected { false };
    QString refusal; // the broker's CONNACK refusal in words; worker thread only
    // The library's last error line (OpenSSL's words on a certificate that failed, for one).
    // Logged mostly by the worker, but a publish may log from the owner's thread.
    std::mutex logMutex;
    QString lastLoggedError;
    int failures = 0; // worker thread only

    ~Worker()
    {
        if (mosq)
            mosquitto_destroy(mosq);
    }

    void post(std::function<void()> call)
    {
        QMetaObject::invokeMethod(owner, std::move(call), Qt::QueuedConnection);
    }

    static void onConnect(mosquitto *, void *self, int rc)
    {
        static_cast<Worker *>(self)->connectAnswered(rc);
    }

    static void onLog(mosquitto *, void *self, int level, const char *line)
    {
        if (level != MOSQ_LOG_ERR)
            return;
        auto *worker = static_cast<Worker *>(self);
        std::lock_guard<std::mutex> lock(worker->logMutex);
        worker->lastLoggedError = QString::fromUtf8(line);
    }

    static void onMessage(mosquitto *, void *self, const mosquitto_message *message)
    {
        auto *worker = static_cast<Worker *>(self);
        const QString topic = QString::fromUtf8(message->topic);
        const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
        const bool retained = message->retain;
        MqttClient *owner = worker->owner;
        worker->post([owner, topic, payload, retained] {
            // Nothing arrives after stop().
            if (owner->m_worker)
                emit owner->messageReceived(topic, payload, retained);
        });
    }

    void connectAnswered(int rc)
    {
        if (rc != 0) {
            refusal = QString::fromUtf8(mosquitto_connack_string(rc));
            return;
        }
        failures = 0;
        connected = true;
        for (const QString &filter : options.subscriptions)
            mosquitto_subscribe(mosq, nullptr, filter.toUtf8().constData(), 1);
        MqttClient *client = owner;
        post([client] { client->onConnected(); });
    }

    // One connection from its first byte to its end; returns why it ended. "" when stopping.
    QString connectOnce()
    {
        refusal.clear();
        std::unique_lock<std::mutex> lock(logMutex);
        lastLoggedError.clear();
        lock.unlock();
        const QString reason = connectAndRun();
        lock.lock();
        return reason.isEmpty() || lastLoggedError.isEmpty()
            ? reason
            : reason + QStringLiteral(" (") + lastLoggedError + QLatin1Char(')');
    }

    QString connectAndRun()
    {
        int rc = mosquitto_connect_async(
            mosq, options.host.toUtf8().constData(), options.port, int(kKeepAlive.count()));
        if (rc != MOSQ_ERR_SUCCESS)
            return errorText(rc, errno);
        while (!stopping) {
            rc = mosquitto_loop(mosq, kLoopWaitMs, 1);
            if (!refusal.isEmpty())
                return refusal;
            if (rc != MOSQ_ERR_SUCCESS)
                return errorText(rc, errno);
        }
        return {};
    }

    void run()
    {
        while (!stopping) {
            const QString reason = connectOnce();
            if (stopping)
                break;
            connected = false;
            MqttClient *client = owner;
            post([client, reason] { client->onDisconnected(reason); });
            const auto delay = retryDelay(++failures);
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait_for(lock, delay, [this] { return stopping.load(); });
        }
        // stop() queued the goodbye behind whatever was published: let them leave. A
        // connection still being made is simply dropped.
        if (!connected)
            return;
        const auto deadline = std::chrono::steady_clock::now() + kGoodbyeWait;
        while (std::chrono::steady_clock::now() < deadline) {
            if (mosquitto_loop(mosq, 100, 1) != MOSQ_ERR_SUCCESS)
                break;
        }
    }
};

MqttClient::MqttClient(Options options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
{ }

MqttClient::~MqttClient()
{
    // Whoever listens may be halfway through its own destruction: leave without a word.
    const QSignalBlocker quiet(this);
    stop();
}

std::chrono::seconds MqttClient::retryDelay(int failures)
{
    std::chrono::seconds delay = kFirstRetry;
    for (int i = 1; i < failures && delay < kLongestRetry; ++i)
        delay *= 2;
    return std::min(delay, kLongestRetry);
}

bool MqttClient::start(QString *reason)
{
    if (m_worker)
        return true;
    initialiseLibraryOnce();
    auto worker = std::make_unique<Worker>();
    worker->owner = this;
    worker->options = m_options;
    const QByteArray id = m_options.clientId.toUtf8();
    worker->mosq = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), true, worker.get());
    const auto fail = [&](int rc, const QString &what) {
        if (reason)
            *reason = what + QStringLiteral(": ") + errorText(rc, errno);
        return false;
    };
    if (!worker->mosq)
        return fail(MOSQ_ERR_ERRNO, QStringLiteral("no MQTT client could be made"));
    mosquitto *mosq = worker->mosq;
    mosquitto_threaded_set(mosq, true);
    mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(mosq, &Worker::onConnect);
    mosquitto_message_callback_set(mosq, &Worker::onMessage);
    mosquitto_log_callback_set(mosq, &Worker::onLog);
    int rc = MOSQ_ERR_SUCCESS;
    if (!m_options.user.isEmpty()) {
        rc = mosquitto_username_pw_set(mosq, m_options.user.toUtf8().constData(),
            m_options.password.isEmpty() ? nullptr : m_options.password.toUtf8().constData());
        if (rc != MOSQ_ERR_SUCCESS)
            return fail(rc, QStringLiteral("the user name cannot be used"));
    }
    if (!m_options.willTopic.isEmpty()) {
        rc = mosquitto_will_set(mosq, m_options.willTopic.toUtf8().constData(),
            int(m_options.willPayload.size()), m_options.willPayload.constData(), 1, true);
        if (rc != MOSQ_ERR_SUCCESS)
            return fail(rc, QStringLiteral("the last will cannot be set"));
    }
    if (m_options.tls) {
        const QByteArray caFile = m_options.caFile.toLocal8Bit();
        rc = mosquitto_tls_set(mosq, caFile.isEmpty() ? nullptr : caFile.constData(),
            caFile.isEmpty() ? kSystemCaFolder : nullptr, nullptr, nullptr, nullptr);
        if (rc == MOSQ_ERR_SUCCESS)
            rc = mosquitto_tls_opts_set(mosq, 1, nullptr, nullptr); // the peer is verified
        if (rc == MOSQ_ERR_SUCCESS)
            rc = mosquitto_tls_insecure_set(mosq, false); // and its name checked
        if (rc != MOSQ_ERR_SUCCESS)
            return fail(rc, QStringLiteral("TLS cannot be set up"));
    }
    m_worker = std::move(worker);
    m_worker->thread = std::thread([w = m_worker.get()] { w->run(); });
    return true;
}

void MqttClient::stop()
{
    if (!m_worker)
        return;
    {
        std::lock_guard<std::mutex> lock(m_worker->mutex);
        m_worker->stopping = true;
    }
    m_worker->wake.notify_all();
    // Queued behind what was published, so those leave first; the broker then drops the will.
    if (m_worker->connected)
        mosquitto_disconnect(m_worker->mosq);
    m_worker->thread.join();
    m_worker.reset();
    const bool was = m_connected;
    m_connected = false;
    if (was)
        emit disconnected(QStringLiteral("stopped"));
}

bool MqttClient::publish(const QString &topic, const QByteArray &payload, bool retain)
{
    if (!m_worker || !m_worker->connected)
        return false;
    return mosquitto_publish(m_worker->mosq, nullptr, topic.toUtf8().constData(),
               int(payload.size()), payload.constData(), 1, retain)
        == MOSQ_ERR_SUCCESS;
}

void MqttClient::onConnected()
{
    if (!m_worker)
        return;
    m_connected = true;
    emit connected();
}

void MqttClient::onDisconnected(const QString &reason)
{
    if (!m_worker)
        return;
    m_connected = false;
    emit disconnected(reason);
}
