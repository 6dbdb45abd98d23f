#include "frmdocument.h"

#include "doclayout.h"
#include "pagecanvas.h"
#include "pagegeometry.h"
#include "pagezoom.h"

#include "localtext.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <cmath>
#include <limits>

namespace {

// One notch of a mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;

bool fitsCanvas(int units)
{
    return units >= 0 && units <= std::numeric_limits<qint16>::max();
}

} // namespace

frmDocument::frmDocument(const QSize &canvas, QWidget *parent)
    : QWidget(parent)
    , m_rtfText(new PageCanvas(this))
    , m_hScroll(new QScrollBar(Qt::Horizontal, this))
    , m_vScroll(new QScrollBar(Qt::Vertical, this))
{
    setObjectName(QStringLiteral("frmDocument"));
    m_hScroll->setObjectName(QStringLiteral("HScroll1"));
    m_vScroll->setObjectName(QStringLiteral("VScroll1"));
    m_hScroll->setRange(0, 0);
    m_vScroll->setRange(0, 0);
    // Thickness is the platform's; only length and position change.
    const int thickness = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    m_hScroll->resize(m_hScroll->width(), thickness);
    m_vScroll->resize(thickness, m_vScroll->height());

    setBackgroundRole(QPalette::Mid);
    setAutoFillBackground(true);
    setFocusProxy(m_rtfText);
    setWindowTitle(untitledCaption(QStringLiteral("English")));

    m_rtfText->setCanvasWidth(canvas.width());
    m_rtfText->setCanvasHeight(canvas.height());

    connect(m_hScroll, &QScrollBar::valueChanged, this, &frmDocument::followScrollBars);
    connect(m_vScroll, &QScrollBar::valueChanged, this, &frmDocument::followScrollBars);
    connect(m_rtfText, &QTextEdit::cursorPositionChanged, this, &frmDocument::reportSelectionFont);
    connect(m_rtfText, &QTextEdit::selectionChanged, this, &frmDocument::reportSelectionFont);
    connect(
        m_rtfText, &QTextEdit::currentCharFormatChanged, this, &frmDocument::reportSelectionFont);
    addZoomKeys();
    DocResize();
    markSaved();
}

QTextDocument *frmDocument::document() const
{
    return m_rtfText->document();
}

frmDocument::SizeResult frmDocument::ChangeWindowState(qint16 Width, qint16 Height, qint16 PerPixel)
{
    SizeResult result = SizeResult::Sized;
    const std::optional<int> width = Page::canvasLength(PerPixel, Width);
    if (!width) {
        result = SizeResult::WidthTooLarge;
    } else {
        m_rtfText->setCanvasWidth(*width);
        const std::optional<int> height = Page::canvasLength(PerPixel, Height);
        if (height)
            m_rtfText->setCanvasHeight(*height);
        else
            result = SizeResult::HeightTooLarge;
    }
    DocResize();
    return result;
}

bool frmDocument::setCanvasWidth(int units)
{
    const bool ok = fitsCanvas(units);
    if (ok)
        m_rtfText->setCanvasWidth(units);
    DocResize();
    return ok;
}

bool frmDocument::setCanvasHeight(int units)
{
    const bool ok = fitsCanvas(units);
    if (ok)
        m_rtfText->setCanvasHeight(units);
    DocResize();
    return ok;
}

void frmDocument::addZoomKeys()
{
    const auto add = [this](const QList<QKeySequence> &keys, auto slot) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    add({ QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal) },
        [this] { zoomBy(1); });
    add({ QKeySequence(Qt::CTRL | Qt::Key_Minus) }, [this] { zoomBy(-1); });
    add({ QKeySequence(Qt::CTRL | Qt::Key_0) }, [this] { setZoom(PageZoom::kFit); });
}

void frmDocument::setZoom(int zoom)
{
    m_zoom = zoom == PageZoom::kFit ? PageZoom::kFit : qBound(PageZoom::kMin, zoom, PageZoom::kMax);
    DocResize();
    emit zoomChanged(m_zoom);
}

int frmDocument::zoomFactor() const
{
    const QSize units = m_rtfText->canvasSize();
    if (m_zoom != PageZoom::kFit)
        return PageZoom::usableFactor(m_zoom, units);
    // A canvas that fits is centred in the whole client area, strips under the scroll bars
    // included; Fit keeps a strip's width free on both sides, so no edge goes under a bar.
    const QSize area = size() - 2 * QSize(m_vScroll->width(), m_hScroll->height());
    return PageZoom::usableFactor(PageZoom::fitFactor(units, area), units);
}

void frmDocument::zoomBy(int steps)
{
    setZoom(PageZoom::stepped(zoomFactor(), steps));
}

void frmDocument::applyZoomFactor()
{
    const int factor = zoomFactor();
    if (factor != m_rtfText->zoomFactor())
        m_rtfText->setZoomFactor(factor);
}

