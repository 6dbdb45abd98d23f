#include "promptbox.h"

#include <QMessageBox>

namespace PromptBox {

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

bool show(QWidget *parent, qint16 number, const QString &language)
{
    const PromptIcon icon = MsgIcon(number);
    QMessageBox box(
        boxIcon(icon), PromptTitle(language), PromptText(number, language), QMessageBox::NoButton, parent);
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
    QMessageBox box(boxIcon(icon), PromptTitle(language), message, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace PromptBox
