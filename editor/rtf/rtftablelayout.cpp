#include "rtftablelayout.h"

#include "rtfunits.h"

#include <algorithm>

RtfTableLayout::RtfTableLayout(
    const QList<RtfRowDefinition> &rows, const QList<int> &cellCounts, int maxColumns)
{
    // Right edges of the cells of each row, strictly increasing. Rows all start in the first
    // column whatever their \trleft, so only right edges make columns.
    QList<QList<int>> edges;
    QList<int> all;
    int left = maxCellEdgeTwips;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const RtfRowDefinition &def = rows.at(r);
        QList<int> rowEdges;
        int edge = qBound(-maxCellEdgeTwips, def.left, maxCellEdgeTwips);
        if (!def.cells.isEmpty())
            edge = qMin(edge, def.cells.first().right - 1);
        left = qMin(left, edge);
        for (int i = 0; i < cellCounts.at(r); ++i) {
            int right = i < def.cells.size()
                ? qBound(-maxCellEdgeTwips, def.cells.at(i).right, maxCellEdgeTwips)
                : edge + defaultCellWidth;
            // Old-style merged cells (\clmrg) often have no width of their own; they add no
            // column. Other cells that do not advance get a sliver so they stay apart.
            const bool merged = i < def.cells.size() && def.cells.at(i).merged;
            if (right <= edge)
                right = (merged && i > 0) ? edge : edge + 1;
            rowEdges.append(right);
            edge = right;
        }
        all.append(rowEdges);
        edges.append(rowEdges);
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());

    if (all.size() > maxColumns) {
        placeByIndex(edges, maxColumns);
    } else {
        for (qsizetype i = 0; i < all.size(); ++i) {
            const int width = all.at(i) - (i == 0 ? left : all.at(i - 1));
            m_widths.append(qMin(width, RtfUnits::maxLengthTwips));
        }
        for (const QList<int> &rowEdges : edges) {
            QList<Placement> row;
            int column = 0;
            for (qsizetype i = 0; i < rowEdges.size(); ++i) {
                if (i > 0 && rowEdges.at(i) == rowEdges.at(i - 1)) {
                    Placement p = row.last(); // a merged cell without width
                    p.covered = true;
                    row.append(p);
                    continue;
                }
                Placement p;
                p.column = column;
                const int last
                    = int(std::lower_bound(all.begin(), all.end(), rowEdges.at(i)) - all.begin());
                p.columnSpan = qMax(1, last - column + 1);
                column = last + 1;
                row.append(p);
            }
            m_placements.append(row);
        }
    }
    if (m_widths.isEmpty())
        m_widths.append(defaultCellWidth);
    applyMerges(rows);
}

void RtfTableLayout::placeByIndex(const QList<QList<int>> &edges, int maxColumns)
{
    // Too many distinct edges: one column per cell index, widths from the widest row.
    qsizetype widest = 0;
    for (qsizetype r = 0; r < edges.size(); ++r) {
        if (edges.at(r).size() > edges.at(widest).size())
            widest = r;
    }
    const QList<int> &w = edges.at(widest);
    const int columns = int(qMin<qsizetype>(maxColumns, qMax<qsizetype>(1, w.size())));
    for (int c = 0; c < columns; ++c)
        m_widths.append(c > 0 && c < w.size()
                ? qMin(w.at(c) - w.at(c - 1), RtfUnits::maxLengthTwips)
                : defaultCellWidth);
    for (const QList<int> &rowEdges : edges) {
        QList<Placement> row;
        for (qsizetype i = 0; i < rowEdges.size(); ++i) {
            Placement p;
            p.column = int(qMin<qsizetype>(i, columns - 1));
            p.covered = i >= columns;
            row.append(p);
        }
        m_placements.append(row);
    }
}

void RtfTableLayout::applyMerges(const QList<RtfRowDefinition> &rows)
{
    // origin[c] = the row and cell index of the cell that starts a vertical merge in column c
    QList<std::pair<int, int>> origin(m_widths.size(), { -1, -1 });
    for (qsizetype r = 0; r < m_placements.size(); ++r) {
        QList<Placement> &row = m_placements[r];
        const RtfRowDefinition &def = rows.at(r);
        int horizontalOrigin = -1;
        for (qsizetype i = 0; i < row.size(); ++i) {
            Placement &p = row[i];
            if (p.covered)
                continue;
            const RtfCellDefinition cell
                = i < def.cells.size() ? def.cells.at(i) : RtfCellDefinition();
            if (cell.merged && horizontalOrigin >= 0) {
                Placement &o = row[horizontalOrigin];
                o.columnSpan = qMax(o.columnSpan, p.column + p.columnSpan - o.column);
                p.covered = true;
                continue;
            }
            horizontalOrigin = int(i);
            const int c = p.column;
            if (cell.verticallyMerged && origin[c].first >= 0) {
                Placement &o = m_placements[origin[c].first][origin[c].second];
                if (o.columnSpan == p.columnSpan) {
                    o.rowSpan = int(r) - origin[c].first + 1;
                    p.covered = true;
                    continue;
                }
            }
            origin[c] = cell.verticalMergeFirst ? std::pair<int, int>(int(r), int(i))
                                                : std::pair<int, int>(-1, -1);
        }
    }
}
