#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

// Answers the message boxes that code under test opens with exec(), recording what each
// showed. Polls from a timer, which keeps running inside the box's own event loop.
class MessageBoxAnswerer : public QObject
{
public:
    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };

    QList<Seen> seen;
    // The buttons to press, box by box, then `answer`; a box without the button gets its
    // default button, or its first.
    QList<QMessageBox::StandardButton> script;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::function<void()> onBox; // runs while each box is up, before it is answered

    MessageBoxAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxAnswerer::poll);
        m_timer.start(5);
    }

    QStringList texts() const
    {
        QStringList t;
        for (const Seen &s : seen)
            t << s.text;
        return t;
    }

private:
    void poll()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible() || box->property("answered").toBool())
                continue;
            box->setProperty("answered", true);
            seen.append({ box->windowTitle(), box->text(), box->icon() });
            if (onBox)
                onBox();
            QAbstractButton *button = box->button(script.isEmpty() ? answer : script.takeFirst());
            if (!button)
                button = box->defaultButton();
            if (!button && !box->buttons().isEmpty())
                button = box->buttons().constFirst();
            if (button)
                button->click();
        }
    }

    QTimer m_timer;
};
