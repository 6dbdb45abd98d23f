#pragma once

#include "showsender.h"
#include "signsetup.h"

#include <memory>

class Link;
class PromptSink;

// Sends shows as "Send Show" does (every page as a picture packet, slot row + 2, then the
// effect table) over the link of BaseSet.ini: TCP targets all at once, the serial port
// opened only for the send, so the window can use it in between. A port the window holds
// cannot be opened and comes back as a failed target.
class LinkShowSender : public ShowSender
{
public:
    explicit LinkShowSender(const SignSetup &setup);
    ~LinkShowSender() override;

    void setSetup(const SignSetup &setup) { m_setup = setup; }

    QList<TargetSendResult> send(
        const QString &showPath, const QList<AgentTarget> &targets) override;
    void cancel() override;

private:
    QList<TargetSendResult> sendOver(
        const QString &showPath, const QList<AgentTarget> &targets, bool serial);

    SignSetup m_setup;
    std::unique_ptr<PromptSink> m_prompts;
    std::unique_ptr<Link> m_link;
};
