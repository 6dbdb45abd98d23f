#pragma once

#include "loopbacksign.h"
#include "testfiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// A program folder with one loopback sign that takes everything, a schedule week.vsched that
// keeps it on a.vshow (one page, page.rtf), and vantrel-agent run on it. `settings` is added to
// the folder's BaseSet.ini.
struct AgentFolder
{
    static constexpr int kWaitMs = 20000;

    explicit AgentFolder(const QByteArray &settings = {})
    {
        sign.listen();
        sign.answerPieces = { QByteArray::fromHex("02000088") };
        writeFile(path("page.rtf"), "{\\rtf1 x}");
        writeFile(path("a.vshow"), oneRowShow("page.rtf"));
        writeFile(path("week.vsched"), "[Schedule]\nVersion=1\nDefault=a.vshow\n");
        writeFile(path("BaseSet.ini"),
            QByteArray("[ScreenSet]\nScreenWidth=8\nScreenHeight=1\nPerPiex=16\nMaxIPList=10\n\n"
                       "[TranceSet]\nTrance=2\nIPStr=127.0.0.1,")
                + QByteArray::number(sign.port()) + ",1\n\n" + settings);
    }
    ~AgentFolder() { stop(); }

    QString path(const QString &name) const { return dir.filePath(name); }
    void start()
    {
        agent.start(QStringLiteral(VANTREL_AGENT_PATH),
            { path("week.vsched"), QStringLiteral("--program-folder"), dir.path() });
    }
    void signal(int number) { ::kill(pid_t(agent.processId()), number); }
    void stop()
    {
        if (agent.state() == QProcess::NotRunning)
            return;
        signal(SIGTERM);
        agent.waitForFinished(kWaitMs);
    }
    // Whether the agent has printed `text`, waiting for it a while.
    bool logged(const QString &text)
    {
        return QTest::qWaitFor(
            [&] {
                return (log += QString::fromUtf8(agent.readAllStandardOutput())).contains(text);
            },
            kWaitMs);
    }

    QTemporaryDir dir;
    LoopbackSign sign;
    QProcess agent;
    QString log; // what the agent printed so far
};
