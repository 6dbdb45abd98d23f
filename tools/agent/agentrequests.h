#pragma once

#include <QByteArray>

class AgentLoop;
class ScheduleAgent;
struct AgentRequest;

// The answer line to a request from the local channel; the agent is woken when the request
// gives it something to send.
QByteArray answerAgentRequest(const AgentRequest &request, ScheduleAgent &agent, AgentLoop &loop);
