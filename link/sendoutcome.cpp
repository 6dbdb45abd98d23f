#include "sendoutcome.h"

QString TargetOutcome::label() const
{
    return port.isEmpty() ? address : address + QLatin1Char(':') + port;
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
