#include "windowarrangement.h"

#include "frmdocument.h"
#include "pagecanvas.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>

QList<QRect> tiledRects(const QRect &area, int count, Qt::Orientation orientation)
{
    QList<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    const bool stacked = orientation == Qt::Horizontal;
    const int length = stacked ? area.height() : area.width();
    const int step = length / count;
    for (int i = 0; i < count; ++i) {
        const int start = i * step;
        const int size = i == count - 1 ? length - start : step;
        rects.append(stacked ? QRect(area.left(), area.top() + start, area.width(), size)
                             : QRect(area.left() + start, area.top(), size, area.height()));
    }
    return rects;
}

QList<QRect> cascadedRects(const QRect &area, const QList<QSize> &wanted, int step)
{
    QList<QRect> rects;
    if (area.isEmpty())
        return rects;
    int offset = 0;
    for (const QSize &size : wanted) {
        const QSize fitting = size.boundedTo(area.size());
        // A window keeps its size and moves back towards the top left as far as it must.
        const auto place = [&](int at) {
            return QPoint(qMin(at, area.width() - fitting.width()),
                qMin(at, area.height() - fitting.height()));
        };
        QPoint at = place(offset);
        if (offset > 0 && at.x() < offset && at.y() < offset) { // pushed back on both sides
            offset = 0;
            at = place(0);
        }
        rects.append(QRect(area.topLeft() + at, fitting));
        offset += qMax(1, step);
    }
    return rects;
}

QSize pageWindowSize(const QMdiSubWindow *sub)
{
    const auto *page = qobject_cast<const frmDocument *>(sub->widget());
    if (!page)
        return sub->sizeHint();
    // The canvas is centred in the page, under the bars along the bottom and the right: it
    // shows whole when it has a bar's room on every side.
    const QSize bars(page->VScroll1()->width(), page->HScroll1()->height());
    const QSize frame = sub->size() - page->size();
    return (page->rtfText()->size() + 2 * bars + frame).expandedTo(sub->minimumSizeHint());
}

void cascadePageWindows(QMdiArea *area)
{
    QList<QMdiSubWindow *> windows;
    QList<QSize> sizes;
    QMdiSubWindow *active = area->activeSubWindow();
    for (QMdiSubWindow *sub : area->subWindowList(QMdiArea::StackingOrder)) {
        if (!sub->isVisible() || sub->isMinimized())
            continue;
        sub->showNormal();
        windows.append(sub);
        sizes.append(pageWindowSize(sub));
    }
    const int step = area->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, area);
    const QList<QRect> rects = cascadedRects(area->viewport()->rect(), sizes, step);
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->setGeometry(rects.at(i));
        windows[i]->raise();
    }
    if (active)
        area->setActiveSubWindow(active);
}

void tilePageWindows(QMdiArea *area, Qt::Orientation orientation)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : area->subWindowList())
        if (sub->isVisible() && !sub->isMinimized())
            windows.append(sub);
    const QList<QRect> rects
        = tiledRects(area->viewport()->rect(), int(windows.size()), orientation);
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(rects.at(i));
    }
}
