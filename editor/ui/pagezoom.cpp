#include "pagezoom.h"

#include <QtGlobal>

#include <limits>

namespace PageZoom {

int fitFactor(const QSize &units, const QSize &area)
{
    int factor = kMax;
    while (factor > kMin
           && (qint64(units.width()) * factor > area.width()
               || qint64(units.height()) * factor > area.height()))
        --factor;
    return factor;
}

int usableFactor(int factor, const QSize &units)
{
    constexpr qint64 kLimit = std::numeric_limits<qint16>::max();
    int f = qBound(kMin, factor, kMax);
    while (f > kMin
           && (qint64(units.width()) * f > kLimit || qint64(units.height()) * f > kLimit))
        --f;
    return f;
}

int stepped(int factor, int steps)
{
    return qBound(kMin, factor + steps, kMax);
}

} // namespace PageZoom
