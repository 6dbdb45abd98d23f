#pragma once

#include <QSize>

// The zoom of a page window: every LED drawn as a square block of factor x factor screen
// pixels. Plain arithmetic, so the rules can be checked without a window.
namespace PageZoom {

constexpr int kFit = 0; // the largest whole factor at which the canvas fits the window
constexpr int kMin = 1; // 100%
constexpr int kMax = 8; // 800%

// The largest factor kMin..kMax at which a canvas of `units` fits `area`; kMin when even that
// does not fit.
int fitFactor(const QSize &units, const QSize &area);

// `factor` lowered, where needed, so that the zoomed canvas stays within the 16-bit range
// the page window's scroll bars take; at least kMin.
int usableFactor(int factor, const QSize &units);

// The factor one step of `steps` (positive in, negative out) away from `factor`, within
// kMin..kMax.
int stepped(int factor, int steps);

} // namespace PageZoom
