#include "pageviewcontrol.h"

#include "frmdocument.h"
#include "mainstatusbar.h"
#include "pagecanvas.h"
#include "pagezoom.h"

#include "editorsettings.h"
#include "localtext.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>

static_assert(EditorSettings::kFitZoom == PageZoom::kFit && EditorSettings::kMinZoom == PageZoom::kMin
                      && EditorSettings::kMaxZoom == PageZoom::kMax,
              "the stored zoom and the page window's zoom count alike");

namespace {

// Before the document area has its size (start-up, before the main window shows), a page
// window is sized for an area of this size.
const QSize kAssumedArea(900, 560);
const QSize kSmallestWindow(360, 120);

} // namespace

Page::PictureMode rememberedPictureMode()
{
    return editorSettings().ditherPictures ? Page::PictureMode::Dither
                                           : Page::PictureMode::Threshold;
}

PageViewControl::PageViewControl(QMdiArea *area, MainStatusBar *bar,
                                 std::function<void(const QString &)> note,
                                 std::function<QString()> language, QObject *parent)
    : QObject(parent)
    , m_area(area)
    , m_bar(bar)
    , m_note(std::move(note))
    , m_language(std::move(language))
{
    connect(m_area, &QMdiArea::subWindowActivated, this, &PageViewControl::showActive);
    connect(m_bar, &MainStatusBar::zoomPicked, this, &PageViewControl::zoomPicked);
    connect(m_bar, &MainStatusBar::picturesPicked, this, &PageViewControl::picturesPicked);
    m_area->viewport()->installEventFilter(this);
    m_bar->showZoom(editorSettings().zoom);
    m_bar->showPictureDither(editorSettings().ditherPictures);
}

void PageViewControl::loadSettings(const QString &iniPath)
{
    m_iniPath = iniPath;
    QString problem;
    editorSettings() = LoadEditorSettings(iniPath, m_language(), &problem);
    if (!problem.isEmpty())
        m_note(problem);
    m_bar->showPictureDither(editorSettings().ditherPictures);
    showActive();
}

void PageViewControl::adopt(frmDocument *page)
{
    page->setZoom(editorSettings().zoom);
    page->rtfText()->setPictureMode(rememberedPictureMode());
    connect(page, &frmDocument::zoomChanged, this, [this, page](int zoom) {
        if (m_area->activeSubWindow() && m_area->activeSubWindow()->widget() == page)
            m_bar->showZoom(zoom);
        remember(zoom);
    });
    connect(page->rtfText(), &PageCanvas::pictureRefused, this,
            [this](const Page::FileResult &reason) { m_note(reason.message(m_language())); });
}

void PageViewControl::showActive()
{
    QMdiSubWindow *sub = m_area->activeSubWindow();
    auto *page = sub ? qobject_cast<frmDocument *>(sub->widget()) : nullptr;
    m_bar->showZoom(page ? page->zoom() : editorSettings().zoom);
}

void PageViewControl::zoomPicked(int zoom)
{
    QMdiSubWindow *sub = m_area->activeSubWindow();
    if (!sub)
        sub = m_area->currentSubWindow();
    if (auto *page = sub ? qobject_cast<frmDocument *>(sub->widget()) : nullptr) {
        page->setZoom(zoom); // remembered through zoomChanged
        page->rtfText()->setFocus();
    } else {
        remember(zoom);
    }
}

void PageViewControl::remember(int zoom)
{
    if (editorSettings().zoom == zoom)
        return;
    editorSettings().zoom = zoom;
    if (!m_iniPath.isEmpty() && !SaveEditorZoom(zoom, m_iniPath))
        m_note(localText(m_language(),
                         QStringLiteral("The zoom could not be stored in %1; it holds for this "
                                        "session only.")
                                 .arg(m_iniPath),
                         QStringLiteral("无法将缩放保存到 %1；仅在本次运行中有效。").arg(m_iniPath)));
}

void PageViewControl::picturesPicked(bool dither)
{
    if (editorSettings().ditherPictures != dither) {
        editorSettings().ditherPictures = dither;
        if (!m_iniPath.isEmpty() && !SaveEditorPictures(dither, m_iniPath))
            m_note(localText(m_language(),
                             QStringLiteral("The picture choice could not be stored in %1; it "
                                            "holds for this session only.")
                                     .arg(m_iniPath),
                             QStringLiteral("无法将图片转换方式保存到 %1；仅在本次运行中有效。")
                                     .arg(m_iniPath)));
    }
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        if (auto *page = qobject_cast<frmDocument *>(sub->widget()))
            page->rtfText()->setPictureMode(rememberedPictureMode());
    }
    m_note(localText(m_language(),
                     dither ? QStringLiteral("Pictures placed from now on are dithered.")
                            : QStringLiteral("Pictures placed from now on are thresholded."),
                     dither ? QStringLiteral("此后放置的图片将使用抖动转换。")
                            : QStringLiteral("此后放置的图片将使用阈值转换。")));
}

QSize PageViewControl::documentArea() const
{
    const QSize area = m_area->viewport()->size();
    return m_areaKnown ? area : kAssumedArea;
}

QSize PageViewControl::firstWindowSize(QMdiSubWindow *sub, frmDocument *page)
{
    if (!m_areaKnown)
        m_sizedEarly.append(sub);
    const QStyle *style = sub->style();
    const int frame = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    const QSize bars(page->VScroll1()->width(), page->HScroll1()->height());
    const QSize decoration = QSize(2 * frame, title + 2 * frame) + bars;
    const QSize area = documentArea();
    const QSize units = page->rtfText()->canvasSize();
    int factor = page->zoom();
    if (factor == PageZoom::kFit)
        factor = PageZoom::fitFactor(units, area - decoration);
    factor = PageZoom::usableFactor(factor, units);
    const QSize wanted = units * factor + decoration + QSize(2, 2);
    return wanted.expandedTo(kSmallestWindow).boundedTo(area.expandedTo(kSmallestWindow));
}

bool PageViewControl::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_areaKnown && watched == m_area->viewport() && event->type() == QEvent::Resize
        && m_area->isVisible()) {
        m_areaKnown = true;
        for (const QPointer<QMdiSubWindow> &sub : std::as_const(m_sizedEarly)) {
            auto *page = sub ? qobject_cast<frmDocument *>(sub->widget()) : nullptr;
            if (page && !sub->isMaximized())
                sub->resize(firstWindowSize(sub, page));
        }
        m_sizedEarly.clear();
    }
    return QObject::eventFilter(watched, event);
}
