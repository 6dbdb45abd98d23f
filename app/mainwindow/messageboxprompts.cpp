#include "messageboxprompts.h"

#include "promptbox.h"

#include <QMessageBox>

void MessageBoxPrompts::inform(const QString &text, const QString &title, PromptIcon icon)
{
    QMessageBox box(PromptBox::boxIcon(icon), title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool MessageBoxPrompts::confirm(const QString &text, const QString &title)
{
    QMessageBox box(
        QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}