void frmDocument::DocResize()
{
    applyZoomFactor();
    DocLayoutInput in;
    in.client = size();
    in.canvas = m_rtfText->size();
    in.hBarHeight = m_hScroll->height();
    in.vBarWidth = m_vScroll->width();
    in.hBar = m_hScroll->geometry();
    in.vBar = m_vScroll->geometry();
    const auto valuesOf = [](const QScrollBar *bar) {
        return ScrollBarValues { bar->minimum(), bar->maximum(), bar->value(), bar->singleStep(),
            bar->pageStep() };
    };
    in.h = valuesOf(m_hScroll);
    in.v = valuesOf(m_vScroll);

    const DocLayout out = computeDocLayout(in);
    m_hScroll->setGeometry(out.hBar);
    m_vScroll->setGeometry(out.vBar);
    const auto apply = [](QScrollBar *bar, const ScrollBarValues &v) {
        const QSignalBlocker quiet(bar);
        bar->setRange(v.minimum, v.maximum);
        bar->setSingleStep(v.singleStep);
        bar->setPageStep(v.pageStep);
        bar->setValue(v.value);
    };
    apply(m_hScroll, out.h);
    apply(m_vScroll, out.v);
    m_rtfText->move(int(std::floor(out.canvasPos.x())), int(std::floor(out.canvasPos.y())));
    m_hScroll->raise();
    m_vScroll->raise();
}

void frmDocument::followScrollBars()
{
    const qreal x = canvasAxisPosition(m_rtfText->width(), width(), m_hScroll->value());
    const qreal y = canvasAxisPosition(m_rtfText->height(), height(), m_vScroll->value());
    m_rtfText->move(int(std::floor(x)), int(std::floor(y)));
}

void frmDocument::newPage()
{
    m_rtfText->clearPage();
    m_pageFile.clear();
    markSaved();
}

QString frmDocument::pageName() const
{
    return m_pageFile.isEmpty() ? windowTitle() : QFileInfo(m_pageFile).fileName();
}

bool frmDocument::hasUnsavedChanges() const
{
    return document()->isModified();
}

void frmDocument::markSaved()
{
    document()->setModified(false);
}

void frmDocument::closeEvent(QCloseEvent *event)
{
    if (m_closeGuard && !m_closeGuard(this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void frmDocument::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    DocResize();
}

void frmDocument::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        // Zoom about the pointer: the LED under it stays under it where the canvas scrolls.
        const QPointF pointer = event->position();
        const QPointF led = (pointer - QPointF(m_rtfText->pos())) / m_rtfText->zoomFactor();
        m_wheelRest += event->angleDelta().y();
        const int steps = m_wheelRest / kWheelNotch;
        m_wheelRest -= steps * kWheelNotch;
        if (steps != 0) {
            zoomBy(steps);
            const QPointF wanted = pointer - led * m_rtfText->zoomFactor();
            m_hScroll->setValue(qRound(-wanted.x()));
            m_vScroll->setValue(qRound(-wanted.y()));
        }
        event->accept();
        return;
    }
    // The wheel scrolls a canvas larger than the window; Shift or a sideways wheel scrolls
    // across.
    QScrollBar *bar = (event->modifiers() & Qt::ShiftModifier)
            || std::abs(event->angleDelta().x()) > std::abs(event->angleDelta().y())
        ? m_hScroll
        : m_vScroll;
    if (bar->maximum() > bar->minimum())
        QApplication::sendEvent(bar, event);
    else
        event->ignore();
}

void frmDocument::reportSelectionFont()
{
    emit selectionFontChanged(selectionFont(m_rtfText->textCursor()));
}

QString frmDocument::untitledCaption(const QString &language)
{
    return localText(language, QStringLiteral("Untitled"), QStringLiteral("未命名"));
}

bool frmDocument::isUntitledCaption(const QString &caption)
{
    return caption == untitledCaption(QStringLiteral("English"))
        || caption == untitledCaption(chineseLanguageName());
}

QString frmDocument::sizeRefusalMessage(
    SizeResult result, qint16 Width, qint16 Height, qint16 PerPixel, const QString &language)
{
    if (result == SizeResult::Sized)
        return {};
    const bool width = result == SizeResult::WidthTooLarge;
    const int modules = width ? Width : Height;
    return localText(language,
        QStringLiteral("A page %1 modules %2 at %3 units per module does not fit the "
                       "canvas, which can be at most 32767 units. Choose a smaller "
                       "size.")
            .arg(modules)
            .arg(width ? QStringLiteral("wide") : QStringLiteral("high"))
            .arg(PerPixel),
        QStringLiteral("页面%2 %1 个模块（每模块 %3 个单位）超出画布的最大尺寸 32767 "
                       "个单位。请选择较小的尺寸。")
            .arg(modules)
            .arg(width ? QStringLiteral("宽") : QStringLiteral("高"))
            .arg(PerPixel));
}
