#include "standardtoolbar.h"

#include "commandicons.h"
#include "localtext.h"

#include <QAction>

namespace {

struct Button
{
    const char *key;
    const char *text; // until the language file gives the tooltip
    bool separatorBefore;
};

const Button kButtons[] = {
    { "新建", "New", false },
    { "打开", "Open", false },
    { "保存", "Save", false },
    { "剪切", "Cut", true },
    { "复制", "Copy", false },
    { "粘贴", "Paste", false },
    { "插入表格", "Insert Table", true },
    { "插入图片", "Insert Picture", false },
    { "帮助", "Help", true },
};

} // namespace

StandardToolBar::StandardToolBar(QWidget *parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("tbToolBar"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    for (const Button &b : kButtons) {
        const QString key = QString::fromUtf8(b.key);
        if (b.separatorBefore)
            addSeparator();
        QAction *action = addAction(CommandIcons::icon(key), QString::fromLatin1(b.text));
        action->setData(key);
        action->setToolTip(QString::fromLatin1(b.text));
        connect(action, &QAction::triggered, this, [this, key] { emit buttonClicked(key); });
        m_buttons.append(action);
    }
    // Open has no menu item, so its shortcut lives on the button.
    button(QStringLiteral("打开"))->setShortcut(QKeySequence::Open);
    showTexts(QStringLiteral("English"));
}

void StandardToolBar::showTexts(const QString &language)
{
    setWindowTitle(localText(language, QStringLiteral("Standard"), QStringLiteral("常用")));
    for (QAction *b : m_buttons)
        b->setText(b->toolTip()); // the overflow menu's text
}

QStringList StandardToolBar::keys()
{
    QStringList k;
    for (const Button &b : kButtons)
        k.append(QString::fromUtf8(b.key));
    return k;
}

QAction *StandardToolBar::button(const QString &key) const
{
    for (QAction *a : m_buttons) {
        if (a->data().toString() == key)
            return a;
    }
    return nullptr;
}
