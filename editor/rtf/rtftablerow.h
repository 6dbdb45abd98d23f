#pragma once

#include "rtfunits.h"

#include <QColor>
#include <QList>

#include <array>

// Cell edges are positions across the whole table, so they may exceed the length limit of
// rtfunits.h (a limit on each column's width) by the number of columns.
constexpr int maxCellEdgeTwips = 1 << 28;

// Cell padding as \trpadd… or \clpad… state it, in twips.
struct RtfPadding
{
    enum Side { Left, Top, Right, Bottom };

    std::array<int, 4> value { -1, -1, -1, -1 }; // -1 where not stated
    std::array<int, 4> unit { -1, -1, -1, -1 }; // \…fX: 3 twips, 0 "ignore", -1 not stated

    void setValue(int side, int twips) { value[side] = qBound(0, twips, RtfUnits::maxLengthTwips); }
    void setUnit(int side, int u) { unit[side] = u == 3 ? 3 : 0; } // other units are not known
    // The side in twips, or -1 when the file states no usable value.
    int side(int s) const { return (unit[s] < 0 || unit[s] == 3) ? value[s] : -1; }
};

// One cell of a table row definition (\clXXX … \cellxN); lengths in twips.
struct RtfCellDefinition
{
    int right = 0; // \cellxN: right edge from the left margin
    bool mergeFirst = false; // \clmgf
    bool merged = false; // \clmrg: part of the cell on its left
    bool verticalMergeFirst = false; // \clvmgf
    bool verticallyMerged = false; // \clvmrg: part of the cell above
    int borderWidth = 0; // widest \brdrwN of its borders, 0 without borders
    QColor background; // \clcbpatN, invalid when none
    RtfPadding padding; // \clpad…
};

// A table row definition (\trowd …).
struct RtfRowDefinition
{
    int left = 0; // \trleftN: left edge of the first cell
    int gap = 0; // \trgaphN: half the space between cells
    RtfPadding padding; // \trpadd…
    QList<RtfCellDefinition> cells;
};
