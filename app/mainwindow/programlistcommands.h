#pragma once

#include <QObject>
#include <QStringList>

class FileBrowserPane;
class FormatToolBar;
class PageFileCommands;
class PendingPageShow;
class ProgramList;
class ProgramListHost;
class ProgramListPane;
class SignPreviewPane;

// The handlers of the program list, its effect selectors and the file browser that feeds it:
// rows are added from the browser, clicked to show their page, edited through the selectors
// and removed by double-click. The sign preview follows the current row's size.
class ProgramListCommands : public QObject
{
    Q_OBJECT

public:
    // The panes, the list and the commands are the window's and outlive these commands.
    ProgramListCommands(ProgramList &list, ProgramListPane *listPane, FileBrowserPane *browser,
        FormatToolBar *formatBar, SignPreviewPane *preview, PageFileCommands &pages,
        ProgramListHost &host, QObject *parent = nullptr);

    // Appends a row for a page file with the default effects and the given text size; a full
    // list is noted and keeps its rows.
    void AddFileToListView(
        const QString &FileName, const QString &txtWidth, const QString &txtHeight);
    // Writes the value of the selector of column code ColIndex into row ListIndex.
    void ChangeListView(qint16 ListIndex, qint16 ColIndex);
    void RenumberListView();

    // After the list changed under the operator (a removal, a show opened), the highlight, the
    // selectors and the page window follow the row that is now current. The page is replaced
    // only when the page window holds no unsaved edits: the operator asked for neither.
    void followCurrentRow();

    // The sign preview shows the current row's page size (the screen's without a usable
    // row), on the sign's window, with the default page window's page.
    void updatePreviewSize();

private:
    void ListView1_Click(int row);
    void ListView1_DblClick(int row);
    void File1_Click(const QString &name);
    void File1_DblClick(const QString &name);
    void selectorPicked(int column);
    void showRowPage(int row, const QStringList &texts);
    QString language() const;

    ProgramList &m_list;
    ProgramListPane *m_listPane;
    FormatToolBar *m_formatBar;
    SignPreviewPane *m_preview;
    PageFileCommands &m_pages;
    ProgramListHost &m_host;
    PendingPageShow *m_pageShow;
};
