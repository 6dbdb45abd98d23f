#include "mainmenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *menu(QMenuBar *bar, const char *name, const char *caption)
{
    QMenu *m = bar->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QString::fromLatin1(name));
    return m;
}

QAction *item(QMenu *menu, const char *name, const char *caption,
    const QKeySequence &shortcut = QKeySequence())
{
    QAction *a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(shortcut);
    return a;
}

} // namespace

MainMenus MainMenus::build(QMenuBar *bar)
{
    MainMenus m;
    m.file = menu(bar, "file", "&File");
    m.newPage = item(m.file, "new", "&New", QKeySequence::New);
    m.save = item(m.file, "save", "&Save", QKeySequence::Save);
    m.saveAs = item(m.file, "saveas", "&Save As");
    m.file->addSeparator();
    m.openShow = item(m.file, "openshow", "&Open Show...");
    m.saveShow = item(m.file, "saveshow", "Save Sho&w");
    m.saveShowAs = item(m.file, "saveshowas", "Save Show As...");
    m.recentShows = m.file->addMenu(QStringLiteral("&Recent Shows"));
    m.recentShows->setObjectName(QStringLiteral("recentshows"));
    m.sendShow = item(m.file, "sendshow", "Sen&d Show");
    m.file->addSeparator();
    m.close = item(m.file, "close", "&Close");
    m.file->addSeparator();
    m.exit = item(m.file, "exit", "&Exit");

    m.edit = menu(bar, "edit", "&Edit");
    m.cut = item(m.edit, "cut", "&Cut", QKeySequence::Cut);
    m.copy = item(m.edit, "copy", "&Copy", QKeySequence::Copy);
    m.paste = item(m.edit, "paste", "&Paste", QKeySequence::Paste);
    m.edit->addSeparator();
    m.selectAll = item(m.edit, "selectall", "&Select All", QKeySequence::SelectAll);
    m.textClear = item(m.edit, "textclear", "&TextClear");

    m.view = menu(bar, "view", "&View");
    m.showValues = item(m.view, "showvalues", "Show &Values");
    m.showValues->setCheckable(true);

    m.insert = menu(bar, "insert", "&Insert");
    m.insertField = item(m.insert, "insertfield", "&Field...");

    m.set = menu(bar, "set", "&Set");
    m.baseSet = item(m.set, "baseset", "&Base Set");
    m.sites = item(m.set, "sites", "S&ites...");
    m.language = m.set->addMenu(QStringLiteral("&Language"));
    m.language->setObjectName(QStringLiteral("language"));
    m.english = item(m.language, "English", "English");
    m.chinese = item(m.language, "chinese", "简体中文");
    m.jap = item(m.language, "jap", "日文");
    for (QAction *a : { m.english, m.chinese, m.jap })
        a->setCheckable(true);
    m.screenClear = item(m.set, "screenclear", "&Screen Clear");

    m.tools = menu(bar, "tools", "&Tools");
    m.painter = item(m.tools, "painter", "&Painter");
    m.notebook = item(m.tools, "notebook", "&NoteBook");
    m.tools->addSeparator();
    m.schedule = item(m.tools, "schedule", "&Schedule...");

    m.window = menu(bar, "window", "&Window");
    m.tileHorizontal = item(m.window, "Horizontal", "Tile &Horizontal");
    m.tileVertical = item(m.window, "ArrVertical", "Tile &Vertical");
    m.cascade = item(m.window, "Cascade", "&Cascade");
    m.window->addSeparator();
    m.sitesPane = item(m.window, "sitespane", "&Sites");

    m.help = menu(bar, "help", "&Help");
    m.about = item(m.help, "About", "About Vantrel");
    return m;
}
