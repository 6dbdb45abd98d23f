#include "languageapplier.h"

#include "languagefile.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>
#include <QWidgetAction>

#include <algorithm>

namespace {

bool isUntouchedLabel(const QString &name)
{
    return name == QLatin1String("LblProgressValue") || name == QLatin1String("LblTranceStyle");
}

bool isEffectSelector(const QString &name)
{
    return name == QLatin1String("CobEffect") || name == QLatin1String("CobEffectE");
}

bool isMenuItem(const QAction *action)
{
    if (action->isSeparator())
        return false;
    if (action->menu())
        return true;
    const QList<QObject *> holders = action->associatedObjects();
    return std::any_of(holders.cbegin(), holders.cend(),
        [](const QObject *o) { return qobject_cast<const QMenu *>(o); });
}

// The buttons of a toolbar: its actions without separators and embedded widgets.
QList<QAction *> toolBarButtons(const QToolBar *bar)
{
    QList<QAction *> buttons;
    for (QAction *action : bar->actions()) {
        if (!action->isSeparator() && !qobject_cast<QWidgetAction *>(action))
            buttons.append(action);
    }
    return buttons;
}

QAbstractItemModel *headerModel(const QObject *control)
{
    if (auto *tree = qobject_cast<const QTreeView *>(control))
        return tree->model();
    if (auto *table = qobject_cast<const QTableView *>(control))
        return table->model();
    return nullptr;
}

bool isVisited(const QObject *object)
{
    const QString name = object->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

bool holdsActions(const QObject *object)
{
    return qobject_cast<const QMenu *>(object) || qobject_cast<const QToolBar *>(object)
        || object->inherits("QMenuBar");
}

// Walks the children depth first; `holders` gets the menus, menu bars and toolbars met, named
// or not, whose actions may be owned elsewhere.
void collect(
    QObject *parent, QList<QObject *> &out, QSet<QObject *> &seen, QList<QWidget *> &holders)
{
    for (QObject *child : parent->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child)) {
            // Dialogs and page windows have texts of their own; a menu is a window too but
            // belongs to this one.
            if (qobject_cast<QMdiSubWindow *>(widget))
                continue;
            if (widget->isWindow() && !qobject_cast<QMenu *>(widget))
                continue;
        }
        if (isVisited(child) && !seen.contains(child)) {
            seen.insert(child);
            out.append(child);
        }
        if (holdsActions(child))
            holders.append(static_cast<QWidget *>(child));
        collect(child, out, seen, holders);
    }
}

void collectActions(const QList<QAction *> &actions, QList<QObject *> &out, QSet<QObject *> &seen)
{
    for (QAction *action : actions) {
        if (isVisited(action) && !seen.contains(action)) {
            seen.insert(action);
            out.append(action);
        }
        if (QMenu *menu = action->menu()) {
            if (isVisited(menu) && !seen.contains(menu)) {
                seen.insert(menu);
                out.append(menu);
            }
            collectActions(menu->actions(), out, seen);
        }
    }
}

} // namespace

LanguageControlKind languageControlKind(const QObject *control)
{
    if (!control)
        return LanguageControlKind::None;
    const QVariant optIn = control->property("languageText");
    if (optIn.isValid() && !optIn.toBool())
        return LanguageControlKind::None;
    const QString name = control->objectName();
    if (qobject_cast<const QGroupBox *>(control))
        return LanguageControlKind::Frame;
    if (qobject_cast<const QLabel *>(control))
        return isUntouchedLabel(name) ? LanguageControlKind::None : LanguageControlKind::Label;
    if (qobject_cast<const QCheckBox *>(control) || qobject_cast<const QPushButton *>(control))
        return LanguageControlKind::Caption;
    if (auto *action = qobject_cast<const QAction *>(control))
        return isMenuItem(action) ? LanguageControlKind::Caption : LanguageControlKind::None;
    if (qobject_cast<const QMenu *>(control))
        return LanguageControlKind::MenuTitle;
    if (qobject_cast<const QTreeView *>(control) || qobject_cast<const QTableView *>(control))
        return LanguageControlKind::ListView;
    if (qobject_cast<const QToolBar *>(control))
        return LanguageControlKind::ToolBar;
    if (qobject_cast<const QTabWidget *>(control) || qobject_cast<const QTabBar *>(control))
        return LanguageControlKind::TabStrip;
    if (qobject_cast<const QComboBox *>(control) && isEffectSelector(name))
        return LanguageControlKind::EffectSelector;
    return LanguageControlKind::None;
}

