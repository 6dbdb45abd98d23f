#include "inserttabledialog.h"

#include "localtext.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

InsertTableDialog::InsertTableDialog(const QString &language, QWidget *parent)
    : QDialog(parent)
    , m_rows(new QSpinBox(this))
    , m_columns(new QSpinBox(this))
{
    setObjectName(QStringLiteral("InsertTableDialog"));
    setWindowTitle(localText(language, QStringLiteral("Insert Table"), QStringLiteral("插入表格")));
    m_rows->setObjectName(QStringLiteral("TableRows"));
    m_columns->setObjectName(QStringLiteral("TableColumns"));
    m_rows->setRange(1, kMaxRows);
    m_columns->setRange(1, kMaxColumns);
    m_rows->setValue(2);
    m_columns->setValue(2);

    auto *form = new QFormLayout;
    form->addRow(
        localText(language, QStringLiteral("&Rows:"), QStringLiteral("行数(&R)：")), m_rows);
    form->addRow(
        localText(language, QStringLiteral("&Columns:"), QStringLiteral("列数(&C)：")), m_columns);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

int InsertTableDialog::rows() const
{
    return m_rows->value();
}

int InsertTableDialog::columns() const
{
    return m_columns->value();
}

void InsertTableDialog::setSize(int rows, int columns)
{
    m_rows->setValue(rows);
    m_columns->setValue(columns);
}
