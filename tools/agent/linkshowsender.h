#pragma once

#include "showsender.h"
#include "signsetup.h"

#include <functional>
#include <memory>

class Link;
class PageSampler;
class PromptSink;
struct ShowSendReport;
struct SendJobSettings;

// Sends shows as "Send Show" does (every page as a picture packet, slot row + 2, then the
// effect table), single pages, and messages as "vantrel-cli say" does, over the link of
// BaseSet.ini: TCP targets all at once, the serial port opened only for the send, so the
// window can use it in between. A port the window holds cannot be opened and comes back as a
// failed target. Fields show the values and files of `programFolder`.
class LinkShowSender : public ShowSender
{
public:
    LinkShowSender(const SignSetup &setup, const QString &programFolder);
    ~LinkShowSender() override;

    void setSetup(const SignSetup &setup) { m_setup = setup; }

    QList<TargetSendResult> send(const QString &showPath, const QList<AgentTarget> &targets,
        const QDateTime &moment) override;
    QList<TargetSendResult> sendPages(const QString &showPath, const QList<int> &rows,
        const QList<AgentTarget> &targets, const QDateTime &moment) override;
    QList<TargetSendResult> sendMessage(
        const SayRequest &message, const QList<AgentTarget> &targets) override;
    void cancel() override;

private:
    // What one send did, and how many packets a whole one holds.
    struct JobResult;
    // One send over the link once it is set up for the targets.
    using Job = std::function<JobResult(Link &link, const SendJobSettings &settings)>;
    // The serial port and the TCP targets go in two sends; results keep the targets' order.
    QList<TargetSendResult> sendEach(
        const QString &showPath, const QList<AgentTarget> &targets, const Job &job);
    // One send to `targets`, all serial (then just one) or all TCP.
    QList<TargetSendResult> sendOver(
        const QString &showPath, const QList<AgentTarget> &targets, bool serial, const Job &job);
    std::unique_ptr<PageSampler> samplerAt(const QDateTime &moment) const;

    SignSetup m_setup;
    QString m_programFolder;
    std::unique_ptr<PromptSink> m_prompts;
    std::unique_ptr<Link> m_link;
};
