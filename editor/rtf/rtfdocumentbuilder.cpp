#include "rtfdocumentbuilder.h"

#include "rtftablelayout.h"
#include "rtfunits.h"

#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument *document)
    : m_document(document)
    , m_cursor(document)
{
    // One edit block: without it every insertion notifies the layout (four times slower).
    m_cursor.beginEditBlock();
}

RtfDocumentBuilder::~RtfDocumentBuilder() = default;

bool RtfDocumentBuilder::routeToTable(bool inTable)
{
    // Content of a row in progress belongs to it even when a writer dropped \intbl.
    const bool rowInProgress = !m_row.cells.empty() || !m_cell.empty();
    if (inTable || (m_tableOpen && rowInProgress)) {
        m_tableOpen = true;
        return true;
    }
    if (m_tableOpen)
        closeTable();
    return false;
}

void RtfDocumentBuilder::insertText(
    const QString &text, const QTextCharFormat &format, bool inTable)
{
    if (text.isEmpty())
        return;
    m_paragraphHasContent = true;
    if (routeToTable(inTable)) {
        m_cell.push_back(Op { Op::Text, text, format, {} });
        return;
    }
    applyText(m_cursor, text, format);
    m_blockFromBreak = false;
}

void RtfDocumentBuilder::endParagraph(
    const RtfParagraphEnd &paragraph, bool inTable, bool breakAfter)
{
    m_paragraphHasContent = false;
    if (routeToTable(inTable)) {
        m_cell.push_back(Op { Op::Paragraph, {}, {}, paragraph });
        return;
    }
    applyParagraph(m_cursor, paragraph, breakAfter, nullptr);
    m_blockFromBreak = breakAfter;
}

void RtfDocumentBuilder::endCell(const RtfParagraphEnd &paragraph)
{
    m_paragraphHasContent = false;
    m_tableOpen = true;
    m_cell.push_back(Op { Op::LastParagraph, {}, {}, paragraph });
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
    // A final \par ends the last paragraph; it does not open an empty one.
    if (m_blockFromBreak && m_cursor.block().length() == 1)
        m_cursor.deletePreviousChar();
    m_cursor.endEditBlock();
}

void RtfDocumentBuilder::applyText(
    QTextCursor &cursor, const QString &text, const QTextCharFormat &format)
{
    cursor.insertText(text, format);
}

void RtfDocumentBuilder::applyParagraph(QTextCursor &cursor, const RtfParagraphEnd &paragraph,
    bool breakAfter, const QTextTableCell *cell)
{
    // A new block starts with an empty block format and the previous paragraph's mark;
    // most paragraphs keep both, and every format change costs a document update. The
    // builder knows the formats of blocks it started itself, which saves asking the cursor.
    const bool known = &cursor == &m_cursor && m_blockStartedHere;
    if (known ? paragraph.block.propertyCount() != 0 : paragraph.block != cursor.blockFormat())
        cursor.setBlockFormat(paragraph.block);
    if (cell) {
        // The first block's character format is the cell's own format (spans, background).
        QTextCharFormat format = cell->format();
        format.merge(paragraph.mark);
        cursor.setBlockCharFormat(format);
    } else if (known ? paragraph.mark != m_startedMark
                     : paragraph.mark != cursor.blockCharFormat()) {
        cursor.setBlockCharFormat(paragraph.mark);
    }
    if (paragraph.listKey != 0) {
        QTextList *&list = m_lists[paragraph.listKey];
        if (list)
            list->add(cursor.block());
        else
            list = cursor.createList(paragraph.listFormat);
    }
    if (breakAfter) {
        cursor.insertBlock(QTextBlockFormat(), paragraph.mark);
        if (&cursor == &m_cursor) {
            m_blockStartedHere = true;
            m_startedMark = paragraph.mark;
        }
    }
}

void RtfDocumentBuilder::replay(
    QTextCursor &cursor, const Cell &content, const QTextTableCell &cell, bool startsCell)
{
    for (const Op &op : content) {
        switch (op.kind) {
        case Op::Text:
            applyText(cursor, op.text, op.format);
            break;
        case Op::Paragraph:
        case Op::LastParagraph:
            applyParagraph(
                cursor, op.paragraph, op.kind == Op::Paragraph, startsCell ? &cell : nullptr);
            startsCell = false;
            break;
        }
    }
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
    format.setCellPadding(qMax<qreal>(0, RtfUnits::twipsToPixels(definitions.first().gap)));

    // The empty paragraph a break opened is where the table goes, not a paragraph before it.
    if (m_blockFromBreak && m_cursor.block().length() == 1 && m_cursor.block().previous().isValid())
        m_cursor.deletePreviousChar();
    m_blockStartedHere = false;

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
            const bool startsCell = cursor.position() == cell.firstPosition();
            if (!startsCell) {
                const bool empty = content.size() == 1 && content.front().kind == Op::LastParagraph;
                if (empty)
                    continue;
                cursor.insertBlock();
            }
            replay(cursor, content, cell, startsCell);
            if (!p.covered && i < row.definition.cells.size()) {
                const QColor background = row.definition.cells.at(i).background;
                if (background.isValid()) {
                    QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                    cellFormat.setBackground(background);
                    cell.setFormat(cellFormat);
                }
            }
        }
    }
    m_rows.clear();
    m_cursor.setPosition(table->lastPosition() + 1);
    m_blockStartedHere = false;
    m_blockFromBreak = false;
}
