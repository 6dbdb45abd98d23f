#pragma once

#include <QTextEdit>
#include <QTimer>

// The page canvas of a page window: a rich-text editor of a fixed size, one unit one LED,
// that shows its page exactly as Page::renderCanvas draws it for the sign (same document
// conventions, 96-dpi layout, no anti-aliasing, uncoloured text red, the page's background).
// It never scrolls its own content: the page window moves the whole canvas instead, so the
// canvas always shows the page from its top-left corner, as the sign samples it.
//
// Pasting and dropping insert plain text only, and copying gives plain text: colours and
// pictures from elsewhere are not LED colours.
class PageCanvas : public QTextEdit
{
    Q_OBJECT

public:
    explicit PageCanvas(QWidget *parent = nullptr);

    // The canvas size in units; only the page window's sizing rules call these.
    void setCanvasWidth(int units);
    void setCanvasHeight(int units);
    QSize canvasSize() const { return size(); }

    // Empties the page (text, pictures, formatting) and types red again. The background stays.
    void clearPage();
    // Makes the next typed text red (0x0000FF in the sign's BGR notation).
    void typeRed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    void followBackground();
    void paintAtUnitScale();

    QTimer m_caretBlink; // only used when the screen scales the canvas up
    bool m_caretOn = true;
};
