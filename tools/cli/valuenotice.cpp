#include "valuenotice.h"

#include "agentchannelclient.h"

void noticeValueChanged(const QString &programFolder, const QString &name)
{
    AgentRequest request;
    request.kind = AgentRequest::Kind::ValueChanged;
    request.name = name;
    // No agent, or one too busy to answer at once: the value shows at its next wake anyway.
    askAgent(programFolder, request, kValueNoticeWait);
}
