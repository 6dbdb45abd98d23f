#include "sendoutcome.h"

#include "localtext.h"
#include "messages.h"

QString TargetOutcome::label() const
{
    return port.isEmpty() ? address : address + QLatin1Char(':') + port;
}

QString TargetOutcome::elapsedText() const
{
    return QStringLiteral("%1 s").arg(double(elapsed.count()) / 1000.0, 0, 'f', 2);
}

TargetResult TargetOutcome::result() const
{
    if (pending)
        return TargetResult::Pending;
    if (verdict == Verdict::Success)
        return TargetResult::Succeeded;
    if (verdict == Verdict::Failure)
        return TargetResult::Failed;
    if (!sent)
        return connected ? TargetResult::BrokenOff : TargetResult::NotReached;
    return broken ? TargetResult::BrokenOff : TargetResult::NoAnswer;
}

QString TargetOutcome::resultText(TargetResult result, const QString &language)
{
    switch (result) {
    case TargetResult::Succeeded:
        return PromptText(Msg::SetSucceeded, language);
    case TargetResult::Failed:
        return PromptText(Msg::SetFailed, language);
    case TargetResult::NotReached:
        return localText(language, QStringLiteral("not reached"), QStringLiteral("未连接"));
    case TargetResult::NoAnswer:
        return localText(language, QStringLiteral("no answer"), QStringLiteral("无应答"));
    case TargetResult::BrokenOff:
        return localText(language, QStringLiteral("broken off"), QStringLiteral("中断"));
    case TargetResult::Pending:
        break;
    }
    return localText(language, QStringLiteral("sending…"), QStringLiteral("发送中…"));
}

bool SendOutcome::allSucceeded() const
{
    if (refusedBusy || cancelled || targets.isEmpty())
        return false;
    for (const TargetOutcome &t : targets) {
        if (!t.sent || t.verdict != Verdict::Success)
            return false;
    }
    return true;
}

int SendOutcome::count(TargetResult result) const
{
    int n = 0;
    for (const TargetOutcome &t : targets)
        n += t.result() == result ? 1 : 0;
    return n;
}

QString SendOutcome::summaryText(const QString &language) const
{
    const int total = int(targets.size());
    const int succeeded = count(TargetResult::Succeeded);
    const int failed = count(TargetResult::Failed);
    const int notReached = count(TargetResult::NotReached);
    const int noAnswer = count(TargetResult::NoAnswer);
    const int brokenOff = count(TargetResult::BrokenOff);
    return localText(language,
        QStringLiteral("%1 targets: %2 succeeded, %3 failed, %4 not reached, %5 no answer, "
                       "%6 broken off.")
            .arg(total)
            .arg(succeeded)
            .arg(failed)
            .arg(notReached)
            .arg(noAnswer)
            .arg(brokenOff),
        QStringLiteral("共 %1 个目标：成功 %2，失败 %3，未连接 %4，无应答 %5，中断 %6。")
            .arg(total)
            .arg(succeeded)
            .arg(failed)
            .arg(notReached)
            .arg(noAnswer)
            .arg(brokenOff));
}
