#pragma once

class QAction;
class QMenu;
class QMenuBar;

// The menu bar's menus and items, each carrying its control name as object name (the language
// file finds them by it) and its built-in caption.
struct MainMenus
{
    QMenu *file = nullptr;
    QAction *newPage = nullptr; // "new"
    QAction *save = nullptr;
    QAction *saveAs = nullptr;
    QAction *openShow = nullptr; // "openshow": a show file into the program list
    QAction *saveShow = nullptr; // "saveshow"
    QAction *saveShowAs = nullptr; // "saveshowas"
    QMenu *recentShows = nullptr; // "recentshows": filled when it opens
    QAction *sendShow = nullptr; // "sendshow": every row's page, then the effect table
    QAction *close = nullptr;
    QAction *exit = nullptr;

    QMenu *edit = nullptr;
    QAction *cut = nullptr;
    QAction *copy = nullptr;
    QAction *paste = nullptr;
    QAction *selectAll = nullptr;
    QAction *textClear = nullptr;

    QMenu *view = nullptr;
    QAction *showValues = nullptr; // "showvalues", checkable: fields with values or as typed

    QMenu *insert = nullptr;
    QAction *insertField = nullptr; // "insertfield": the Insert Field dialog

    QMenu *set = nullptr;
    QAction *baseSet = nullptr;
    QAction *sites = nullptr; // "sites": the broker the sites share
    QMenu *language = nullptr;
    QAction *english = nullptr;
    QAction *chinese = nullptr;
    QAction *jap = nullptr;
    QAction *screenClear = nullptr;

    QMenu *tools = nullptr;
    QAction *painter = nullptr;
    QAction *notebook = nullptr;
    QAction *schedule = nullptr; // "schedule": the Schedule window

    QMenu *window = nullptr;
    QAction *tileHorizontal = nullptr;
    QAction *tileVertical = nullptr;
    QAction *cascade = nullptr;
    QAction *sitesPane = nullptr; // "sitespane": shows and hides the Sites pane

    QMenu *help = nullptr;
    QAction *about = nullptr;

    // Fills `bar` with every menu, in order.
    static MainMenus build(QMenuBar *bar);
};
