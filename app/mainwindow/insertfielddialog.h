#pragma once

#include "fieldchoice.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QTimer;

// Insert > Field: the kind of field (CboFieldKind), its format (CboFieldFormat: presets or
// typed) or name (CboFieldName: the program folder's text files or values, or typed), the
// field as it will be typed (LblFieldText), what it shows now (LblFieldPreview) and why it
// cannot show a value (LblFieldProblem), redrawn every second. OK is offered only for a well-formed
// field.
class InsertFieldDialog : public QDialog
{
    Q_OBJECT

public:
    // `context` gives the moment, the program folder and the language of the preview.
    InsertFieldDialog(std::function<Fields::FieldContext()> context, QWidget *parent = nullptr);

    FieldChoice choice() const;
    void setChoice(const FieldChoice &choice);

    // The preview as shown, and its problem ("" when none).
    QString previewText() const;
    QString problemText() const { return m_problem; }

private:
    void kindPicked();
    void showField();

    std::function<Fields::FieldContext()> m_context;
    QComboBox *m_kind;
    QComboBox *m_format;
    QComboBox *m_name;
    QLabel *m_formatLabel;
    QLabel *m_nameLabel;
    QLabel *m_fieldText;
    QLabel *m_preview;
    QLabel *m_problemLabel;
    QDialogButtonBox *m_buttons;
    QTimer *m_clock;
    QString m_problem;
};
