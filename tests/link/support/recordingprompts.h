#pragma once

#include "progresssink.h"
#include "promptsink.h"

#include <QList>
#include <QString>
#include <QStringList>

// A prompt sink that keeps what it was shown and answers questions from a script.
class RecordingPrompts : public PromptSink
{
public:
    struct Prompt
    {
        QString text;
        QString title;
        PromptIcon icon;
        bool question = false;
    };

    void inform(const QString &text, const QString &title, PromptIcon icon) override
    {
        prompts.append({ text, title, icon, false });
    }
    bool confirm(const QString &text, const QString &title) override
    {
        prompts.append({ text, title, PromptIcon::Question, true });
        return confirmAnswer;
    }

    QStringList texts() const
    {
        QStringList t;
        for (const Prompt &p : prompts)
            t.append(p.text);
        return t;
    }

    QList<Prompt> prompts;
    bool confirmAnswer = true;
};

// A progress sink that keeps every call: "max N", "value N", "label TEXT"; and the values.
class RecordingProgress : public ProgressSink
{
public:
    void setMaximum(int m) override { calls.append(QStringLiteral("max %1").arg(m)); }
    void setValue(int v) override
    {
        values.append(v);
        calls.append(QStringLiteral("value %1").arg(v));
    }
    void setLabelText(const QString &text) override
    {
        calls.append(QStringLiteral("label ") + text);
    }

    QList<int> values;
    QStringList calls;
};
