#include "doclayout.h"

#include <cmath>
#include <limits>

namespace {

constexpr int kMax16 = std::numeric_limits<qint16>::max();

bool fits16(float value)
{
    return std::isfinite(value) && value >= std::numeric_limits<qint16>::min() && value <= kMax16;
}

// Rounds to the nearest integer, halves to even (the default floating-point rounding mode).
int roundHalfEven(float value)
{
    return int(std::nearbyint(value));
}

void placeAxis(int canvas, int client, ScrollBarValues *bar, qreal *position)
{
    if (canvas < client) {
        *position = (client - canvas) / 2.0;
        bar->minimum = 0;
        bar->maximum = 0;
        bar->value = 0;
        return;
    }
    bar->singleStep = 1;
    const float w = float(canvas);
    const float range = float(canvas - client);
    if (fits16(range))
        bar->maximum = int(range);
    if (canvas > 0) {
        const float page = w - w * ((w - float(client)) / w);
        if (fits16(page) && roundHalfEven(page) >= 1)
            bar->pageStep = roundHalfEven(page);
    }
    // A shorter range pulls the value in, and the canvas follows the value it ends with.
    bar->value = qBound(bar->minimum, bar->value, bar->maximum);
    *position = -bar->value;
}

} // namespace

DocLayout computeDocLayout(const DocLayoutInput &in)
{
    DocLayout out;
    out.hBar = in.hBar;
    out.vBar = in.vBar;
    out.h = in.h;
    out.v = in.v;

    const int hWidth = in.client.width() - in.vBarWidth;
    if (hWidth >= 0)
        out.hBar = QRect(0, in.client.height() - in.hBarHeight, hWidth, in.hBar.height());
    const int vHeight = in.client.height() - in.hBarHeight;
    if (vHeight >= 0)
        out.vBar = QRect(in.client.width() - in.vBarWidth, 0, in.vBar.width(), vHeight);

    qreal x = 0;
    qreal y = 0;
    placeAxis(in.canvas.width(), in.client.width(), &out.h, &x);
    placeAxis(in.canvas.height(), in.client.height(), &out.v, &y);
    out.canvasPos = QPointF(x, y);
    return out;
}

qreal canvasAxisPosition(int canvasLength, int clientLength, int barValue)
{
    if (canvasLength < clientLength)
        return (clientLength - canvasLength) / 2.0;
    return -barValue;
}
