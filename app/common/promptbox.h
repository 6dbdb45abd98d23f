#pragma once

#include "messages.h"

#include <QMessageBox>
#include <QString>

class QWidget;

// Message boxes of the settings dialog and the other windows, in the interface
// language (English for a language without built-in prompts, see PromptText).
namespace PromptBox {

// The message-box icon of a catalogue box style.
QMessageBox::Icon boxIcon(PromptIcon icon);

// Shows message `number` with the box style the catalogue gives it. For the question
// messages, true only when the user answered OK; for the others, true.
bool show(QWidget *parent, qint16 number, const QString &language);

// Shows a text of the program's own (a refusal or failure that has no catalogue number).
void showText(QWidget *parent, const QString &text, PromptIcon icon, const QString &language);

} // namespace PromptBox
