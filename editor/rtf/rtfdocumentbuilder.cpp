#include "rtfdocumentbuilder.h"

#include "rtftablelayout.h"
#include "rtfunits.h"

#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace {

// The padding of one side of a cell in twips: the cell's own, else the row's. Rows that state
// no \trpadd… (older writers) pad all sides by \trgaph, as Qt pads a table's cells alike;
// others pad by \trgaph only left and right.
int paddingTwips(const RtfRowDefinition &row, const RtfCellDefinition *cell, int side)
{
    if (cell && cell->padding.side(side) >= 0)
        return cell->padding.side(side);
    if (row.padding.side(side) >= 0)
        return row.padding.side(side);
    bool rowStatesPadding = false;
    for (int s = 0; s < 4; ++s)
        rowStatesPadding = rowStatesPadding || row.padding.side(s) >= 0;
    const bool horizontal = side == RtfPadding::Left || side == RtfPadding::Right;
    return horizontal || !rowStatesPadding ? qMax(0, row.gap) : 0;
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument *document)
    : m_cursor(document)
{
    // One edit block: without it every insertion notifies the layout (four times slower).
    m_cursor.beginEditBlock();
}

RtfDocumentBuilder::~RtfDocumentBuilder() = default;

bool RtfDocumentBuilder::routeToTable(bool inTable)
{
    // A paragraph of a row in progress belongs to it even when a writer dropped \intbl.
    const bool rowInProgress = !m_row.cells.empty() || !m_cell.empty();
    if (inTable || (m_tableOpen && rowInProgress)) {
        m_tableOpen = true;
        return true;
    }
    if (m_tableOpen)
        closeTable();
    return false;
}

void RtfDocumentBuilder::insertText(const QString &text, const QTextCharFormat &format)
{
    if (!text.isEmpty())
        m_runs.push_back(Run { text, format });
}

void RtfDocumentBuilder::endParagraph(const RtfParagraphEnd &paragraph, bool inTable)
{
    Paragraph done { std::move(m_runs), paragraph };
    m_runs = std::vector<Run>();
    if (routeToTable(inTable))
        m_cell.push_back(std::move(done));
    else
        insertParagraph(m_cursor, m_cursorBlockUnused, done, nullptr);
}

void RtfDocumentBuilder::endCell(const RtfParagraphEnd &paragraph)
{
    m_tableOpen = true;
    m_cell.push_back(Paragraph { std::move(m_runs), paragraph });
    m_runs = std::vector<Run>();
    m_row.cells.push_back(std::move(m_cell));
    m_cell = Cell();
}

void RtfDocumentBuilder::endRow(const RtfRowDefinition &row)
{
    if (!m_cell.empty()) {
        m_row.cells.push_back(std::move(m_cell));
        m_cell = Cell();
    }
    if (m_row.cells.empty())
        return;
    m_row.definition = row;
    m_rows.push_back(std::move(m_row));
    m_row = Row();
}

void RtfDocumentBuilder::finish()
{
    if (m_tableOpen)
        closeTable();
    m_cursor.endEditBlock();
}

void RtfDocumentBuilder::insertParagraph(
    QTextCursor &cursor, bool &blockUnused, const Paragraph &paragraph, const QTextTableCell *cell)
{
    const RtfParagraphEnd &end = paragraph.end;
    if (blockUnused) {
        if (cell) {
            // The first block's character format is the cell's own format (spans, background).
            QTextCharFormat format = cell->format();
            format.merge(end.mark);
            cursor.setBlockCharFormat(format);
        } else {
            cursor.setBlockCharFormat(end.mark);
        }
        if (end.block.propertyCount() != 0)
            cursor.setBlockFormat(end.block);
        blockUnused = false;
    } else {
        cursor.insertBlock(end.block, end.mark);
    }
    if (end.listKey != 0) {
        QTextList *&list = m_lists[end.listKey];
        if (list)
            list->add(cursor.block());
        else
            list = cursor.createList(end.listFormat);
    }
    for (const Run &run : paragraph.runs)
        cursor.insertText(run.text, run.format);
}

