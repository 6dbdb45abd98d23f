#include "keyedbuttons.h"

#include "commandicons.h"

#include <QAction>
#include <QToolBar>

QStringList keyedButtonKeys(const QList<KeyedButton> &buttons)
{
    QStringList keys;
    for (const KeyedButton &b : buttons)
        keys.append(QString::fromUtf8(b.key));
    return keys;
}

QList<QAction *> addKeyedButtons(QToolBar *bar, const QList<KeyedButton> &buttons,
    const std::function<void(const QString &)> &clicked)
{
    QList<QAction *> actions;
    for (const KeyedButton &b : buttons) {
        const QString key = QString::fromUtf8(b.key);
        if (b.separatorBefore)
            bar->addSeparator();
        const QString text = QString::fromLatin1(b.text);
        QAction *action = bar->addAction(CommandIcons::icon(key), text);
        action->setData(key);
        action->setToolTip(text);
        QObject::connect(action, &QAction::triggered, bar, [clicked, key] { clicked(key); });
        actions.append(action);
    }
    return actions;
}

QAction *findKeyedButton(const QList<QAction *> &actions, const QString &key)
{
    for (QAction *a : actions) {
        if (a->data().toString() == key)
            return a;
    }
    return nullptr;
}
