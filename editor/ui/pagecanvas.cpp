#include "pagecanvas.h"

#include "pagedocument.h"
#include "pagefields.h"
#include "pagerenderer.h"
#include "picturefile.h"

#include "packetformat.h"

#include "localtext.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QToolTip>
#include <QUrl>

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

// Local files among the dropped or pasted URLs that a picture format reads by their content.
QStringList picturePaths(const QMimeData *source)
{
    QStringList paths;
    if (!source->hasUrls())
        return paths;
    for (const QUrl &url : source->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && QFileInfo(path).isFile()
            && !QImageReader::imageFormat(path).isEmpty())
            paths.append(path);
    }
    return paths;
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
    // Lines break at the canvas width in units, whatever the zoom.
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setAcceptRichText(false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setViewportMargins(0, 0, 0, 0);

    // The editor hands its own font to the document on every font change; make it the page font.
    setFont(Page::defaultFont());
    Page::setUpDocument(document());
    typeRed();

    connect(document(), &QTextDocument::contentsChanged, this, &PageCanvas::followBackground);
    connect(document(), &QTextDocument::contentsChanged, this, &PageCanvas::valuesChanged);
    // The caret drawn among the values is not where the editor would repaint it.
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
        if (m_showValues && !m_editing)
            viewport()->update();
    });
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
    m_units.setWidth(units);
    applySize();
}

void PageCanvas::setCanvasHeight(int units)
{
    m_units.setHeight(units);
    applySize();
}

void PageCanvas::setZoomFactor(int factor)
{
    m_zoom = qMax(1, factor);
    applySize();
    updateCaretBlink();
    viewport()->update();
}

void PageCanvas::applySize()
{
    setLineWrapColumnOrWidth(m_units.width());
    setFixedSize(m_units * m_zoom);
    valuesChanged();
}

void PageCanvas::setFieldContext(std::function<Fields::FieldContext()> context)
{
    m_fieldContext = std::move(context);
    valuesChanged();
}

void PageCanvas::setShowValues(bool show)
{
    if (show == m_showValues)
        return;
    m_showValues = show;
    valuesChanged();
}

void PageCanvas::refreshValues()
{
    valuesChanged();
}

void PageCanvas::valuesChanged()
{
    m_valuesStale = true;
    if (m_showValues && !m_editing)
        viewport()->update();
}

bool PageCanvas::showsValuesNow()
{
    return m_showValues && !m_editing && m_fieldContext && !valuesImage().isNull();
}

const QImage &PageCanvas::valuesImage()
{
    if (!m_valuesStale)
        return m_valuesImage;
    m_valuesStale = false;
    QList<Fields::FieldProblem> problems;
    m_valuesContext = m_fieldContext();
    // Drawn as the packet is, so what the canvas shows is what the sign lights.
    m_filled = Page::filledCopy(*document(), m_valuesContext, &problems);
    m_valuesImage = m_filled ? Page::renderCanvas(m_filled.get(), m_units) : QImage();
    QString reported;
    for (const Fields::FieldProblem &problem : std::as_const(problems))
        reported += problem.typed + QLatin1Char('\n') + problem.reason + QLatin1Char('\n');
    if (reported != m_reportedProblems) {
        m_reportedProblems = reported;
        emit fieldProblems(problems);
    }
    return m_valuesImage;
}

void PageCanvas::beginEditing()
{
    if (m_editing)
        return;
    m_editing = true;
    if (m_showValues)
        viewport()->update();
}

void PageCanvas::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key != Qt::Key_Control && key != Qt::Key_Shift && key != Qt::Key_Alt && key != Qt::Key_Meta)
        beginEditing();
    QTextEdit::keyPressEvent(event);
}

void PageCanvas::inputMethodEvent(QInputMethodEvent *event)
{
    beginEditing();
    QTextEdit::inputMethodEvent(event);
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
    if (m_showValues)
        viewport()->update();
    updateCaretBlink();
}

void PageCanvas::updateCaretBlink()
{
    if (hasFocus() && paintsItself())
        m_caretBlink.start();
    else
        m_caretBlink.stop();
}

void PageCanvas::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    m_caretBlink.stop();
    // A menu opened over the page is still part of editing it.
    if (event->reason() != Qt::PopupFocusReason && m_editing) {
        m_editing = false;
        if (m_showValues)
            viewport()->update();
    }
}

QMimeData *PageCanvas::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(textCursor().selection().toPlainText());
    return data;
}

bool PageCanvas::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasImage() || !picturePaths(source).isEmpty()
        || QTextEdit::canInsertFromMimeData(source);
}

