#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

// Where a page window puts its canvas and how it sets its scroll bars: the canvas keeps its
// size; it is centred on an axis where it is smaller than the client area and scrolled where
// it is not. Plain arithmetic, so the rules can be checked without a window.

// The values of one scroll bar, 16-bit like the bar itself.
struct ScrollBarValues
{
    int minimum = 0;
    int maximum = 0;
    int value = 0;
    int singleStep = 1; // one arrow click
    int pageStep = 1; // one click in the trough
};

struct DocLayoutInput
{
    QSize client; // the whole client area, the strips under the scroll bars included
    QSize canvas;
    int hBarHeight = 0; // thickness of the horizontal bar
    int vBarWidth = 0; // thickness of the vertical bar
    QRect hBar; // the bars' current geometry, kept where a new one cannot be given
    QRect vBar;
    ScrollBarValues h;
    ScrollBarValues v;
};

struct DocLayout
{
    QRect hBar;
    QRect vBar;
    QPointF canvasPos; // may be fractional: a canvas one unit narrower is centred at 0.5
    ScrollBarValues h;
    ScrollBarValues v;
};

// Lays the window out:
// - the horizontal bar along the bottom, as wide as the client less the vertical bar; the
//   vertical bar along the right, as high as the client less the horizontal bar (a bar whose
//   length would be negative keeps its geometry);
// - on each axis, a canvas shorter than the client is centred and the bar's range is 0..0;
//   otherwise the arrow step is 1, the range's end is canvas - client and the page step is
//   canvas - canvas x ((canvas - client) / canvas) in single precision, rounded half to even
//   (a range end beyond 32767, or a page step outside 1..32767, leaves the bar's previous
//   one); the value is kept within the range and the canvas is placed at -value.
DocLayout computeDocLayout(const DocLayoutInput &in);

// The canvas position on one axis for a bar value: centred when the canvas is shorter than
// the client, else -value.
qreal canvasAxisPosition(int canvasLength, int clientLength, int barValue);
