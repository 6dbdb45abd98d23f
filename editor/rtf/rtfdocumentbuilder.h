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

// Builds the QTextDocument from the reader's output through one cursor. Table content is
// buffered until the table ends so that the QTextTable is created once at its final size.
class RtfDocumentBuilder
{
public:
    static constexpr int maxTableColumns = 64;
    static constexpr int maxCellMerges = 1000; // per table; each merge re-indexes the table

    explicit RtfDocumentBuilder(QTextDocument *document);
    ~RtfDocumentBuilder();

    // `format` may be a QTextImageFormat for an image (text is then U+FFFC).
    void insertText(const QString &text, const QTextCharFormat &format, bool inTable);
    // Applies the paragraph's formats; `breakAfter` starts a new paragraph.
    void endParagraph(const RtfParagraphEnd &paragraph, bool inTable, bool breakAfter = true);
    void endCell(const RtfParagraphEnd &paragraph);
    void endRow(const RtfRowDefinition &row);
    // Whether anything was inserted since the last paragraph end.
    bool paragraphHasContent() const { return m_paragraphHasContent; }
    void finish();

private:
    struct Op
    {
        enum Kind { Text, Paragraph, LastParagraph };
        Kind kind;
        QString text;
        QTextCharFormat format;
        RtfParagraphEnd paragraph;
    };
    using Cell = std::vector<Op>;
    struct Row
    {
        std::vector<Cell> cells;
        RtfRowDefinition definition;
    };

    bool routeToTable(bool inTable);
    void closeTable();
    void applyText(QTextCursor &cursor, const QString &text, const QTextCharFormat &format);
    // `cell` is the table cell whose first block the cursor is in, if any.
    void applyParagraph(QTextCursor &cursor, const RtfParagraphEnd &paragraph, bool breakAfter,
        const QTextTableCell *cell);
    void replay(
        QTextCursor &cursor, const Cell &content, const QTextTableCell &cell, bool startsCell);

    QTextDocument *m_document;
    QTextCursor m_cursor;
    QHash<int, QTextList *> m_lists;
    bool m_blockFromBreak = false; // the cursor's block was started by a paragraph break
    bool m_paragraphHasContent = false;
    bool m_blockStartedHere = false; // m_cursor's block came from applyParagraph's break
    QTextCharFormat m_startedMark; // … with this character format

    bool m_tableOpen = false;
    std::vector<Row> m_rows;
    Row m_row;
    Cell m_cell;
};