void PageCanvas::insertFromMimeData(const QMimeData *source)
{
    QTextCursor cursor = textCursor();
    if (source->hasImage()) {
        const QImage picture = qvariant_cast<QImage>(source->imageData());
        if (!Page::pictureSizeAllowed(picture.width(), picture.height())) {
            Page::FileResult refused;
            refused.kind = Page::FileResult::Kind::PictureTooLarge;
            refused.detail = QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height());
            emit pictureRefused(refused);
            return;
        }
        Page::placePicture(cursor, picture, m_pictureMode);
        setTextCursor(cursor);
        return;
    }
    const QStringList paths = picturePaths(source);
    if (paths.isEmpty()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    for (const QString &path : paths) {
        QImage picture;
        const Page::FileResult read = Page::readPictureFile(path, &picture);
        if (!read.ok()) {
            emit pictureRefused(read);
            continue;
        }
        Page::placePicture(cursor, picture, m_pictureMode, QFileInfo(path).fileName());
    }
    setTextCursor(cursor);
}

// Pointer input in screen pixels becomes input in units, where the editor lays the page out.
template <typename Handler> void PageCanvas::forwardMouse(QMouseEvent *event, Handler handler)
{
    if (m_zoom == 1) {
        handler(event);
        return;
    }
    QMouseEvent inUnits(event->type(), event->position() / m_zoom, event->scenePosition(),
        event->globalPosition(), event->button(), event->buttons(), event->modifiers(),
        event->pointingDevice());
    inUnits.setTimestamp(event->timestamp());
    handler(&inUnits);
    event->setAccepted(inUnits.isAccepted());
}

void PageCanvas::mousePressEvent(QMouseEvent *event)
{
    beginEditing();
    forwardMouse(event, [this](QMouseEvent *e) { QTextEdit::mousePressEvent(e); });
}

void PageCanvas::mouseMoveEvent(QMouseEvent *event)
{
    forwardMouse(event, [this](QMouseEvent *e) { QTextEdit::mouseMoveEvent(e); });
}

void PageCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    forwardMouse(event, [this](QMouseEvent *e) { QTextEdit::mouseReleaseEvent(e); });
}

void PageCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    forwardMouse(event, [this](QMouseEvent *e) { QTextEdit::mouseDoubleClickEvent(e); });
}

void PageCanvas::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_zoom == 1) {
        QTextEdit::contextMenuEvent(event);
        return;
    }
    QContextMenuEvent inUnits(
        event->reason(), event->pos() / m_zoom, event->globalPos(), event->modifiers());
    QTextEdit::contextMenuEvent(&inUnits);
    event->setAccepted(inUnits.isAccepted());
}

void PageCanvas::dragMoveEvent(QDragMoveEvent *event)
{
    if (m_zoom == 1) {
        QTextEdit::dragMoveEvent(event);
        return;
    }
    QDragMoveEvent inUnits((event->position() / m_zoom).toPoint(), event->possibleActions(),
        event->mimeData(), event->buttons(), event->modifiers());
    inUnits.setDropAction(event->dropAction());
    QTextEdit::dragMoveEvent(&inUnits);
    event->setDropAction(inUnits.dropAction());
    event->setAccepted(inUnits.isAccepted());
}

void PageCanvas::dropEvent(QDropEvent *event)
{
    if (m_zoom == 1) {
        QTextEdit::dropEvent(event);
        return;
    }
    QDropEvent inUnits(event->position() / m_zoom, event->possibleActions(), event->mimeData(),
        event->buttons(), event->modifiers());
    inUnits.setDropAction(event->dropAction());
    QTextEdit::dropEvent(&inUnits);
    event->setDropAction(inUnits.dropAction());
    event->setAccepted(inUnits.isAccepted());
}

void PageCanvas::wheelEvent(QWheelEvent *event)
{
    // Ctrl+wheel zooms: that is the page window's.
    if (event->modifiers() & Qt::ControlModifier) {
        event->ignore();
        return;
    }
    QTextEdit::wheelEvent(event);
}

QVariant PageCanvas::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const QVariant value = QTextEdit::inputMethodQuery(query);
    if (m_zoom == 1)
        return value;
    switch (query) {
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
    case Qt::ImInputItemClipRectangle: {
        const QRectF r = value.toRectF();
        return QRectF(r.topLeft() * m_zoom, r.size() * m_zoom);
    }
    default:
        return value;
    }
}

bool PageCanvas::paintsItself() const
{
    return m_zoom != 1 || viewport()->devicePixelRatioF() != 1.0;
}

void PageCanvas::paintEvent(QPaintEvent *event)
{
    if (showsValuesNow()) {
        if (m_zoom != 1 && !event->region().contains(viewport()->rect()))
            viewport()->update();
        paintValues();
        shadeUnsentColumns();
        return;
    }
    if (!paintsItself()) {
        QTextEdit::paintEvent(event);
        shadeUnsentColumns();
        return;
    }
    // The editor asks for repaints of areas in units; zoomed, what changed covers more pixels,
    // so a partial request is answered with the whole view.
    if (m_zoom != 1 && !event->region().contains(viewport()->rect()))
        viewport()->update();
    paintScaled();
    shadeUnsentColumns();
}

