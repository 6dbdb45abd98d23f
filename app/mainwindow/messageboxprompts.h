#pragma once

#include "promptsink.h"

#include <QPointer>

class QWidget;

// Prompts as message boxes over the main window: information, exclamation and question icons,
// OK and Cancel for questions.
class MessageBoxPrompts : public PromptSink
{
public:
    explicit MessageBoxPrompts(QWidget *parent)
        : m_parent(parent)
    { }

    void inform(const QString &text, const QString &title, PromptIcon icon) override;
    bool confirm(const QString &text, const QString &title) override;

private:
    QPointer<QWidget> m_parent;
};
