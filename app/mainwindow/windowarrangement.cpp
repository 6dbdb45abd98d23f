#include "windowarrangement.h"

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
