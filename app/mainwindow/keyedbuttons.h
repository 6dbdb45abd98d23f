#pragma once

#include <QList>
#include <QStringList>

#include <functional>

class QAction;
class QToolBar;

// A toolbar button named by its key text: the commands and the language file know it by that
// name, and its action carries it as data().
struct KeyedButton
{
    const char *key;
    const char *text; // until the language file gives the tooltip
    bool separatorBefore;
};

QStringList keyedButtonKeys(const QList<KeyedButton> &buttons);

// Appends the buttons to `bar` in order; `clicked` gets the key of the button triggered.
QList<QAction *> addKeyedButtons(QToolBar *bar, const QList<KeyedButton> &buttons,
    const std::function<void(const QString &)> &clicked);

// The action carrying `key`, or null.
QAction *findKeyedButton(const QList<QAction *> &actions, const QString &key);
