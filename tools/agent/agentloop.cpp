#include "agentloop.h"

#include "agentclock.h"
#include "scheduleagent.h"

#include <QTimer>

#include <algorithm>

AgentLoop::AgentLoop(ScheduleAgent &agent, AgentClock &clock, QObject *parent)
    : QObject(parent)
    , m_agent(agent)
    , m_clock(clock)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    // A boundary is a wall-clock minute: a coarse timer may fire a little early, and each early
    // wake would only set another timer.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &AgentLoop::wake);
}

void AgentLoop::wakeNow()
{
    m_timer->start(0);
}

void AgentLoop::stop()
{
    m_stopped = true;
    m_timer->stop();
}

void AgentLoop::wake()
{
    // A signal handled during a send's waits may ask for a wake while this one runs.
    if (m_stopped)
        return;
    if (m_waking) {
        m_again = true;
        return;
    }
    m_waking = true;
    const QDateTime next = m_agent.wake();
    m_waking = false;
    if (m_stopped)
        return;
    emit woken();
    if (m_again) {
        m_again = false;
        m_timer->start(0);
        return;
    }
    const qint64 longest = std::chrono::milliseconds(ScheduleAgent::kLongestSleep).count();
    m_timer->start(int(std::clamp<qint64>(m_clock.now().msecsTo(next), 0, longest)));
}
