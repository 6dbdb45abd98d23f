#include "agentrequests.h"

#include "agentloop.h"
#include "agentrequest.h"
#include "scheduleagent.h"

#include <QJsonObject>

QByteArray answerAgentRequest(const AgentRequest &request, ScheduleAgent &agent, AgentLoop &loop)
{
    switch (request.kind) {
    case AgentRequest::Kind::ValueChanged:
        if (agent.valueChanged(request.name))
            loop.wakeNow();
        return agentAnswer();
    case AgentRequest::Kind::Say: {
        const QString problem = agent.showMessage(request.say, request.seconds);
        if (!problem.isEmpty())
            return agentRefusal(problem);
        loop.wakeNow();
        return agentAnswer(
            { { QStringLiteral("until"), agent.messageUntil().toString(Qt::ISODate) } });
    }
    case AgentRequest::Kind::Status:
        break;
    }
    const AgentStatus &status = agent.status();
    QJsonObject fields { { QStringLiteral("schedule"), status.schedule },
        { QStringLiteral("entry"), status.entry }, { QStringLiteral("show"), status.show } };
    if (agent.message()) {
        fields[QStringLiteral("message")] = agent.message()->text;
        fields[QStringLiteral("until")] = agent.messageUntil().toString(Qt::ISODate);
    }
    return agentAnswer(fields);
}
