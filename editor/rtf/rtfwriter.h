#pragma once

#include "rtftextencoder.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

class QTextBlock;
class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;
class QTextFrame;
class QTextList;
class QTextTable;

// Writes a QTextDocument as RTF 1.x that Word, WordPad, LibreOffice and TextEdit read:
// fonts, sizes, colours, paragraph formats, lists, tables and pictures (as PNG).
class RtfWriter
{
public:
    static QByteArray write(const QTextDocument &document);

private:
    explicit RtfWriter(const QTextDocument &document);

    QByteArray run();
    void writeFrame(const QTextFrame *frame);
    void writeTable(const QTextTable *table);
    void writeCellContent(const QTextFrame *cellFrame, int firstPosition, int lastPosition);
    void writeBlock(const QTextBlock &block, bool inTable, bool lastInCell);
    void writeListText(const QTextBlock &block, const QTextList *list);
    void writeParagraphFormat(const QTextBlockFormat &format, const QTextList *list);
    void writeMarkFormat(const QTextBlock &block);
    void writeCachedCharFormat(
        QHash<int, QByteArray> &cache, int index, const QTextCharFormat &format);
    void writeCharFormat(const QTextCharFormat &format);
    void writeImage(const QTextCharFormat &format);

    QByteArray header() const;
    QByteArray listTables() const;
    QByteArray background() const;

    int fontIndex(const QTextCharFormat &format);
    int colorIndex(const QColor &color);
    int listNumber(const QTextList *list);

    const QTextDocument &m_document;
    QByteArray m_body;
    RtfTextEncoder m_encoder;
    QString m_defaultFamily;
    qreal m_defaultPointSize = 12;
    QList<QString> m_fonts;
    QHash<QString, int> m_fontIndexes;
    QList<QColor> m_colors; // entry 0 (auto) not included
    QHash<QRgb, int> m_colorIndexes;
    QList<const QTextList *> m_lists;
    QHash<const QTextList *, int> m_listNumbers;
    QHash<QString, QByteArray> m_pictures; // by image name
    QHash<int, QByteArray> m_runFormats; // encoded character formats by format index
    QHash<int, QByteArray> m_markFormats;
};