int languageListCapacity(const QObject *control)
{
    switch (languageControlKind(control)) {
    case LanguageControlKind::ListView: {
        const QAbstractItemModel *model = headerModel(control);
        return model ? model->columnCount() : 0;
    }
    case LanguageControlKind::ToolBar:
        return int(toolBarButtons(qobject_cast<const QToolBar *>(control)).size());
    case LanguageControlKind::TabStrip:
        if (auto *tabs = qobject_cast<const QTabWidget *>(control))
            return tabs->count();
        return qobject_cast<const QTabBar *>(control)->count();
    case LanguageControlKind::EffectSelector:
        return -1;
    default:
        return 0;
    }
}

void ApplyControlText(QObject *control, const QString &section, const QString &folder)
{
    if (section.isEmpty() || !control)
        return;
    const LanguageControlKind kind = languageControlKind(control);
    if (kind == LanguageControlKind::None)
        return;
    const QString text = GetLanguageText(folder, section, control->objectName());
    const QStringList entries = splitLanguageList(text);

    switch (kind) {
    case LanguageControlKind::None:
        break;
    case LanguageControlKind::Frame:
        static_cast<QGroupBox *>(control)->setTitle(text);
        break;
    case LanguageControlKind::Label:
        static_cast<QLabel *>(control)->setText(text);
        break;
    case LanguageControlKind::Caption:
        if (auto *action = qobject_cast<QAction *>(control))
            action->setText(text);
        else
            static_cast<QAbstractButton *>(control)->setText(text);
        break;
    case LanguageControlKind::MenuTitle:
        static_cast<QMenu *>(control)->setTitle(text);
        break;
    case LanguageControlKind::ListView: {
        QAbstractItemModel *model = headerModel(control);
        const int columns = model ? model->columnCount() : 0;
        for (int i = 0; i < entries.size() && i < columns; ++i)
            model->setHeaderData(i, Qt::Horizontal, entries.at(i), Qt::DisplayRole);
        break;
    }
    case LanguageControlKind::ToolBar: {
        const QList<QAction *> buttons = toolBarButtons(static_cast<QToolBar *>(control));
        for (int i = 0; i < entries.size() && i < buttons.size(); ++i) {
            if (!entries.at(i).isEmpty())
                buttons.at(i)->setToolTip(entries.at(i));
        }
        break;
    }
    case LanguageControlKind::TabStrip: {
        auto *tabWidget = qobject_cast<QTabWidget *>(control);
        auto *tabBar = qobject_cast<QTabBar *>(control);
        const int count = tabWidget ? tabWidget->count() : tabBar->count();
        for (int i = 0; i < entries.size() && i < count; ++i) {
            if (entries.at(i).isEmpty())
                continue;
            if (tabWidget)
                tabWidget->setTabText(i, entries.at(i));
            else
                tabBar->setTabText(i, entries.at(i));
        }
        break;
    }
    case LanguageControlKind::EffectSelector: {
        auto *box = static_cast<QComboBox *>(control);
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItems(entries);
        box->setCurrentIndex(-1);
        break;
    }
    }
}

QList<QObject *> languageControls(QWidget *window)
{
    QList<QObject *> controls;
    if (!window)
        return controls;
    QSet<QObject *> seen;
    QList<QWidget *> holders;
    collect(window, controls, seen, holders);
    // Actions owned elsewhere but shown in this window's menus and toolbars.
    collectActions(window->actions(), controls, seen);
    for (QWidget *holder : holders)
        collectActions(holder->actions(), controls, seen);
    return controls;
}

void ApplyLanguage(QWidget *window, const QString &section, const QString &folder)
{
    if (section.isEmpty())
        return;
    for (QObject *control : languageControls(window))
        ApplyControlText(control, section, folder);
}
