#pragma once

#include "messageshow.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <chrono>

// What a local program asks a running vantrel-agent, one JSON object per line:
//   {"request":"value","name":"spaces"}
//   {"request":"say","text":"...","colour":"red","font":"","align":"centre","shrink":false,
//    "seconds":60}
//   {"request":"status"}
// and the answer, one line: {"ok":true,...} or {"ok":false,"error":"why"}.
struct AgentRequest
{
    enum class Kind { ValueChanged, Say, Status };

    // A request line longer than this is refused unread: the longest message (1,000
    // characters, each up to six bytes escaped) fits with room to spare.
    static constexpr int kMaxLineBytes = 8192;
    static constexpr int kLongestSaySeconds = 24 * 60 * 60;

    Kind kind = Kind::Status;
    QString name; // ValueChanged: the value's name
    SayRequest say; // Say: the message
    int seconds = 0; // Say: how long it stays, 1 to kLongestSaySeconds

    QByteArray encode() const; // one line, ending in "\n"
    // Reads one line (without its line end); false with `problem` (English) when it is not
    // a request this agent knows.
    static bool decode(const QByteArray &line, AgentRequest *request, QString *problem);
};

// The answer lines.
QByteArray agentAnswer(const QJsonObject &fields = {});
QByteArray agentRefusal(const QString &error);

// Where the agent of `programFolder` listens: in $XDG_RUNTIME_DIR when set (named after the
// folder), else in the folder itself (".vantrel-agent"), unless that path is too long for a
// socket, then in Qt's runtime folder for the user.
QString agentChannelPath(const QString &programFolder);
