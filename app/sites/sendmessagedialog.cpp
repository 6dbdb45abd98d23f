#include "sendmessagedialog.h"

#include "languageapplier.h"
#include "languagefile.h"
#include "localtext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

QLabel *label(const char *name, const char *text)
{
    auto *l = new QLabel(QString::fromUtf8(text));
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

SendMessageDialog::SendMessageDialog(
    const QString &target, const QString &languageFolder, const QString &language, QWidget *parent)
    : QDialog(parent)
    , m_text(new QLineEdit)
    , m_colour(new QComboBox)
    , m_seconds(new QSpinBox)
{
    setObjectName(QStringLiteral("FrmSendMessage"));
    setWindowTitle(localText(language, QStringLiteral("Send message to %1").arg(target),
        QStringLiteral("发送消息到 %1").arg(target)));
    m_text->setObjectName(QStringLiteral("TxtMessage"));
    m_text->setMaxLength(SiteTopics::kMostMessageBytes);
    m_colour->setObjectName(QStringLiteral("CobColour"));
    // The item data is the colour's name on the wire; the caption is the operator's.
    m_colour->addItem(
        localText(language, QStringLiteral("Red"), QStringLiteral("红色")), QStringLiteral("red"));
    m_colour->addItem(localText(language, QStringLiteral("Green"), QStringLiteral("绿色")),
        QStringLiteral("green"));
    m_colour->addItem(localText(language, QStringLiteral("Yellow"), QStringLiteral("黄色")),
        QStringLiteral("yellow"));
    m_seconds->setObjectName(QStringLiteral("TxtSeconds"));
    m_seconds->setRange(1, SiteTopics::kLongestSeconds);
    m_seconds->setValue(SiteTopics::kDefaultSeconds);

    auto *form = new QFormLayout(this);
    form->addRow(label("LblMessage", "Message"), m_text);
    form->addRow(label("LblColour", "Colour"), m_colour);
    form->addRow(label("LblSeconds", "Seconds"), m_seconds);
    auto *buttons = new QDialogButtonBox;
    auto *send = buttons->addButton(QStringLiteral("Send"), QDialogButtonBox::AcceptRole);
    send->setObjectName(QStringLiteral("CmdSend"));
    send->setDefault(true);
    auto *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    QString section = language + QStringLiteral("Sites");
    if (!LanguageSectionExists(languageFolder, section))
        section = QStringLiteral("EnglishSites");
    ApplyLanguage(this, section, languageFolder);
    resize(qMax(sizeHint().width(), 420), sizeHint().height());
}

SiteTopics::SayRequest SendMessageDialog::request() const
{
    SiteTopics::SayRequest request;
    request.text = m_text->text();
    request.colour = m_colour->currentData().toString();
    request.seconds = m_seconds->value();
    return request;
}
