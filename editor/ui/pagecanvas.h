#pragma once

#include "ledpicture.h"
#include "pagefiles.h"

#include <QTextEdit>
#include <QTimer>

// The page canvas of a page window: a rich-text editor of a fixed size, one unit one LED,
// that shows its page exactly as Page::renderCanvas draws it for the sign (same document
// conventions, 96-dpi layout, no anti-aliasing, uncoloured text red, the page's background).
// It never scrolls its own content: the page window moves the whole canvas instead, so the
// canvas always shows the page from its top-left corner, as the sign samples it.
//
// Zoomed, every unit is drawn as a square block of zoom x zoom pixels of exactly its colour,
// and mouse clicks, drags and drops are taken back to units, so they land where they look.
// The document, its layout and the canvas size in units do not change with the zoom.
//
// Pasting and dropping insert plain text, or pictures (a picture, or picture files dropped)
// converted to the sign's colours; copying gives plain text: colours from elsewhere are not
// LED colours.
class PageCanvas : public QTextEdit
{
    Q_OBJECT

public:
    explicit PageCanvas(QWidget *parent = nullptr);

    // The canvas size in units; only the page window's sizing rules call these.
    void setCanvasWidth(int units);
    void setCanvasHeight(int units);
    QSize canvasSize() const { return m_units; }

    // Screen pixels per unit on each side, 1..8; the widget is canvasSize() x factor.
    void setZoomFactor(int factor);
    int zoomFactor() const { return m_zoom; }

    // How pictures pasted or dropped become LED colours.
    void setPictureMode(Page::PictureMode mode) { m_pictureMode = mode; }
    Page::PictureMode pictureMode() const { return m_pictureMode; }

    // The first unit column the sign never lights: the packets leave the last module column
    // of a page (and the canvas's margin beyond it) dark. The canvas shades it from there to
    // its right edge, on screen only. 0 when the canvas is narrower than two modules.
    static int firstUnsentColumn(int canvasWidth);
    QRect unsentRect() const; // in widget pixels; empty when nothing is shaded

    // The language of the canvas's own tooltip.
    void setLanguage(const QString &language) { m_language = language; }

    // Empties the page (text, pictures, formatting) and types red again. The background stays.
    void clearPage();
    // Makes the next typed text red (0x0000FF in the sign's BGR notation).
    void typeRed();

signals:
    // A picture pasted or dropped could not be placed (damaged, too large); the page is as it was.
    void pictureRefused(const Page::FileResult &reason);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool viewportEvent(QEvent *event) override;

public:
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    void applySize();
    void followBackground();
    bool paintsItself() const;
    void paintScaled();
    void shadeUnsentColumns();
    void updateCaretBlink();
    template<typename Handler>
    void forwardMouse(QMouseEvent *event, Handler handler);

    QSize m_units { 0, 0 };
    int m_zoom = 1;
    Page::PictureMode m_pictureMode = Page::PictureMode::Threshold;
    QTimer m_caretBlink; // only used when the canvas draws itself scaled
    bool m_caretOn = true;
    QString m_language;
};
