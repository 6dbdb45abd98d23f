#pragma once

#include <QString>

// The progress bar and its percent label of the picture job.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;

    // Highest value of the bar (at least 1).
    virtual void setMaximum(int maximum) = 0;
    // Current value of the bar, 0..maximum.
    virtual void setValue(int value) = 0;
    // Text of the percent label, e.g. "0%", "42%", "100%".
    virtual void setLabelText(const QString &text) = 0;
};
