#include "standardtoolbar.h"

#include "keyedbuttons.h"
#include "localtext.h"

#include <QAction>

namespace {

const QList<KeyedButton> kButtons = {
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
    m_buttons
        = addKeyedButtons(this, kButtons, [this](const QString &key) { emit buttonClicked(key); });
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
    return keyedButtonKeys(kButtons);
}

QAction *StandardToolBar::button(const QString &key) const
{
    return findKeyedButton(m_buttons, key);
}
