#pragma once

#include "messages.h"

#include <QString>

class QWidget;

// Message boxes of the settings dialog and the other shell windows, in the interface
// language. A language with no built-in prompts ("jap", or a name the catalogue does not
// know) falls back to English, so a refusal never shows an empty box.
namespace ShellPrompt {

QString text(qint16 number, const QString &language);
QString title(const QString &language);

// Shows message `number` with the box style the catalogue gives it. For the question
// messages, true only when the user answered OK; for the others, true.
bool show(QWidget *parent, qint16 number, const QString &language);

// Shows a text of the shell's own (a refusal or failure that has no catalogue number).
void showText(QWidget *parent, const QString &text, PromptIcon icon, const QString &language);

} // namespace ShellPrompt
