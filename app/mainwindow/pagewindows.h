#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

class PageCanvas;
class PageViewControl;
class QMdiArea;
class QMdiSubWindow;
class frmDocument;

// The page windows in the document area: the default page window (opened again when it was
// closed), further page windows, which one is active, and the Window menu's arrangements.
// Every page window is named after no file until it shows one, and starts at the zoom and
// picture mode the page view remembers.
class PageWindows : public QObject
{
    Q_OBJECT

public:
    // `area` and `view` are the window's and outlive the page windows' manager.
    PageWindows(QMdiArea *area, PageViewControl *view, QObject *parent = nullptr);

    // The default page window, shown; opened again when it was closed (not while the window
    // closes).
    frmDocument *defaultDocument();
    // The default page window if it is open, else null.
    frmDocument *openDefaultDocument() const { return m_defaultDocument; }
    // The page window that has (or last had) the focus, or null.
    frmDocument *activeDocument() const;
    // The canvas of the active page window, or null.
    PageCanvas *activeCanvas() const;
    // Opens a further page window, active, its canvas the size of the screen.
    frmDocument *createPageWindow();
    // Makes `page` the active page window and gives its canvas the focus.
    void activate(frmDocument *page);

    // File > Close: closes the active page window, if any, without asking.
    void closeActivePage();
    // Window menu: tiled along `orientation`, or cascaded.
    void tile(Qt::Orientation orientation);
    void cascade();

    // Closes every page window as the program ends; false (and the program goes on) when the
    // operator kept a page with unsaved changes.
    bool closeAll();
    // The page windows' own texts (the caption of a page without a file, the canvas's
    // messages) in `language`.
    void showTexts(const QString &language);

signals:
    // A page window was opened; `page` wants its close guard and followers.
    void pageOpened(frmDocument *page);
    // The default page window was (re)created; its page is a new document.
    void defaultPageCreated(frmDocument *page);

private:
    QMdiSubWindow *addPageWindow(frmDocument *page);
    QSize screenCanvasSize() const;

    QMdiArea *m_area;
    PageViewControl *m_view;
    QPointer<frmDocument> m_defaultDocument;
    bool m_closing = false;
};
