#pragma once

#include "fieldresolver.h"
#include "ledpicture.h"
#include "pagefiles.h"

#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <memory>

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
//
// Fields ({time}, {value:NAME}, ...) stay as typed in the document. With values shown, the
// canvas draws the page exactly as it is sent, its fields filled, with a steady caret among the
// values, while the operator is not editing it: a key or mouse press in the canvas shows the
// fields as typed (so the caret and the selection land where they look) until the canvas loses
// the focus.
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

    // Where fields take their values from; called each time the values are drawn anew. Without
    // one the canvas always shows the fields as typed.
    void setFieldContext(std::function<Fields::FieldContext()> context);
    // Values (true) or the fields as typed (false) while the operator is not editing.
    void setShowValues(bool show);
    bool showValues() const { return m_showValues; }
    // Whether the canvas draws filled fields now: values shown, not editing, a page with fields.
    bool showsValuesNow();
    // Draws the values anew: the clock moved on, or a value or file changed.
    void refreshValues();

signals:
    // The problems of the fields drawn with values (an unknown field, a missing file), sent
    // when they differ from the last ones sent: empty when they are mended.
    void fieldProblems(const QList<Fields::FieldProblem> &problems);
    // A picture pasted or dropped could not be placed (damaged, too large); the page is as it was.
    void pictureRefused(const Page::FileResult &reason);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
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
    void paintValues();
    const QImage &valuesImage();
    QRect valuesCaretRect() const;
    void beginEditing();
    void valuesChanged();
    void shadeUnsentColumns();
    void updateCaretBlink();
    template <typename Handler> void forwardMouse(QMouseEvent *event, Handler handler);

    QSize m_units { 0, 0 };
    int m_zoom = 1;
    Page::PictureMode m_pictureMode = Page::PictureMode::Threshold;
    QTimer m_caretBlink; // only used when the canvas draws itself scaled
    bool m_caretOn = true;
    QString m_language;

    std::function<Fields::FieldContext()> m_fieldContext;
    bool m_showValues = false;
    bool m_editing = false; // a key or mouse press since the canvas last lost the focus
    bool m_valuesStale = true;
    QImage m_valuesImage; // null when the page has nothing to fill
    std::unique_ptr<QTextDocument> m_filled; // the filled copy drawn into m_valuesImage
    Fields::FieldContext m_valuesContext; // what m_filled was filled from
    QString m_reportedProblems;
};
