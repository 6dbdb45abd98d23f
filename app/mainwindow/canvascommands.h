#pragma once

#include <QString>

#include <functional>
#include <optional>

class QComboBox;
class QTextEdit;
class QWidget;

// The format toolbar, standard toolbar clipboard keys and Edit menu on a page canvas. Every
// command does nothing when `canvas` is null (no page window is active).
namespace CanvasCommands {

// Runs a format-toolbar key on the canvas's selection. "背景" first asks for the colour in
// a colour dialog titled "背景颜色" (parented to `dialogParent`); cancelling changes
// nothing. Returns the button's new pressed state for the four toggles and the numbering
// key; no value for every other key.
std::optional<bool> runFormatKey(QTextEdit *canvas, const QString &key, QWidget *dialogParent);

// Asks for the page background in the "背景" dialog and applies it; false when the user
// cancelled.
bool applyBackground(QTextEdit *canvas, QWidget *dialogParent);

// Whether the toggle button of `key` shows pressed for the canvas's selection (false without
// a canvas).
bool isPressed(const QTextEdit *canvas, const QString &key);

// The font boxes: the selection's (or the typing) font family as typed, or its size from a
// text such as "14" or "10.5". False, with the page unchanged, without a canvas or for a
// text that is not a name or a size.
bool applyFontFamily(QTextEdit *canvas, const QString &family);
bool applyFontSize(QTextEdit *canvas, const QString &sizeText);

enum class EditCommand { Cut, Copy, Paste, SelectAll, TextClear };

// The Edit menu and the standard toolbar's "剪切", "复制", "粘贴": plain text through the
// system clipboard.
void runEditCommand(QTextEdit *canvas, EditCommand command);

// Makes an editable box (the font-size and font-name boxes) apply its text only when the edit
// is finished: a pick from its list, Enter, or leaving the box after typing. Keystrokes apply
// nothing, so typing "14" never applies 1 on the way. Typed texts are not added to the list.
void applyWhenEditFinished(QComboBox *box, const std::function<void(const QString &)> &apply);

} // namespace CanvasCommands
