#pragma once

#include <QList>
#include <QString>

class QObject;
class QWidget;

// Puts the texts of the language file on a window's controls. Controls are found by their
// objectName, which is their key in the file; every member of a control array shares one
// name and so one key.

// How a control takes its text, tested in this order.
enum class LanguageControlKind {
    None, // text boxes, option buttons, pictures, other selectors: nothing
    Frame, // QGroupBox: title
    Label, // QLabel, except LblProgressValue and LblTranceStyle: text
    Caption, // check box, push button, menu item (an action in a menu): text
    MenuTitle, // QMenu: title
    ListView, // QTreeView, QTreeWidget, QTableView: column headers from a list
    ToolBar, // QToolBar: tooltips of its buttons from a list
    TabStrip, // QTabWidget, QTabBar: tab captions from a list
    EffectSelector, // the combo boxes CobEffect and CobEffectE: items from a list
};

// A control whose dynamic property "languageText" is false is of kind None: a label the
// program fills at run time (a status note, like LblProgressValue and LblTranceStyle) opts
// out this way.
LanguageControlKind languageControlKind(const QObject *control);

// For the list-carrying kinds, how many entries the control can take (columns, buttons,
// tabs); -1 for the effect selectors, which take any number, and 0 for other kinds.
int languageListCapacity(const QObject *control);

// Applies the text of `section`/objectName from the language file in `folder` to one
// control, by its kind. An empty section does nothing. List texts are split at every ",":
// list views take every entry (an empty one empties its header), toolbars and tab strips
// skip empty entries, entries beyond the control's columns, buttons or tabs are ignored. The
// effect selectors get their items replaced with no item selected, without emitting change
// signals, so a pick handler never sees the replacement.
void ApplyControlText(QObject *control, const QString &section, const QString &folder);

// The controls of `window` that ApplyLanguage visits, in a stable order: its named
// descendants depth first in creation order, then named actions reached only through
// menus and toolbars. The window itself, internal Qt children ("qt_" names), page windows
// (QMdiSubWindow) and other windows parented to it (dialogs) are left out; menus are in.
QList<QObject *> languageControls(QWidget *window);

// ApplyControlText on every control of languageControls(window). The window's own caption
// is not touched.
void ApplyLanguage(QWidget *window, const QString &section, const QString &folder);
