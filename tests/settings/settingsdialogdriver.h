#pragma once

#include "frmset.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// The settings dialog's controls by name, for its own tests and those of the main window.
template <typename T> T *child(QWidget &dialog, const QString &name)
{
    T *found = dialog.findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// The link kind option: 0 RS232, 1 RS485, 2 TCP/IP.
inline QRadioButton *option(FrmSet &dialog, int index)
{
    for (QRadioButton *b : dialog.findChildren<QRadioButton *>("Base_Option1"))
        if (b->property("index").toInt() == index)
            return b;
    qFatal("no option %d", index);
}

inline void setText(QWidget &dialog, const QString &name, const QString &text)
{
    child<QLineEdit>(dialog, name)->setText(text);
}

inline void click(QWidget &dialog, const QString &name)
{
    child<QPushButton>(dialog, name)->click();
}

// What the named combo boxes and line edits show, in order.
inline QStringList shown(QWidget &dialog, const QStringList &names)
{
    QStringList texts;
    for (const QString &name : names) {
        auto *combo = dialog.findChild<QComboBox *>(name);
        texts << (combo ? combo->currentText() : child<QLineEdit>(dialog, name)->text());
    }
    return texts;
}
