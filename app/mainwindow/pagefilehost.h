#pragma once

class FileDialogs;
class PromptSink;
class QString;
class QWidget;
class frmDocument;

// What the page file commands need of the window they run in: its page windows, the
// question before unsaved changes are replaced, and where they ask, tell and note. The main
// window implements it.
class PageFileHost
{
public:
    virtual ~PageFileHost() = default;

    // The page window that has (or last had) the focus, or null.
    virtual frmDocument *activeDocument() const = 0;
    // The default page window, shown; opened again when it was closed.
    virtual frmDocument *defaultDocument() = 0;
    // Opens a further page window, active, its canvas the size of the screen.
    virtual frmDocument *createPageWindow() = 0;
    // True when `page` has no unsaved changes or the operator agrees to discard them.
    virtual bool mayDiscardChanges(frmDocument *page) = 0;

    virtual PromptSink &prompts() = 0;
    virtual FileDialogs &fileDialogs() = 0;
    // The window the commands' own dialogs belong to.
    virtual QWidget *dialogParent() = 0;
    // A note in the status bar the operator need not answer.
    virtual void showNote(const QString &text) = 0;
    // A page file was written: the file browser lists it at once.
    virtual void pageFilesChanged() = 0;
};
