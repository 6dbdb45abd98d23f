#include "insertfielddialog.h"

#include "localtext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

namespace {

using namespace std::chrono_literals;
constexpr auto kPreviewTick = 1s; // a field with seconds changes that often
constexpr int kProblemWidth = 360; // pixels: a reason wraps rather than widening the dialog

using Kind = FieldChoice::Kind;
constexpr Kind kKinds[]
    = { Kind::Time, Kind::TimeWithFormat, Kind::DateWithFormat, Kind::File, Kind::Value };

QString kindName(Kind kind, const QString &language)
{
    switch (kind) {
    case Kind::Time:
        return localText(language, QStringLiteral("Time (HH:mm)"), QStringLiteral("时间（HH:mm）"));
    case Kind::TimeWithFormat:
        return localText(
            language, QStringLiteral("Time with format"), QStringLiteral("指定格式的时间"));
    case Kind::DateWithFormat:
        return localText(
            language, QStringLiteral("Date with format"), QStringLiteral("指定格式的日期"));
    case Kind::File:
        return localText(
            language, QStringLiteral("First line of a file"), QStringLiteral("文件的第一行"));
    case Kind::Value:
        return localText(language, QStringLiteral("Value (vantrel-cli value set)"),
            QStringLiteral("值（vantrel-cli value set）"));
    }
    return {};
}

} // namespace

InsertFieldDialog::InsertFieldDialog(std::function<Fields::FieldContext()> context, QWidget *parent)
    : QDialog(parent)
    , m_context(std::move(context))
    , m_kind(new QComboBox(this))
    , m_format(new QComboBox(this))
    , m_name(new QComboBox(this))
    , m_formatLabel(new QLabel(this))
    , m_nameLabel(new QLabel(this))
    , m_fieldText(new QLabel(this))
    , m_preview(new QLabel(this))
    , m_problemLabel(new QLabel(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
    , m_clock(new QTimer(this))
{
    const QString language = m_context().language;
    setObjectName(QStringLiteral("InsertFieldDialog"));
    setWindowTitle(localText(language, QStringLiteral("Insert Field"), QStringLiteral("插入字段")));
    m_kind->setObjectName(QStringLiteral("CboFieldKind"));
    m_format->setObjectName(QStringLiteral("CboFieldFormat"));
    m_name->setObjectName(QStringLiteral("CboFieldName"));
    m_fieldText->setObjectName(QStringLiteral("LblFieldText"));
    m_preview->setObjectName(QStringLiteral("LblFieldPreview"));
    m_problemLabel->setObjectName(QStringLiteral("LblFieldProblem"));
    m_problemLabel->setTextFormat(Qt::PlainText);
    m_problemLabel->setWordWrap(true);
    m_problemLabel->setMinimumWidth(kProblemWidth);
    m_format->setEditable(true);
    m_name->setEditable(true);
    m_format->setMinimumContentsLength(16);
    m_name->setMinimumContentsLength(16);
    m_fieldText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_fieldText->setTextFormat(Qt::PlainText);
    m_preview->setTextFormat(Qt::PlainText);
    for (Kind kind : kKinds)
        m_kind->addItem(kindName(kind, language), int(kind));
    m_formatLabel->setText(
        localText(language, QStringLiteral("&Format:"), QStringLiteral("格式(&F)：")));
    m_nameLabel->setText(
        localText(language, QStringLiteral("&Name:"), QStringLiteral("名称(&N)：")));
    m_formatLabel->setBuddy(m_format);
    m_nameLabel->setBuddy(m_name);

    auto *form = new QFormLayout;
    form->addRow(
        localText(language, QStringLiteral("&Kind:"), QStringLiteral("类型(&K)：")), m_kind);
    form->addRow(m_formatLabel, m_format);
    form->addRow(m_nameLabel, m_name);
    form->addRow(
        localText(language, QStringLiteral("Typed as:"), QStringLiteral("输入为：")), m_fieldText);
    form->addRow(
        localText(language, QStringLiteral("Shows now:"), QStringLiteral("当前显示：")), m_preview);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_problemLabel);
    layout->addWidget(m_buttons);
    // The dialog grows and shrinks with the reason shown.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &InsertFieldDialog::kindPicked);
    connect(m_format, &QComboBox::currentTextChanged, this, &InsertFieldDialog::showField);
    connect(m_name, &QComboBox::currentTextChanged, this, &InsertFieldDialog::showField);
    connect(m_clock, &QTimer::timeout, this, &InsertFieldDialog::showField);
    m_clock->start(kPreviewTick);
    kindPicked();
}

FieldChoice InsertFieldDialog::choice() const
{
    FieldChoice c;
    c.kind = Kind(m_kind->currentData().toInt());
    if (c.takesFormat())
        c.format = m_format->currentText();
    if (c.takesName())
        c.name = m_name->currentText();
    return c;
}

void InsertFieldDialog::setChoice(const FieldChoice &choice)
{
    m_kind->setCurrentIndex(m_kind->findData(int(choice.kind)));
    if (choice.takesFormat())
        m_format->setCurrentText(choice.format);
    if (choice.takesName())
        m_name->setCurrentText(choice.name);
    showField();
}

QString InsertFieldDialog::previewText() const
{
    return m_preview->text();
}

// The format and name boxes offer what suits the kind picked.
void InsertFieldDialog::kindPicked()
{
    const FieldChoice c = choice();
    {
        const QSignalBlocker quiet(m_format);
        m_format->clear();
        m_format->addItems(FieldChoice::presetFormats(c.kind));
    }
    {
        const QSignalBlocker quiet(m_name);
        m_name->clear();
        m_name->addItems(FieldChoice::names(c.kind, m_context().programFolder));
        if (c.kind == Kind::File)
            m_name->setCurrentText(QString());
    }
    m_format->setEnabled(c.takesFormat());
    m_formatLabel->setEnabled(c.takesFormat());
    m_name->setEnabled(c.takesName());
    m_nameLabel->setEnabled(c.takesName());
    showField();
}

void InsertFieldDialog::showField()
{
    const FieldChoice c = choice();
    const Fields::FieldContext context = m_context();
    m_fieldText->setText(c.fieldText());
    const QString shown = c.preview(context, &m_problem);
    m_preview->setText(
        m_problem.isEmpty() ? shown : QStringLiteral("%1   (%2)").arg(shown, m_problem));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(c.isField());
}
