#pragma once

#include "virtualsign.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

// The command line of vantrel-sign.
struct SignOptions
{
    static constexpr quint16 kDefaultPort = 5005; // the target of a new BaseSet.ini

    QHostAddress tcpAddress = QHostAddress(QHostAddress::LocalHost);
    quint16 tcpPort = kDefaultPort; // 0 picks a free port
    bool pty = false;
    QString outFolder; // "" writes no files
    VirtualSign::AnswerMode answer = VirtualSign::AnswerMode::Ok;
    bool help = false;

    // Reads the arguments after the program name. False with `error` set for an unknown
    // option or a bad value.
    bool parse(const QStringList &args, QString *error);

    static QString usage();
};