void RtfDocumentBuilder::closeTable()
{
    m_tableOpen = false;
    if (!m_cell.empty()) {
        m_row.cells.push_back(std::move(m_cell));
        m_cell = Cell();
    }
    if (!m_row.cells.empty()) {
        m_row.definition = m_rows.empty() ? RtfRowDefinition() : m_rows.back().definition;
        m_rows.push_back(std::move(m_row));
        m_row = Row();
    }
    if (m_rows.empty())
        return;

    QList<RtfRowDefinition> definitions;
    QList<int> cellCounts;
    for (const Row &row : m_rows) {
        definitions.append(row.definition);
        cellCounts.append(int(row.cells.size()));
    }
    const RtfTableLayout layout(definitions, cellCounts, maxTableColumns);

    QTextTableFormat format;
    QList<QTextLength> widths;
    for (int w : layout.columnWidths())
        widths.append(QTextLength(QTextLength::FixedLength, RtfUnits::twipsToPixels(w)));
    format.setColumnWidthConstraints(widths);
    int border = 0;
    for (const RtfRowDefinition &def : definitions) {
        for (const RtfCellDefinition &cell : def.cells)
            border = qMax(border, cell.borderWidth);
    }
    format.setBorder(RtfUnits::twipsToPixels(border));
    if (border > 0) {
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderCollapse(true);
    }
    format.setCellSpacing(0);
    // Qt has one padding for the table and per-side padding for cells that differ from it.
    const RtfRowDefinition &first = definitions.first();
    const int tablePadding = paddingTwips(
        first, first.cells.isEmpty() ? nullptr : &first.cells.first(), RtfPadding::Left);
    format.setCellPadding(RtfUnits::twipsToPixels(tablePadding));

    const int rowCount = int(m_rows.size());
    QTextTable *table = m_cursor.insertTable(rowCount, layout.columnCount(), format);
    int merges = 0;
    for (int r = 0; r < rowCount; ++r) {
        for (int i = 0; i < int(m_rows[r].cells.size()); ++i) {
            const RtfTableLayout::Placement &p = layout.placement(r, i);
            if (!p.covered && (p.rowSpan > 1 || p.columnSpan > 1) && merges < maxCellMerges) {
                table->mergeCells(r, p.column, p.rowSpan, p.columnSpan);
                ++merges;
            }
        }
    }
    for (int r = 0; r < rowCount; ++r) {
        const Row &row = m_rows[r];
        for (int i = 0; i < int(row.cells.size()); ++i) {
            const RtfTableLayout::Placement &p = layout.placement(r, i);
            const Cell &content = row.cells[i];
            QTextTableCell cell = table->cellAt(r, p.column);
            QTextCursor cursor = cell.lastCursorPosition();
            bool unused = cursor.position() == cell.firstPosition();
            if (!unused && content.size() == 1 && content.front().runs.empty())
                continue; // an empty cell merged into another
            for (const Paragraph &paragraph : content)
                insertParagraph(cursor, unused, paragraph, &cell);
            if (p.covered)
                continue;
            const RtfCellDefinition *definition
                = i < row.definition.cells.size() ? &row.definition.cells.at(i) : nullptr;
            int padding[4];
            bool ownPadding = false;
            for (int side = 0; side < 4; ++side) {
                padding[side] = paddingTwips(row.definition, definition, side);
                ownPadding = ownPadding || padding[side] != tablePadding;
            }
            const bool background = definition && definition->background.isValid();
            if (!ownPadding && !background)
                continue;
            QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
            if (background)
                cellFormat.setBackground(definition->background);
            const QTextFormat::Property properties[4]
                = { QTextFormat::TableCellLeftPadding, QTextFormat::TableCellTopPadding,
                      QTextFormat::TableCellRightPadding, QTextFormat::TableCellBottomPadding };
            for (int side = 0; side < 4; ++side) {
                if (padding[side] != tablePadding)
                    cellFormat.setProperty(
                        properties[side], RtfUnits::twipsToPixels(padding[side]));
            }
            cell.setFormat(cellFormat);
        }
    }
    m_rows.clear();
    m_cursor.setPosition(table->lastPosition() + 1);
    m_cursorBlockUnused = true;
}
