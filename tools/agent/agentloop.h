#pragma once

#include <QObject>

class AgentClock;
class QTimer;
class ScheduleAgent;

// Wakes the agent when it asks: one single-shot timer to the next boundary or retry, never
// longer than the agent's longest sleep, so nothing polls in between.
class AgentLoop : public QObject
{
    Q_OBJECT

public:
    AgentLoop(ScheduleAgent &agent, AgentClock &clock, QObject *parent = nullptr);

    // Wakes the agent at once (the start, a new schedule).
    void wakeNow();
    void stop();

signals:
    // The agent has done what was due (its watched files may have changed).
    void woken();

private:
    void wake();

    ScheduleAgent &m_agent;
    AgentClock &m_clock;
    QTimer *m_timer;
    bool m_stopped = false;
    bool m_waking = false;
    bool m_again = false; // a wake was asked for while one ran
};
