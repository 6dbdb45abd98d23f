#include "agentplan.h"

#include "localtext.h"
#include "schedulefile.h"

#include <QSet>

AgentPlan AgentPlan::load(const QString &schedulePath, const QString &programFolder)
{
    AgentPlan plan;
    plan.setup = SignSetup::load(programFolder, &plan.notes);
    const QString &language = plan.setup.language();
    const ScheduleFile::ReadResult read = ScheduleFile::read(schedulePath, language);
    if (!read.ok) {
        plan.problem = read.message;
        return plan;
    }
    plan.schedule = read.schedule;
    // Shows repeat across entries: each is built once.
    QSet<QString> built;
    const auto check = [&](const QString &section, const QString &key, const QString &show) {
        const QString path = plan.schedule.showPath(show);
        if (built.contains(path))
            return true;
        const QString problem = plan.setup.showProblem(path);
        if (!problem.isEmpty()) {
            plan.problem = localText(language,
                QStringLiteral("[%1], key \"%2\": the show cannot be sent: %3")
                    .arg(section, key, problem),
                QStringLiteral("[%1]，键“%2”：该节目无法发送：%3").arg(section, key, problem));
            return false;
        }
        built.insert(path);
        return true;
    };
    if (!plan.schedule.defaultShow.isEmpty()
        && !check(QStringLiteral("Schedule"), QStringLiteral("Default"), plan.schedule.defaultShow))
        return plan;
    for (const ScheduleEntry &entry : plan.schedule.entries) {
        if (!check(entry.section, QStringLiteral("Show"), entry.show))
            return plan;
    }
    plan.ok = true;
    return plan;
}
