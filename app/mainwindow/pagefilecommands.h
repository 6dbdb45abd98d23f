#pragma once

#include "pagefiles.h"

#include <QObject>

class PageFileHost;
class frmDocument;

// The commands that move pages between files and page windows, and the two insert commands.
// Explicit commands (open, save, insert) and a click in the file browser say in a message
// box why they failed; a program-list row whose page cannot be shown says it in the status
// bar.
class PageFileCommands : public QObject
{
    Q_OBJECT

public:
    // `host` is the window the commands act in; it outlives them.
    PageFileCommands(PageFileHost &host, QObject *parent = nullptr);

    // Dialog filters, in "description|pattern" pairs.
    static QString openFilter(); // "文本文件(*.txt)|*.txt|rtf文件(*.rtf)|*.rtf"
    // The open dialog starts on "rtf文件(*.rtf)", so the pages are what it lists.
    static constexpr int kOpenFilterShown = 1;
    static QString openInNewWindowFilter(); // "文本文件(*.txt)|*.txt|"
    static QString saveFilter(); // "Rtf File(*.rtf)|*.rtf|All Files(*.*)|*.*"
    static QString saveAsFilter(); // "文本文件 (*.TXT)"
    static QString insertPictureFilter();

public slots:
    // Opens a file into the active page window (its caption becomes the path), or into a new
    // page window when none is active.
    void OpenPageFile();
    // Opens a file into a new page window.
    void OpenPageFileInNewWindow();
    // Saves the active page as RTF under a name ending in ".rtf", then re-reads the file
    // browser. The dialog proposes the caption with ".rtf" ("Untitled.rtf") and adds ".rtf" to
    // a name typed without an extension. The caption stays.
    void SavePage();
    // Saves the active page as RTF under a name ending in ".txt"; the caption becomes the name.
    void SavePageAs();
    // Puts a picture file on the clipboard and inserts it at the active canvas's caret.
    void InsertPicture();
    // Asks for rows and columns and inserts a table at the active canvas's caret.
    void InsertTable();

public:
    // Shows a listed page file in the default page window: with a text width other than 0
    // its canvas becomes textWidth x 16 units wide first (not for a width beyond the packet's
    // 127); a file whose own name has "RTF" or "rtf" is read as rich text, any other as a
    // picture, whatever its folders are called. The caption stays. Unsaved changes of the window
    // are only replaced when the operator agrees. False when the page is not shown (the
    // status bar or a message box says why, as `shown` asks).
    enum class FailureShown { StatusBar, MessageBox };
    bool LoadPageFile(
        const QString &path, qint16 textWidth, FailureShown shown = FailureShown::StatusBar);

    // Opens the page file at `path` (told apart by content, as File > Open does) into the
    // default page window, or into a new page window when `newWindow`; the window is named
    // after the file. A file that cannot be read is told and opens no window.
    bool openPageFileAt(const QString &path, bool newWindow);

    // Inserts a table of rows x columns at the active canvas's caret; false without a page
    // window or for a size outside 1..50.
    bool insertTable(int rows, int columns);
    // Inserts the picture file at the active canvas's caret (and puts it on the clipboard).
    Page::FileResult insertPicture(const QString &path);

private:
    QString language() const;
    void explain(const Page::FileResult &result);
    // Loads a page file into the window and names the window after it; a failure is told.
    bool loadInto(frmDocument *page, const QString &name);

    PageFileHost &m_host;
};
