#pragma once

#include "selectionfont.h"

#include <QWidget>

#include <functional>

class PageCanvas;
class QScrollBar;
class QTextDocument;

// A page window: the page canvas rtfText, which keeps its size whatever the window's size,
// and the scroll bars HScroll1 and VScroll1 that move it when it is larger than the window.
// The main window puts it in its document area.
class frmDocument : public QWidget
{
    Q_OBJECT

public:
    // `canvas` is the initial canvas size in units.
    explicit frmDocument(const QSize &canvas, QWidget *parent = nullptr);

    PageCanvas *rtfText() const { return m_rtfText; }
    QTextDocument *document() const;
    QScrollBar *HScroll1() const { return m_hScroll; }
    QScrollBar *VScroll1() const { return m_vScroll; }

    // What ChangeWindowState did.
    enum class SizeResult {
        Sized,
        WidthTooLarge, // nothing changed
        HeightTooLarge, // the new width is in place, the height is the old one
    };

    // Sizes the canvas for a page of Width x Height modules: PerPixel x Width + 2 wide, then
    // PerPixel x Height + 2 high, in 16-bit arithmetic; a side outside 0..32767 is refused.
    // Lays the window out again in every case.
    SizeResult ChangeWindowState(qint16 Width, qint16 Height, qint16 PerPixel);

    // Sets one side of the canvas (the text-width rule of a listed page, the text-size boxes);
    // false, with the canvas unchanged, outside 0..32767. Lays the window out again.
    bool setCanvasWidth(int units);
    bool setCanvasHeight(int units);

    // Places the canvas and sets the scroll bars for the current window and canvas sizes.
    void DocResize();

    // The zoom chosen: PageZoom::kFit, or a whole factor PageZoom::kMin..kMax. Zoom is a view
    // only: the canvas size in units, the page and what the sign gets stay as they are.
    void setZoom(int zoom);
    int zoom() const { return m_zoom; }
    // The factor the canvas is drawn at now (Fit worked out for the window's size).
    int zoomFactor() const;
    // One whole step in (positive) or out from the factor shown; leaves Fit.
    void zoomBy(int steps);

    // Empties the page and makes typing red again; the empty page counts as saved.
    void newPage();

    // The file the page was last loaded from or saved to (full path); "" after newPage or
    // before any. The caption may name something else: a listed page keeps it.
    QString pageFile() const { return m_pageFile; }
    void setPageFile(const QString &path) { m_pageFile = path; }
    // The page's name for questions and dialogs: its file's name, else the caption.
    QString pageName() const;

    // Whether the page was changed since it was loaded, saved or emptied.
    bool hasUnsavedChanges() const;
    // The page now matches its file (it was just loaded or saved).
    void markSaved();
    // Asked before the window closes; false keeps it open.
    void setCloseGuard(std::function<bool(frmDocument *)> guard)
    {
        m_closeGuard = std::move(guard);
    }

    // The caption of a page window that shows no file, in `language`; isUntitledCaption
    // recognises it in any language, so a language switch can replace it.
    static QString untitledCaption(const QString &language);
    static bool isUntitledCaption(const QString &caption);

    // One sentence, in `language`, on why a canvas of Width x Height modules was refused.
    static QString sizeRefusalMessage(
        SizeResult result, qint16 Width, qint16 Height, qint16 PerPixel, const QString &language);

signals:
    // The selection's font changed: the font boxes show it where it is uniform.
    void selectionFontChanged(const SelectionFont &font);
    // The operator chose another zoom here (Ctrl+wheel, Ctrl++, Ctrl+-, Ctrl+0) or setZoom ran.
    void zoomChanged(int zoom);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void followScrollBars();
    void reportSelectionFont();
    void addZoomKeys();
    void applyZoomFactor();

    PageCanvas *m_rtfText;
    QScrollBar *m_hScroll;
    QScrollBar *m_vScroll;
    std::function<bool(frmDocument *)> m_closeGuard;
    QString m_pageFile;
    int m_zoom = 1;
    int m_wheelRest = 0; // eighths of a degree not yet turned into a zoom step
};
