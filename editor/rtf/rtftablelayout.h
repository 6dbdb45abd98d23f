#pragma once

#include "rtftablerow.h"

#include <QList>

// Places the cells of RTF table rows on one grid of columns: every distinct cell edge of
// any row starts a column, so rows with different cell layouts line up and wide cells span
// several columns. Merge flags (\clmrg, \clvmrg) extend the cells they continue.
class RtfTableLayout
{
public:
    static constexpr int defaultCellWidth = 1440; // twips, for cells without \cellx

    struct Placement
    {
        int column = 0;
        int columnSpan = 1;
        int rowSpan = 1;
        bool covered = false; // merged into another cell; its content goes there
    };

    // `cellCounts[r]` is the number of cells row r holds; at most `maxColumns` columns.
    RtfTableLayout(
        const QList<RtfRowDefinition> &rows, const QList<int> &cellCounts, int maxColumns);

    int columnCount() const { return int(m_widths.size()); }
    const QList<int> &columnWidths() const { return m_widths; } // twips
    const Placement &placement(int row, int cell) const { return m_placements[row][cell]; }

private:
    void placeByIndex(const QList<QList<int>> &edges, int maxColumns);
    void applyMerges(const QList<RtfRowDefinition> &rows);

    QList<int> m_widths;
    QList<QList<Placement>> m_placements;
};
