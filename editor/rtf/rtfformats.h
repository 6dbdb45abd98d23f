#pragma once

#include "rtfstate.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <array>

// A font table entry.
struct RtfFont
{
    QString name;
    int codePage = 0; // 0 = the document's code page
};

// The document-wide tables (fonts, colours, code page) and the mapping from RTF group
// state to Qt formats.
class RtfFormats
{
public:
    // Text of a list paragraph starts this far right of the marker (360 twips, Word's
    // default hanging indent); \fi of list paragraphs is stored relative to it.
    static constexpr qreal listMarkerHanging = 24.0;

    void setDocumentCodePage(int codePage);
    int documentCodePage() const { return m_documentCodePage; }

    void setFont(int number, const RtfFont &font);
    // Code page of the text in a font: its own, else the document's.
    int codePageForFont(int number);

    void clearColors();
    void addColor(const QColor &color); // an invalid colour is the automatic entry
    QColor color(int index) const; // invalid for automatic or unknown entries
    int colorCount() const { return int(m_colors.size()); }

    QTextCharFormat charFormat(const RtfCharState &state);

    // `listIndent` is the QTextList indent level of the paragraph (0 when not in a list)
    // and `indentWidth` the document's indent width in pixels.
    static QTextBlockFormat blockFormat(
        const RtfParagraphState &paragraph, int listIndent, qreal indentWidth);

private:
    QTextCharFormat makeCharFormat(const RtfCharState &state) const;
    void invalidateCache();

    struct CacheEntry
    {
        RtfCharState state;
        QTextCharFormat format;
    };
    static constexpr int cacheSize = 8;

    QHash<int, RtfFont> m_fonts;
    QList<QColor> m_colors;
    int m_documentCodePage = 1252;
    int m_lastFont = -2;
    int m_lastFontCodePage = 1252;
    std::array<CacheEntry, cacheSize> m_cache;
    int m_cacheUsed = 0;
    int m_cacheNext = 0;
};
