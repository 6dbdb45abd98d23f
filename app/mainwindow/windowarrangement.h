#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QMdiArea;
class QMdiSubWindow;

// Where the page windows go when they are tiled in an area: "horizontally" stacks them one
// above the other, each as wide as the area; "vertically" puts them side by side, each as high
// as the area. The last window takes what the division leaves over.
QList<QRect> tiledRects(const QRect &area, int count, Qt::Orientation orientation);

// Where the page windows go when they are cascaded in an area: each `step` right of and below
// the one before, at its `wanted` size as far as the area is large enough. A window that would
// reach past the area moves back left or up; one that must move back on both sides starts the
// cascade again at the top left.
QList<QRect> cascadedRects(const QRect &area, const QList<QSize> &wanted, int step);

// The size at which a page window shows its whole canvas, scroll bars and frame included.
QSize pageWindowSize(const QMdiSubWindow *sub);

// Window > Tile Horizontal and Tile Vertical: the visible, unminimised page windows tiled as
// tiledRects places them in the area's viewport.
void tilePageWindows(QMdiArea *area, Qt::Orientation orientation);

// Window > Cascade: the visible, unminimised page windows cascaded, each at pageWindowSize,
// the active one staying in front.
void cascadePageWindows(QMdiArea *area);
