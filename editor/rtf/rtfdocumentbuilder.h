#pragma once

#include "rtftablerow.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextListFormat>

#include <vector>

class QTextDocument;
class QTextList;
class QTextTableCell;

// What ends a paragraph: its block format, the format of its paragraph mark (which sizes an
// empty line) and the list it belongs to.
struct RtfParagraphEnd
{
    QTextBlockFormat block;
    QTextCharFormat mark;
    int listKey = 0; // paragraphs with the same non-zero key share one QTextList
    QTextListFormat listFormat;
};

// Builds the QTextDocument from the reader's output through one cursor. A paragraph is
// inserted when it ends, as one new block with its final formats followed by its runs, which
// keeps document updates to a minimum. Table content is buffered until the table ends so
// that the QTextTable is created once at its final size.
class RtfDocumentBuilder
{
public:
    static constexpr int maxTableColumns = 64;
    static constexpr int maxCellMerges = 1000; // per table; each merge re-indexes the table

    explicit RtfDocumentBuilder(QTextDocument *document);
    ~RtfDocumentBuilder();

    // Adds a run to the current paragraph. `format` may be a QTextImageFormat for an image
    // (text is then U+FFFC).
    void insertText(const QString &text, const QTextCharFormat &format);
    // Ends the current paragraph, in a table cell when `inTable`.
    void endParagraph(const RtfParagraphEnd &paragraph, bool inTable);
    // Ends the current paragraph and the table cell it is in.
    void endCell(const RtfParagraphEnd &paragraph);
    void endRow(const RtfRowDefinition &row);
    // Whether the current paragraph has content.
    bool paragraphHasContent() const { return !m_runs.empty(); }
    void finish();

private:
    struct Run
    {
        QString text;
        QTextCharFormat format;
    };
    struct Paragraph
    {
        std::vector<Run> runs;
        RtfParagraphEnd end;
    };
    using Cell = std::vector<Paragraph>;
    struct Row
    {
        std::vector<Cell> cells;
        RtfRowDefinition definition;
    };

    bool routeToTable(bool inTable);
    void closeTable();
    // Inserts a paragraph at the cursor: into the cursor's block when `blockUnused` (the
    // document's or a cell's first block, the block after a table), else as a new block.
    // `cell` is the table cell whose first block that is, if any.
    void insertParagraph(QTextCursor &cursor, bool &blockUnused, const Paragraph &paragraph,
        const QTextTableCell *cell);

    QTextCursor m_cursor;
    bool m_cursorBlockUnused = true;
    QHash<int, QTextList *> m_lists;
    std::vector<Run> m_runs; // of the current paragraph

    bool m_tableOpen = false;
    std::vector<Row> m_rows;
    Row m_row;
    Cell m_cell;
};
