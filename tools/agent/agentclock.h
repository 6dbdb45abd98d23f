#pragma once

#include <QDateTime>

// Where the agent reads the time: the system clock, or a clock a test sets.
class AgentClock
{
public:
    virtual ~AgentClock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public AgentClock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
