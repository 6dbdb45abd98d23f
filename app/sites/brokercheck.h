#pragma once

#include "sitessettings.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>

class MqttClient;
class QTimer;

// "Test connection": connects once to a broker and says whether it answered, as
// "vantrel-cli sites test" does. It runs in the event loop and never blocks it; a broker that
// has not answered within kWait is taken as not reached.
class BrokerCheck : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::seconds kWait { 10 };

    explicit BrokerCheck(QObject *parent = nullptr);
    ~BrokerCheck() override;

    // Starts a check of `settings` (sites on); a check still running is dropped. finished()
    // follows, also when the check cannot start.
    void start(const SitesSettings &settings, const QString &language);
    bool isRunning() const { return m_client != nullptr; }

signals:
    // `message` says what happened, in the user's language.
    void finished(bool ok, const QString &message);

private:
    void finish(bool ok, const QString &message);

    SitesSettings m_settings;
    QString m_language;
    MqttClient *m_client = nullptr;
    QTimer *m_timer;
};
