#pragma once

#include "sendoutcome.h"

#include <QByteArray>
#include <QString>

// The values of the base settings a send job needs, copied by the caller.
struct SendJobSettings
{
    qint16 ScreenWidth = 0; // sign width in modules (0..127 can be sent)
    qint16 ScreenHeight = 0; // sign height in modules (0..15 can be sent)
    qint16 PerPixel = 16; // canvas units per module side
    qint16 Trance = 0; // link kind: 0 RS232, 1 BlueTooth, 2 TCP/IP
    // Folder the File Path column is relative to: the program folder.
    QString pageFolder;
    // Interface language of the prompts.
    QString Language;
};

// How a send job ended.
enum class JobStatus {
    Sent, // the packet went to the link; `send` holds what the signs answered
    NothingToSend, // an empty list (message 2) or no row selected (message 3)
    Refused, // the packet could not be built; a message said why and nothing was sent
    Cancelled, // the operator answered Cancel; nothing was sent
    Busy, // another send was running; nothing was done
};

struct SendJobOutcome
{
    JobStatus status = JobStatus::NothingToSend;
    QByteArray packet; // the packet handed to the link; empty unless the job got that far
    SendOutcome send; // the link's account of the send when status is Sent

    bool succeeded() const { return status == JobStatus::Sent && send.allSucceeded(); }
};
