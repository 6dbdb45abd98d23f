#include "canvascommands.h"

#include "pagecommands.h"
#include "pagedocument.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTextEdit>
#include <QTimer>

#include <memory>

namespace CanvasCommands {

bool applyBackground(QTextEdit *canvas, QWidget *dialogParent)
{
    if (!canvas)
        return false;
    const QColor chosen = QColorDialog::getColor(
        Page::background(*canvas->document()), dialogParent, Page::backgroundDialogTitle());
    if (!chosen.isValid())
        return false;
    Page::setPageBackground(canvas->document(), chosen);
    return true;
}

std::optional<bool> runFormatKey(QTextEdit *canvas, const QString &key, QWidget *dialogParent)
{
    if (!canvas)
        return std::nullopt;
    if (key == Page::FormatKey::Background) {
        applyBackground(canvas, dialogParent);
        return std::nullopt;
    }
    QTextCursor cursor = canvas->textCursor();
    const Page::FormatKeyResult result = Page::applyFormatKey(key, cursor);
    // The editor's own cursor takes the new typing format and, for the spacing key, the
    // whole-page selection.
    canvas->setTextCursor(cursor);
    return result.pressed;
}

bool isPressed(const QTextEdit *canvas, const QString &key)
{
    return canvas && Page::formatKeyPressed(canvas->textCursor(), key);
}

// Runs a font command on the canvas's selection and puts the cursor back only when it applied.
template <typename Command>
bool applyToSelection(QTextEdit *canvas, const QString &text, Command command)
{
    if (!canvas)
        return false;
    QTextCursor cursor = canvas->textCursor();
    if (!command(cursor, text))
        return false;
    canvas->setTextCursor(cursor);
    return true;
}

bool applyFontFamily(QTextEdit *canvas, const QString &family)
{
    return applyToSelection(canvas, family, Page::applyFontFamily);
}

bool applyFontSize(QTextEdit *canvas, const QString &sizeText)
{
    return applyToSelection(canvas, sizeText, Page::applyFontSize);
}

void runEditCommand(QTextEdit *canvas, EditCommand command)
{
    if (!canvas)
        return;
    QTextCursor cursor = canvas->textCursor();
    switch (command) {
    case EditCommand::Cut:
        Page::cutPlainText(cursor, QGuiApplication::clipboard());
        break;
    case EditCommand::Copy:
        Page::copyPlainText(cursor, QGuiApplication::clipboard());
        break;
    case EditCommand::Paste:
        Page::pastePlainText(cursor, QGuiApplication::clipboard());
        break;
    case EditCommand::SelectAll:
        Page::selectAll(cursor);
        break;
    case EditCommand::TextClear:
        Page::clearText(cursor);
        break;
    }
    canvas->setTextCursor(cursor);
}

void applyWhenEditFinished(QComboBox *box, const std::function<void(const QString &)> &apply)
{
    if (!box)
        return;
    box->setInsertPolicy(QComboBox::NoInsert);

    // One Enter reaches the box as several signals (returnPressed twice, activated); they are
    // gathered into one apply after the event has been handled.
    struct State
    {
        bool scheduled = false;
        bool typed = false; // typed since the last apply
    };
    const auto state = std::make_shared<State>();
    const auto commit = [box, apply, state] {
        if (state->scheduled)
            return;
        state->scheduled = true;
        QTimer::singleShot(0, box, [box, apply, state] {
            state->scheduled = false;
            state->typed = false;
            apply(box->currentText());
        });
    };

    QObject::connect(box, &QComboBox::activated, box, commit);
    QLineEdit *edit = box->lineEdit();
    if (!edit)
        return;
    QObject::connect(edit, &QLineEdit::textEdited, box, [state] { state->typed = true; });
    QObject::connect(edit, &QLineEdit::returnPressed, box, commit);
    // Leaving the box applies what was typed; leaving it untouched applies nothing.
    QObject::connect(edit, &QLineEdit::editingFinished, box, [state, commit] {
        if (state->typed)
            commit();
    });
}

} // namespace CanvasCommands
