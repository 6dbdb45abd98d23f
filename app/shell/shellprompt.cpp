#include "shellprompt.h"

#include <QMessageBox>

namespace ShellPrompt {

namespace {

const QString kFallbackLanguage = QStringLiteral("English");

QMessageBox::Icon boxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString text(qint16 number, const QString &language)
{
    const QString own = MsgText(number, language);
    return own.isEmpty() ? MsgText(number, kFallbackLanguage) : own;
}

QString title(const QString &language)
{
    const QString own = MsgTitle(language);
    return own.isEmpty() ? MsgTitle(kFallbackLanguage) : own;
}

bool show(QWidget *parent, qint16 number, const QString &language)
{
    const PromptIcon icon = MsgIcon(number);
    QMessageBox box(
        boxIcon(icon), title(language), text(number, language), QMessageBox::NoButton, parent);
    if (icon == PromptIcon::Question) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return true;
}

void showText(QWidget *parent, const QString &message, PromptIcon icon, const QString &language)
{
    QMessageBox box(boxIcon(icon), title(language), message, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace ShellPrompt
