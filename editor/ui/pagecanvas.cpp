#include "pagecanvas.h"

#include "pagedocument.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextCursor>
#include <QTextDocumentFragment>

namespace {

// Keeps a scroll bar of the editor itself at 0..0: the canvas never scrolls its content.
void pinToZero(QScrollBar *bar)
{
    bar->setRange(0, 0);
    QObject::connect(bar, &QScrollBar::rangeChanged, bar, [bar](int minimum, int maximum) {
        if (minimum != 0 || maximum != 0)
            bar->setRange(0, 0);
    });
}

} // namespace

PageCanvas::PageCanvas(QWidget *parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("rtfText"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pinToZero(horizontalScrollBar());
    pinToZero(verticalScrollBar());
    setLineWrapMode(QTextEdit::WidgetWidth);
    setAcceptRichText(false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setViewportMargins(0, 0, 0, 0);

    // The editor hands its own font to the document on every font change; make it the page font.
    setFont(Page::defaultFont());
    Page::setUpDocument(document());
    typeRed();

    connect(document(), &QTextDocument::contentsChanged, this, &PageCanvas::followBackground);
    followBackground();

    const int flash = QApplication::styleHints()->cursorFlashTime();
    m_caretBlink.setInterval(flash > 0 ? flash / 2 : 500);
    connect(&m_caretBlink, &QTimer::timeout, this, [this] {
        m_caretOn = !m_caretOn;
        viewport()->update();
    });
}

void PageCanvas::setCanvasWidth(int units)
{
    setFixedWidth(units);
}

void PageCanvas::setCanvasHeight(int units)
{
    setFixedHeight(units);
}

void PageCanvas::clearPage()
{
    const QColor background = Page::background(*document());
    clear();
    Page::setUpDocument(document());
    Page::setBackground(document(), background);
    typeRed();
}

void PageCanvas::typeRed()
{
    setTextColor(Page::ledRed());
}

void PageCanvas::followBackground()
{
    // What lies below the last line is the viewport's own background: the page's too.
    const QColor background = Page::background(*document());
    QPalette p = viewport()->palette();
    if (p.color(QPalette::Base) == background
        && p.color(QPalette::Text) == Page::defaultTextColor())
        return;
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Text, Page::defaultTextColor());
    viewport()->setPalette(p);
    QPalette own = palette();
    own.setColor(QPalette::Base, background);
    own.setColor(QPalette::Text, Page::defaultTextColor());
    setPalette(own);
}

void PageCanvas::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    // The editor resets the document's font and layout device on these; the page keeps its own.
    if (event->type() == QEvent::FontChange)
        Page::setUpDocument(document());
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        followBackground();
}

void PageCanvas::focusInEvent(QFocusEvent *event)
{
    QTextEdit::focusInEvent(event);
    m_caretOn = true;
    if (viewport()->devicePixelRatioF() != 1.0)
        m_caretBlink.start();
}

void PageCanvas::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    m_caretBlink.stop();
}

QMimeData *PageCanvas::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(textCursor().selection().toPlainText());
    return data;
}

void PageCanvas::paintEvent(QPaintEvent *event)
{
    if (viewport()->devicePixelRatioF() == 1.0) {
        QTextEdit::paintEvent(event);
        return;
    }
    paintAtUnitScale();
}

// On a screen that scales widgets, the page is still drawn one unit per pixel and then
// enlarged without smoothing, so its pixels stay the sign's LEDs.
void PageCanvas::paintAtUnitScale()
{
    QImage unit(viewport()->size(), QImage::Format_RGB32);
    unit.setDevicePixelRatio(1);
    unit.fill(Page::background(*document()));
    {
        QPainter painter(&unit);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = viewport()->palette();
        context.clip = QRectF(unit.rect());
        const QTextCursor cursor = textCursor();
        context.cursorPosition = hasFocus() && m_caretOn && !isReadOnly() ? cursor.position() : -1;
        if (cursor.hasSelection()) {
            QAbstractTextDocumentLayout::Selection selection;
            selection.cursor = cursor;
            selection.format.setBackground(palette().brush(QPalette::Highlight));
            selection.format.setForeground(palette().brush(QPalette::HighlightedText));
            context.selections.append(selection);
        }
        document()->documentLayout()->draw(&painter, context);
    }
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(viewport()->rect(), unit);
}
