#pragma once

#include <QColor>
#include <QList>

// Cell edges are positions across the whole table, so they may exceed the length limit of
// rtfunits.h (a limit on each column's width) by the number of columns.
constexpr int maxCellEdgeTwips = 1 << 28;

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
};

// A table row definition (\trowd …).
struct RtfRowDefinition
{
    int left = 0; // \trleftN: left edge of the first cell
    int gap = 0; // \trgaphN: half the space between cells
    QList<RtfCellDefinition> cells;
};
