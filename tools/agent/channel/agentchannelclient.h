#pragma once

#include "agentrequest.h"

#include <QJsonObject>
#include <QString>

#include <chrono>

// How a request to the agent of a program folder went.
struct AgentReply
{
    enum class Status {
        NoAgent, // nobody listens for that folder
        Answered, // see `ok`, `error` and `fields`
        NoAnswer, // connected, but no answer came in time
    };
    Status status = Status::NoAgent;
    bool ok = false;
    QString error; // the agent's reason when it refused (English)
    QJsonObject fields; // the whole answer
};

// Asks the agent of `programFolder`, waiting at most `wait` in all. Blocks; needs no event
// loop.
AgentReply askAgent(const QString &programFolder, const AgentRequest &request,
    std::chrono::milliseconds wait = std::chrono::milliseconds(500));
