#pragma once

#include "schedule.h"
#include "signsetup.h"

#include <QString>
#include <QStringList>

// Everything the agent works from: the schedule, every show it names checked as "show check"
// checks it (read, and every row builds its packets), and the sign of BaseSet.ini.
struct AgentPlan
{
    bool ok = false;
    Schedule schedule;
    SignSetup setup;
    QStringList notes; // things worth telling about BaseSet.ini
    QString problem; // why the schedule was refused, naming the entry and key

    // Reads the plan; on any fault `ok` is false and `problem` says why.
    static AgentPlan load(const QString &schedulePath, const QString &programFolder);
};
