#include "pagegeometry.h"

#include "packetformat.h"

#include <limits>

namespace Page {

namespace {
std::optional<int> fit16(qint64 value)
{
    if (value < 0 || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return int(value);
}
} // namespace

std::optional<int> canvasLength(int perPixel, int modules)
{
    return fit16(qint64(perPixel) * modules + 2);
}

std::optional<QSize> canvasSize(int perPixel, int widthModules, int heightModules)
{
    const std::optional<int> width = canvasLength(perPixel, widthModules);
    const std::optional<int> height = canvasLength(perPixel, heightModules);
    if (!width || !height)
        return std::nullopt;
    return QSize(*width, *height);
}

std::optional<int> textWidthCanvas(int textWidthModules)
{
    return fit16(qint64(textWidthModules) * PacketFormat::kModuleLeds);
}

} // namespace Page
