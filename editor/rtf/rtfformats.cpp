#include "rtfformats.h"

#include "rtfunits.h"

#include <QFont>

void RtfFormats::setDocumentCodePage(int codePage)
{
    m_documentCodePage = codePage;
    m_lastFont = -2;
}

void RtfFormats::setFont(int number, const RtfFont &font)
{
    m_fonts.insert(number, font);
    m_lastFont = -2;
    invalidateCache();
}

int RtfFormats::codePageForFont(int number)
{
    if (number != m_lastFont) {
        m_lastFont = number;
        const auto it = m_fonts.constFind(number);
        m_lastFontCodePage
            = (it != m_fonts.constEnd() && it->codePage > 0) ? it->codePage : m_documentCodePage;
    }
    return m_lastFontCodePage;
}

void RtfFormats::clearColors()
{
    m_colors.clear();
    invalidateCache();
}

void RtfFormats::addColor(const QColor &color)
{
    m_colors.append(color);
    invalidateCache();
}

QColor RtfFormats::color(int index) const
{
    if (index < 0 || index >= m_colors.size())
        return QColor();
    return m_colors.at(index);
}

QTextCharFormat RtfFormats::charFormat(const RtfCharState &state)
{
    for (int i = 0; i < m_cacheUsed; ++i) {
        if (m_cache[i].state == state)
            return m_cache[i].format;
    }
    CacheEntry &entry = m_cache[m_cacheNext];
    entry.state = state;
    entry.format = makeCharFormat(state);
    m_cacheNext = (m_cacheNext + 1) % cacheSize;
    m_cacheUsed = qMin(m_cacheUsed + 1, cacheSize);
    return entry.format;
}

QTextCharFormat RtfFormats::makeCharFormat(const RtfCharState &state) const
{
    QTextCharFormat format;
    const auto font = m_fonts.constFind(state.font);
    if (font != m_fonts.constEnd() && !font->name.isEmpty())
        format.setFontFamilies({ font->name });
    format.setFontPointSize(
        qBound(RtfCharState::minFontSize, state.fontSize, RtfCharState::maxFontSize) / 2.0);
    if (state.bold)
        format.setFontWeight(QFont::Bold);
    if (state.italic)
        format.setFontItalic(true);
    if (state.underline != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(QTextCharFormat::UnderlineStyle(state.underline));
    if (state.strikeOut)
        format.setFontStrikeOut(true);
    if (state.verticalAlignment != QTextCharFormat::AlignNormal)
        format.setVerticalAlignment(QTextCharFormat::VerticalAlignment(state.verticalAlignment));
    if (state.capitalization != QFont::MixedCase)
        format.setFontCapitalization(QFont::Capitalization(state.capitalization));
    const QColor foreground = color(state.foreground);
    if (foreground.isValid())
        format.setForeground(foreground);
    const QColor background = color(state.background);
    if (background.isValid())
        format.setBackground(background);
    return format;
}

void RtfFormats::invalidateCache()
{
    m_cacheUsed = 0;
    m_cacheNext = 0;
}

QTextBlockFormat RtfFormats::blockFormat(
    const RtfParagraphState &paragraph, int listIndent, qreal indentWidth)
{
    QTextBlockFormat format;
    switch (paragraph.alignment) {
    case RtfParagraphState::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case RtfParagraphState::Right:
        format.setAlignment(Qt::AlignRight);
        break;
    case RtfParagraphState::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    case RtfParagraphState::Left:
        break;
    }

    qreal left = RtfUnits::twipsToPixels(paragraph.leftIndent);
    qreal first = RtfUnits::twipsToPixels(paragraph.firstIndent);
    if (listIndent > 0) {
        // The list indent already moves the text; keep only what the file adds to it.
        left = qMax<qreal>(0, left - listIndent * indentWidth);
        first += listMarkerHanging;
    }
    if (left != 0)
        format.setLeftMargin(left);
    if (first != 0)
        format.setTextIndent(first);
    if (paragraph.rightIndent != 0)
        format.setRightMargin(RtfUnits::twipsToPixels(paragraph.rightIndent));
    if (paragraph.spaceBefore != 0)
        format.setTopMargin(RtfUnits::twipsToPixels(paragraph.spaceBefore));
    if (paragraph.spaceAfter != 0)
        format.setBottomMargin(RtfUnits::twipsToPixels(paragraph.spaceAfter));

    const int spacing = RtfUnits::clampTwips(paragraph.lineSpacing);
    if (spacing < 0) {
        format.setLineHeight(RtfUnits::twipsToPixels(-spacing), QTextBlockFormat::FixedHeight);
    } else if (spacing > 0) {
        if (paragraph.lineMultiple)
            format.setLineHeight(spacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else
            format.setLineHeight(RtfUnits::twipsToPixels(spacing), QTextBlockFormat::MinimumHeight);
    }
    return format;
}
