#pragma once

#include <QSize>

#include <optional>

namespace Page {

// One side of a page canvas: perPixel x modules + 2 units, in 16-bit arithmetic as the
// settings store these values. Empty when the result does not fit 0..32767.
std::optional<int> canvasLength(int perPixel, int modules);

// The canvas of a page of widthModules x heightModules modules.
std::optional<QSize> canvasSize(int perPixel, int widthModules, int heightModules);

// Canvas width a page file is shown with when the program list knows its text width:
// 16 LED columns per module.
std::optional<int> textWidthCanvas(int textWidthModules);

} // namespace Page