int PageCanvas::firstUnsentColumn(int canvasWidth)
{
    // A page of n modules is n x 16 + 2 units wide; the packets carry its first n - 1 modules.
    const int modules = (canvasWidth - 2) / PacketFormat::kModuleLeds;
    return modules >= 2 ? (modules - 1) * PacketFormat::kModuleLeds : 0;
}

QRect PageCanvas::unsentRect() const
{
    const int from = firstUnsentColumn(m_units.width());
    if (from == 0)
        return {};
    return QRect(from * m_zoom, 0, (m_units.width() - from) * m_zoom, m_units.height() * m_zoom);
}

// Hatched over the page, so what is typed there stays readable but plainly off the sign.
void PageCanvas::shadeUnsentColumns()
{
    const QRect unsent = unsentRect();
    if (unsent.isEmpty())
        return;
    QPainter painter(viewport());
    painter.fillRect(unsent, QColor(128, 128, 128, 70));
    painter.fillRect(unsent, QBrush(QColor(160, 160, 160, 150), Qt::BDiagPattern));
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(unsent.topLeft(), unsent.bottomLeft());
}

bool PageCanvas::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (unsentRect().contains(help->pos())) {
            QToolTip::showText(help->globalPos(),
                localText(m_language,
                    QStringLiteral("Not sent: the sign leaves the last module column of a page "
                                   "dark."),
                    QStringLiteral("不发送：显示屏不点亮页面的最后一列模块。")),
                viewport(), unsentRect());
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QTextEdit::viewportEvent(event);
}

// The page with its fields filled, enlarged as paintScaled enlarges it, and the caret among the
// values; the first key or click shows the page as typed.
void PageCanvas::paintValues()
{
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(QPoint(0, 0), m_units * m_zoom), valuesImage());
    if (!hasFocus() || isReadOnly())
        return;
    // A steady caret where the typed caret's text lies among the values.
    const QRect caret = valuesCaretRect();
    if (caret.isNull())
        return;
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(
        QRect(caret.x() * m_zoom, caret.y() * m_zoom, m_zoom >= 3 ? 2 : 1, caret.height() * m_zoom),
        Qt::white);
}

namespace {

// The offset in the shown text of a block of the typed offset `typed`; inside a field or an
// escape, the end of what it shows.
int shownOffset(const Fields::ParsedText &parsed, int typed)
{
    int shown = 0;
    for (const Fields::Piece &piece : parsed.pieces) {
        if (typed <= piece.start)
            break;
        if (typed < piece.start + piece.length) {
            const bool plain
                = piece.kind == Fields::Kind::Text && piece.shown.size() == piece.length;
            return shown + (plain ? typed - piece.start : int(piece.shown.size()));
        }
        shown += int(piece.shown.size());
    }
    return shown;
}

} // namespace

QRect PageCanvas::valuesCaretRect() const
{
    if (!m_filled)
        return {};
    const QTextCursor cursor = textCursor();
    const QTextBlock shownBlock = m_filled->findBlockByNumber(cursor.blockNumber());
    QTextLayout *layout = shownBlock.isValid() ? shownBlock.layout() : nullptr;
    if (!layout)
        return {};
    int offset = cursor.positionInBlock();
    const QString typed = cursor.block().text();
    if (Fields::ParsedText::mayHoldFields(typed)) {
        Fields::ParsedText parsed = Fields::parse(typed);
        Fields::FieldResolver(m_valuesContext).resolve(&parsed);
        offset = qMin(shownOffset(parsed, offset), int(shownBlock.text().size()));
    }
    const QTextLine line = layout->lineForTextPosition(offset);
    if (!line.isValid())
        return {};
    const QPointF at = layout->position();
    return QRectF(at.x() + line.cursorToX(offset), at.y() + line.y(), 1, line.height()).toRect();
}

// The page is drawn one unit per pixel, as the sign samples it, then enlarged without
// smoothing, so each unit becomes a square block of exactly its colour. The caret is drawn
// on top at screen scale.
void PageCanvas::paintScaled()
{
    QImage unit(m_units, QImage::Format_RGB32);
    unit.setDevicePixelRatio(1);
    unit.fill(Page::background(*document()));
    {
        QPainter painter(&unit);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = viewport()->palette();
        context.clip = QRectF(unit.rect());
        context.cursorPosition = -1;
        const QTextCursor cursor = textCursor();
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
    painter.drawImage(QRect(QPoint(0, 0), m_units * m_zoom), unit);
    if (hasFocus() && m_caretOn && !isReadOnly()) {
        const QRect caret = cursorRect();
        const int caretWidth = m_zoom >= 3 ? 2 : 1;
        // Inverted, as the editor draws its own caret, so it shows on any colour.
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(
            QRect(caret.x() * m_zoom, caret.y() * m_zoom, caretWidth, caret.height() * m_zoom),
            Qt::white);
    }
}
