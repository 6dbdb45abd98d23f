#pragma once

#include <QList>
#include <QRect>

// Where the page windows go when they are tiled in an area: "horizontally" stacks them one
// above the other, each as wide as the area; "vertically" puts them side by side, each as high
// as the area. The last window takes what the division leaves over.
QList<QRect> tiledRects(const QRect &area, int count, Qt::Orientation orientation);
