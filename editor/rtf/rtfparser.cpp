#include "rtfparser.h"

#include "rtfcodepage.h"
#include "rtfunits.h"

#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QUrl>

using K = RtfKeyword;

namespace {

constexpr int maxColorComponent = 255;

char16_t specialCharacter(RtfKeyword keyword)
{
    switch (keyword) {
    case K::EmDash:
        return 0x2014;
    case K::EnDash:
        return 0x2013;
    case K::Bullet:
        return 0x2022;
    case K::LeftQuote:
        return 0x2018;
    case K::RightQuote:
        return 0x2019;
    case K::LeftDoubleQuote:
        return 0x201C;
    case K::RightDoubleQuote:
        return 0x201D;
    case K::EmSpace:
        return 0x2003;
    case K::EnSpace:
        return 0x2002;
    case K::QmSpace:
        return 0x2005;
    case K::ZeroWidthJoiner:
        return 0x200D;
    case K::ZeroWidthNonJoiner:
        return 0x200C;
    case K::ZeroWidthBreak:
        return 0x200B;
    case K::ZeroWidthNoBreak:
        return 0xFEFF;
    case K::LtrMark:
        return 0x200E;
    case K::RtlMark:
        return 0x200F;
    case K::Tab:
        return '\t';
    case K::Line:
        return QChar::LineSeparator;
    default:
        return 0;
    }
}

// One number for a level of a \lsN list (\ls may be negative in damaged files).
quint64 listLevelId(int ls, int level)
{
    return (quint64(quint32(ls)) << 8) | quint64(level);
}

} // namespace

RtfParser::RtfParser(QByteArrayView rtf, QTextDocument *document)
    : m_tokenizer(rtf)
    , m_document(document)
    , m_builder(document)
    , m_text(&m_decoder)
    , m_fontName(&m_decoder)
    , m_auxText(&m_decoder)
{ }

void RtfParser::warn(const QString &warning)
{
    if (m_warnings.size() < maxWarnings && !m_warnings.contains(warning))
        m_warnings.append(warning);
}

QStringList RtfParser::parse()
{
    RtfToken token = m_tokenizer.next(); // the "{" of "{\rtf", checked by the caller
    m_stack.reserve(64);
    m_stack.push_back(Group());
    while (!m_rootClosed) {
        token = m_tokenizer.next();
        if (token.type == RtfToken::EndOfInput)
            break;
        if (m_unicodeSkipLeft > 0 && skipUnicodeFallback(token))
            continue;
        const bool star = m_starPending;
        m_starPending = false;
        switch (token.type) {
        case RtfToken::GroupOpen:
            openGroup();
            break;
        case RtfToken::GroupClose:
            closeGroup();
            break;
        case RtfToken::ControlWord:
            if (star && !handleDestination(rtfKeyword(token.data)))
                skipGroup();
            else if (!star)
                handleControlWord(token);
            break;
        case RtfToken::ControlSymbol:
            handleSymbol(token.symbol);
            break;
        case RtfToken::Text:
            handleText(token.data);
            break;
        case RtfToken::HexByte:
            handleHexByte(token.byte);
            break;
        case RtfToken::Binary:
            if (group().destination == Destination::Picture)
                m_picture.appendBinary(token.data);
            break;
        case RtfToken::EndOfInput:
            break;
        }
    }
    if (!m_rootClosed) {
        warn(QStringLiteral("the file ends inside a group; the missing braces were assumed"));
        // The innermost state formats the last paragraph, as if the braces were there.
        const RtfParagraphState paragraph = group().paragraph;
        const RtfCharState chars = group().chars;
        m_overflowDepth = 0;
        while (m_stack.size() > 1)
            closeGroup();
        group().paragraph = paragraph;
        group().chars = chars;
    }
    endDocument();
    return m_warnings;
}

// --- groups ---------------------------------------------------------------------------

void RtfParser::openGroup()
{
    m_unicodeSkipLeft = 0;
    if (int(m_stack.size()) >= maxGroupDepth) {
        ++m_overflowDepth;
        if (!m_depthWarned) {
            warn(QStringLiteral("groups nested deeper than %1 levels were flattened")
                     .arg(maxGroupDepth));
            m_depthWarned = true;
        }
        return;
    }
    Group child = m_stack.back();
    child.root = Root::None;
    m_stack.push_back(child);
}

void RtfParser::closeGroup()
{
    m_unicodeSkipLeft = 0;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.empty())
        return;
    if (m_stack.back().destination == Destination::FontTable)
        commitFont();
    if (m_stack.size() == 1) {
        m_rootClosed = true; // the root state still formats the last paragraph
        return;
    }
    const Group closed = m_stack.back();
    m_stack.pop_back();
    if (closed.root != Root::None)
        endRoot(closed);
}

void RtfParser::skipGroup()
{
    if (m_stack.size() <= 1 && m_overflowDepth == 0)
        return; // never drop the whole document for a misplaced destination word
    int depth = 1;
    while (depth > 0) {
        const RtfToken token = m_tokenizer.next();
        if (token.type == RtfToken::EndOfInput)
            break;
        if (token.type == RtfToken::GroupOpen)
            ++depth;
        else if (token.type == RtfToken::GroupClose)
            --depth;
    }
    m_unicodeSkipLeft = 0;
    if (m_overflowDepth > 0)
        --m_overflowDepth;
    else
        m_stack.pop_back();
}

bool RtfParser::skipUnicodeFallback(RtfToken &token)
{
    // After \uN the next \ucN characters are the fallback for readers without Unicode.
    switch (token.type) {
    case RtfToken::Text: {
        const qsizetype n = qMin<qsizetype>(m_unicodeSkipLeft, token.data.size());
        m_unicodeSkipLeft -= int(n);
        token.data = token.data.sliced(n);
        return token.data.isEmpty();
    }
    case RtfToken::HexByte:
    case RtfToken::ControlWord:
    case RtfToken::ControlSymbol:
    case RtfToken::Binary:
        --m_unicodeSkipLeft;
        return true;
    default:
        m_unicodeSkipLeft = 0;
        return false;
    }
}

void RtfParser::endRoot(const Group &closed)
{
    switch (closed.root) {
    case Root::Picture:
        finishPicture(closed);
        break;
    case Root::ShpPict:
        break;
    case Root::NonShpPict:
        flushPendingPicture();
        break;
    case Root::List:
        m_lists.endList();
        break;
    case Root::LevelText:
        m_lists.setLevelText(m_auxText.takeUnfiltered());
        break;
    case Root::Override:
        m_lists.endOverride();
        break;
    case Root::OldListText: {
        // The bullet of a \pnlvlblt list, in the \pn group around this one.
        const QString text = m_auxText.take().trimmed();
        Group &pn = group();
        if (pn.paragraph.oldList == RtfParagraphState::OldBullet && !text.isEmpty())
            pn.paragraph.oldListStyle = quint8(-RtfListTable::bulletStyle(text.at(0)));
        break;
    }
    case Root::OldList: {
        // \pn describes the paragraph outside its group.
        RtfParagraphState &outside = group().paragraph;
        outside.oldList = closed.paragraph.oldList;
        outside.oldListLevel = closed.paragraph.oldListLevel;
        outside.oldListStyle = closed.paragraph.oldListStyle;
        break;
    }
    case Root::ShapeProperty:
        if (m_shapeName.trimmed() == QLatin1String("fillColor")) {
            bool ok = false;
            const qint64 bgr = m_shapeValue.trimmed().toLongLong(&ok);
            if (ok) {
                const QColor color(
                    int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
                QTextFrameFormat frame = m_document->rootFrame()->frameFormat();
                frame.setBackground(color);
                m_document->rootFrame()->setFrameFormat(frame);
            }
        }
        break;
    case Root::None:
        break;
    }
}

// --- control words --------------------------------------------------------------------

bool RtfParser::handleDestination(RtfKeyword keyword)
{
    Group &g = group();
    const Destination d = g.destination;
    auto start = [&](Destination destination, Root root) {
        g.destination = destination;
        g.root = root;
        return true;
    };
    switch (keyword) {
    case K::SkipDestination:
    case K::FieldInstruction:
    case K::NoNestTables:
    case K::ListText:
    case K::PnText:
    case K::LevelNumbers:
    case K::ListName:
    case K::ListOverrideLevel:
    case K::ShpResult:
        return false;
    case K::FontTable:
        commitFont();
        return start(Destination::FontTable, Root::None);
    case K::ColorTable:
        m_formats.clearColors();
        m_colorHasComponent = false;
        m_red = m_green = m_blue = 0;
        return start(Destination::ColorTable, Root::None);
    case K::Background:
        return start(Destination::Background, Root::None);
    case K::Upr:
        g.outer = d;
        return start(Destination::Drop, Root::None);
    case K::Ud:
        return d == Destination::Drop ? start(g.outer, Root::None) : true;
    case K::Object:
        g.outer = d;
        return start(Destination::Drop, Root::None);
    case K::Result:
        return d == Destination::Drop ? start(g.outer, Root::None) : true;
    case K::Field:
    case K::FieldResult:
        return true;
    case K::Pict:
        if (d != Destination::Normal)
            return false;
        m_picture = RtfPicture();
        return start(Destination::Picture, Root::Picture);
    case K::ShpPict:
        if (d != Destination::Normal)
            return false;
        g.inShpPict = true;
        flushPendingPicture();
        return start(d, Root::ShpPict);
    case K::NonShpPict:
        if (d != Destination::Normal || m_skipNonShpPict)
            return false;
        g.inNonShpPict = true;
        return start(d, Root::NonShpPict);
    case K::Shp:
        return d == Destination::Background ? start(Destination::Shape, Root::None) : false;
    case K::ShpInst:
        return d == Destination::Shape;
    case K::ShapeProperty:
        if (d != Destination::Shape)
            return false;
        m_shapeName.clear();
        m_shapeValue.clear();
        return start(Destination::ShapeProperty, Root::ShapeProperty);
    case K::ShapeName:
        if (d != Destination::ShapeProperty)
            return false;
        return start(Destination::ShapeName, Root::None);
    case K::ShapeValue:
        if (d != Destination::ShapeProperty)
            return false;
        return start(Destination::ShapeValue, Root::None);
    case K::ListTable:
        return start(Destination::ListTable, Root::None);
    case K::List:
        if (d != Destination::ListTable)
            return false;
        m_lists.beginList();
        return start(Destination::List, Root::List);
    case K::ListLevelDef:
        if (d != Destination::List)
            return false;
        m_lists.beginLevel();
        return start(Destination::ListLevel, Root::None);
    case K::LevelText:
        if (d != Destination::ListLevel)
            return false;
        m_auxText.clear();
        return start(Destination::LevelText, Root::LevelText);
    case K::ListOverrideTable:
        return start(Destination::ListOverrideTable, Root::None);
    case K::ListOverrideDef:
        if (d != Destination::ListOverrideTable)
            return false;
        m_lists.beginOverride();
        return start(Destination::ListOverride, Root::Override);
    case K::Pn:
        if (d != Destination::Normal)
            return false;
        g.paragraph.oldList = RtfParagraphState::OldBullet;
        g.paragraph.oldListLevel = 0;
        g.paragraph.oldListStyle = quint8(-QTextListFormat::ListDisc);
        return start(Destination::OldList, Root::OldList);
    case K::PnTextAfter:
    case K::PnTextBefore:
        if (d != Destination::OldList)
            return false;
        m_auxText.clear();
        return start(Destination::OldListText, Root::OldListText);
    default:
        return false; // a known word that is no destination after \*
    }
}

void RtfParser::handleControlWord(const RtfToken &token)
{
    const RtfKeyword keyword = rtfKeyword(token.data);
    switch (keyword) {
    case K::Unknown:
        return;
    case K::Rtf:
        return;
    case K::SkipDestination:
    case K::FieldInstruction:
    case K::NoNestTables:
    case K::ListText:
    case K::PnText:
    case K::LevelNumbers:
    case K::ListName:
    case K::ListOverrideLevel:
    case K::ShpResult:
    case K::FontTable:
    case K::ColorTable:
    case K::Background:
    case K::Upr:
    case K::Ud:
    case K::Object:
    case K::Result:
    case K::Field:
    case K::FieldResult:
    case K::Pict:
    case K::ShpPict:
    case K::NonShpPict:
    case K::Shp:
    case K::ShpInst:
    case K::ShapeProperty:
    case K::ShapeName:
    case K::ShapeValue:
    case K::ListTable:
    case K::List:
    case K::ListLevelDef:
    case K::LevelText:
    case K::ListOverrideTable:
    case K::ListOverrideDef:
    case K::Pn:
    case K::PnTextAfter:
    case K::PnTextBefore:
        if (!handleDestination(keyword))
            skipGroup();
        return;

    case K::Ansi:
        if (!m_codePageFromAnsiCpg)
            m_formats.setDocumentCodePage(RtfCodePage::Ansi);
        return;
    case K::Mac:
        if (!m_codePageFromAnsiCpg)
            m_formats.setDocumentCodePage(RtfCodePage::MacRoman);
        return;
    case K::Pc:
        if (!m_codePageFromAnsiCpg)
            m_formats.setDocumentCodePage(RtfCodePage::Pc437);
        return;
    case K::Pca:
        if (!m_codePageFromAnsiCpg)
            m_formats.setDocumentCodePage(RtfCodePage::Pc850);
        return;
    case K::AnsiCodePage:
        if (token.hasParameter && token.parameter > 0) {
            m_formats.setDocumentCodePage(token.parameter);
            m_codePageFromAnsiCpg = true;
        }
        return;
    case K::DefaultFont:
        m_defaultFont = token.value(0);
        if (group().chars.font < 0)
            group().chars.font = m_defaultFont;
        return;
    case K::FontCharset:
        if (group().destination == Destination::FontTable)
            m_fontCharset = token.value(0);
        return;
    case K::FontCodePage:
        if (group().destination == Destination::FontTable)
            m_fontCodePage = token.value(0);
        return;
    case K::Red:
    case K::Green:
    case K::Blue:
        if (group().destination == Destination::ColorTable) {
            const int value = qBound(0, token.value(0), maxColorComponent);
            (keyword == K::Red ? m_red : keyword == K::Green ? m_green : m_blue) = value;
            m_colorHasComponent = true;
        }
        return;
    case K::Font:
        if (group().destination == Destination::FontTable) {
            commitFont();
            m_fontNumber = token.value(0);
            m_fontCharset = -1;
            m_fontCodePage = 0;
            m_fontName.clear();
            m_fontPending = true;
        } else {
            group().chars.font = token.value(0);
        }
        return;
    case K::Unicode:
        handleUnicode(token.value(0));
        return;
    case K::UnicodeSkip:
        group().unicodeSkip = quint8(qBound(0, token.value(1), maxUnicodeSkip));
        return;
    case K::Par:
    case K::Page:
    case K::Sect:
        if (group().destination == Destination::Normal)
            endParagraph();
        return;
    case K::Tab:
    case K::Line:
    case K::EmDash:
    case K::EnDash:
    case K::Bullet:
    case K::LeftQuote:
    case K::RightQuote:
    case K::LeftDoubleQuote:
    case K::RightDoubleQuote:
    case K::EmSpace:
    case K::EnSpace:
    case K::QmSpace:
    case K::ZeroWidthJoiner:
    case K::ZeroWidthNonJoiner:
    case K::ZeroWidthBreak:
    case K::ZeroWidthNoBreak:
    case K::LtrMark:
    case K::RtlMark:
        appendUnit(specialCharacter(keyword));
        return;
    default:
        break;
    }
    Group &g = group();
    if (keyword == K::Plain) {
        g.chars = RtfCharState();
        g.chars.font = m_defaultFont;
        return;
    }
    if (keyword == K::Pard) {
        g.paragraph = RtfParagraphState();
        return;
    }
    if (g.destination == Destination::Picture && m_picture.apply(keyword, token.value(0)))
        return;
    if (g.chars.apply(keyword, token))
        return;
    if (g.destination != Destination::ListOverride && g.paragraph.apply(keyword, token))
        return;
    handleTableWord(keyword, token);
    handleListWord(keyword, token);
}

void RtfParser::handleTableWord(RtfKeyword keyword, const RtfToken &token)
{
    const int value = token.value(0);
    switch (keyword) {
    case K::RowDefaults:
        m_row = RtfRowDefinition();
        m_cell = RtfCellDefinition();
        m_borderOpen = false;
        break;
    case K::CellX:
        commitBorder();
        if (m_row.cells.size() < maxCellsPerRow) {
            m_cell.right = qBound(-maxCellEdgeTwips, value, maxCellEdgeTwips);
            m_row.cells.append(m_cell);
        }
        m_cell = RtfCellDefinition();
        break;
    case K::CellMergeFirst:
        m_cell.mergeFirst = true;
        break;
    case K::CellMerge:
        m_cell.merged = true;
        break;
    case K::CellVMergeFirst:
        m_cell.verticalMergeFirst = true;
        break;
    case K::CellVMerge:
        m_cell.verticallyMerged = true;
        break;
    case K::CellBackground:
        m_cell.background = m_formats.color(value);
        break;
    case K::RowGap:
        m_row.gap = RtfUnits::clampTwips(value);
        break;
    case K::RowLeft:
        m_row.left = qBound(-maxCellEdgeTwips, value, maxCellEdgeTwips);
        break;
    case K::CellBorder:
        commitBorder();
        m_borderOpen = true;
        break;
    case K::BorderNone:
        m_borderHasStyle = false;
        break;
    case K::BorderStyle:
        m_borderHasStyle = true;
        break;
    case K::BorderWidth:
        m_borderWidth = qBound(0, value, RtfUnits::maxLengthTwips);
        break;
    case K::RowPadding:
    case K::RowPaddingUnit:
    case K::CellPadding:
    case K::CellPaddingUnit: {
        // Word writes a cell's top padding as \clpadl and its left as \clpadt, and
        // LibreOffice reads and writes them alike; the row's \trpadd… are as named.
        const bool cell = keyword == K::CellPadding || keyword == K::CellPaddingUnit;
        const char letter = token.data.back();
        int side = letter == 'l' ? RtfPadding::Left
            : letter == 't'      ? RtfPadding::Top
            : letter == 'r'      ? RtfPadding::Right
                                 : RtfPadding::Bottom;
        if (cell && (side == RtfPadding::Left || side == RtfPadding::Top))
            side = side == RtfPadding::Left ? RtfPadding::Top : RtfPadding::Left;
        RtfPadding &padding = cell ? m_cell.padding : m_row.padding;
        if (keyword == K::RowPadding || keyword == K::CellPadding)
            padding.setValue(side, value);
        else
            padding.setUnit(side, value);
        break;
    }
    case K::Cell:
        if (group().destination != Destination::Normal)
            break;
        flushText();
        contentEvent();
        m_builder.endCell(paragraphEnd());
        break;
    case K::NestCell:
    case K::NestRow:
        // Nested tables are read as paragraphs of the cell around them.
        if (group().destination != Destination::Normal)
            break;
        flushText();
        contentEvent();
        m_builder.endParagraph(paragraphEnd(), true);
        break;
    case K::Row:
        if (group().destination != Destination::Normal)
            break;
        flushText();
        contentEvent();
        m_builder.endRow(m_row);
        break;
    default:
        break;
    }
}

void RtfParser::commitBorder()
{
    // A cell border is \clbrdrX followed by a style and width, in either order.
    if (m_borderOpen && m_borderHasStyle)
        m_cell.borderWidth = qMax(m_cell.borderWidth, m_borderWidth > 0 ? m_borderWidth : 15);
    m_borderOpen = false;
    m_borderHasStyle = false;
    m_borderWidth = 0;
}

void RtfParser::handleListWord(RtfKeyword keyword, const RtfToken &token)
{
    const int value = token.value(0);
    Group &g = group();
    switch (g.destination) {
    case Destination::List:
        if (keyword == K::ListId)
            m_lists.setListId(value);
        break;
    case Destination::ListLevel:
        if (keyword == K::LevelNfc)
            m_lists.setLevelNumberFormat(value);
        break;
    case Destination::ListOverride:
        if (keyword == K::ListId)
            m_lists.setOverrideListId(value);
        else if (keyword == K::ListOverride)
            m_lists.setOverrideNumber(value);
        break;
    case Destination::OldList: {
        RtfParagraphState &p = g.paragraph;
        switch (keyword) {
        case K::PnLevelBullet:
            p.oldList = RtfParagraphState::OldBullet;
            p.oldListStyle = quint8(-QTextListFormat::ListDisc);
            break;
        case K::PnLevelBody:
            p.oldList = RtfParagraphState::OldNumbered;
            p.oldListLevel = 0;
            p.oldListStyle = quint8(-QTextListFormat::ListDecimal);
            break;
        case K::PnLevel:
            p.oldList = RtfParagraphState::OldNumbered;
            p.oldListLevel = quint8(qBound(1, value, RtfListTable::maxLevels) - 1);
            p.oldListStyle = quint8(-QTextListFormat::ListDecimal);
            break;
        case K::PnLevelCont:
            p.oldList = RtfParagraphState::NoOldList;
            break;
        case K::PnDecimal:
            p.oldListStyle = quint8(-QTextListFormat::ListDecimal);
            break;
        case K::PnUpperLetter:
            p.oldListStyle = quint8(-QTextListFormat::ListUpperAlpha);
            break;
        case K::PnLowerLetter:
            p.oldListStyle = quint8(-QTextListFormat::ListLowerAlpha);
            break;
        case K::PnUpperRoman:
            p.oldListStyle = quint8(-QTextListFormat::ListUpperRoman);
            break;
        case K::PnLowerRoman:
            p.oldListStyle = quint8(-QTextListFormat::ListLowerRoman);
            break;
        default:
            break;
        }
        break;
    }
    default:
        break;
    }
}

void RtfParser::handleSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}': {
        const char c = symbol;
        handleText(QByteArrayView(&c, 1));
        break;
    }
    case '~':
        appendUnit(0x00A0);
        break;
    case '-':
        appendUnit(0x00AD);
        break;
    case '_':
        appendUnit(0x2011);
        break;
    case '\n':
        if (group().destination == Destination::Normal)
            endParagraph();
        break;
    case '\t':
        appendUnit('\t');
        break;
    case '*':
        m_starPending = true;
        break;
    default:
        break;
    }
}

// --- text -----------------------------------------------------------------------------

void RtfParser::handleText(QByteArrayView text)
{
    Group &g = group();
    switch (g.destination) {
    case Destination::Normal:
        appendText(text);
        break;
    case Destination::FontTable:
        while (!text.isEmpty()) {
            const qsizetype semicolon = text.indexOf(';');
            const QByteArrayView part = semicolon < 0 ? text : text.first(semicolon);
            if (m_fontPending) {
                const int codePage
                    = m_fontCodePage > 0 ? m_fontCodePage : RtfCodePage::forCharset(m_fontCharset);
                m_fontName.appendBytes(
                    part, codePage > 0 ? codePage : m_formats.documentCodePage());
            }
            if (semicolon < 0)
                break;
            commitFont();
            text = text.sliced(semicolon + 1);
        }
        break;
    case Destination::ColorTable:
        for (char c : text) {
            if (c == ';')
                commitColor();
        }
        break;
    case Destination::Picture:
        m_picture.appendHex(text);
        break;
    case Destination::LevelText:
    case Destination::OldListText:
        m_auxText.appendBytes(text, m_formats.documentCodePage());
        break;
    case Destination::ShapeName:
        m_shapeName.append(QLatin1StringView(text.data(), text.size()));
        break;
    case Destination::ShapeValue:
        m_shapeValue.append(QLatin1StringView(text.data(), text.size()));
        break;
    default:
        break;
    }
}

void RtfParser::handleHexByte(unsigned char byte)
{
    const char c = char(byte);
    const QByteArrayView bytes(&c, 1);
    switch (group().destination) {
    case Destination::Normal:
    case Destination::FontTable:
    case Destination::LevelText:
    case Destination::OldListText:
        handleText(bytes);
        break;
    case Destination::Picture:
        m_picture.appendBinary(bytes);
        break;
    default:
        break;
    }
}

void RtfParser::handleUnicode(int value)
{
    const char16_t unit = char16_t(value & 0xFFFF); // negative values count from 65536
    switch (group().destination) {
    case Destination::Normal:
        appendUnit(unit);
        break;
    case Destination::FontTable:
        if (m_fontPending)
            m_fontName.appendUnit(unit);
        break;
    case Destination::LevelText:
    case Destination::OldListText:
        m_auxText.appendUnit(unit);
        break;
    default:
        break;
    }
    m_unicodeSkipLeft = group().unicodeSkip;
}

void RtfParser::appendText(QByteArrayView bytes)
{
    const Group &g = group();
    if (g.chars.hidden || bytes.isEmpty())
        return;
    if (g.chars != m_runState) {
        flushText();
        m_runState = g.chars;
    }
    contentEvent();
    // Bytes of a double-byte run are in the code page of its East Asian font.
    const bool asian = g.chars.charSet == RtfCharState::DoubleByte && g.chars.asianFont >= 0;
    m_text.appendBytes(bytes, m_formats.codePageForFont(asian ? g.chars.asianFont : g.chars.font));
}

void RtfParser::appendUnit(char16_t unit)
{
    const Group &g = group();
    if (g.destination == Destination::LevelText || g.destination == Destination::OldListText) {
        m_auxText.appendUnit(unit);
        return;
    }
    if (g.destination != Destination::Normal || g.chars.hidden)
        return;
    if (g.chars != m_runState) {
        flushText();
        m_runState = g.chars;
    }
    contentEvent();
    m_text.appendUnit(unit);
}

void RtfParser::flushText()
{
    if (m_text.isEmpty())
        return;
    const QString text = m_text.take();
    if (!m_runState.hasEastAsianProperties()) {
        m_builder.insertText(text, m_formats.charFormat(m_runState));
        return;
    }
    const RtfCharState western = m_runState.western();
    const RtfCharState asian = m_runState.eastAsian();
    if (asian == western) {
        m_builder.insertText(text, m_formats.charFormat(western));
        return;
    }
    // CJK characters show in the East Asian properties, letters and digits of other scripts in
    // the run's own. Spaces, punctuation and marks go with the character before them, or at
    // the start with the kind of run the file says it is, as LibreOffice shows them.
    bool previousAsian = m_runState.charSet == RtfCharState::DoubleByte;
    qsizetype start = 0;
    bool startAsian = false;
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text.at(i).unicode();
        qsizetype length = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size()) { // take() leaves only pairs
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            length = 2;
        }
        const bool isAsian
            = isEastAsianCharacter(c) || (!QChar::isLetterOrNumber(c) && previousAsian);
        previousAsian = isAsian;
        if (i > 0 && isAsian != startAsian) {
            m_builder.insertText(
                text.sliced(start, i - start), m_formats.charFormat(startAsian ? asian : western));
            start = i;
        }
        if (i == start)
            startAsian = isAsian;
        i += length;
    }
    m_builder.insertText(text.sliced(start), m_formats.charFormat(startAsian ? asian : western));
}

RtfParagraphEnd RtfParser::paragraphEnd()
{
    const Group &g = group();
    const RtfParagraphState &p = g.paragraph;
    RtfParagraphEnd end;
    end.mark = m_formats.charFormat(g.chars);
    int indent = 0;
    if (p.listOverride != 0 && m_lists.showsMarker(p.listOverride, p.listLevel)) {
        const quint64 id = listLevelId(p.listOverride, p.listLevel);
        int &key = m_listKeys[id];
        if (key == 0)
            key = m_nextListKey++;
        end.listKey = key;
        end.listFormat = m_lists.format(p.listOverride, p.listLevel);
        // A level starts its numbering again after an item of a higher level.
        for (int level = p.listLevel + 1; level < RtfListTable::maxLevels; ++level)
            m_listKeys.remove(listLevelId(p.listOverride, level));
        m_oldListKeys.clear();
    } else if (p.oldList != RtfParagraphState::NoOldList) {
        int &key = m_oldListKeys[p.oldListLevel];
        if (key == 0)
            key = m_nextListKey++;
        for (int level = p.oldListLevel + 1; level < RtfListTable::maxLevels; ++level)
            m_oldListKeys.remove(level);
        end.listKey = key;
        end.listFormat.setStyle(QTextListFormat::Style(-int(p.oldListStyle)));
        end.listFormat.setIndent(p.oldListLevel + 1);
    } else {
        m_oldListKeys.clear();
    }
    if (end.listKey != 0)
        indent = end.listFormat.indent();
    end.block = RtfFormats::blockFormat(p, indent, m_document->indentWidth());
    return end;
}

void RtfParser::endParagraph()
{
    flushText();
    contentEvent();
    m_builder.endParagraph(paragraphEnd(), group().paragraph.inTable);
}

void RtfParser::endDocument()
{
    flushText();
    flushPendingPicture();
    if (m_builder.paragraphHasContent())
        m_builder.endParagraph(paragraphEnd(), group().paragraph.inTable);
    m_builder.finish();
}

// --- tables of the header -------------------------------------------------------------

void RtfParser::commitFont()
{
    if (!m_fontPending)
        return;
    m_fontPending = false;
    RtfFont font;
    font.name = m_fontName.take().trimmed();
    font.codePage = m_fontCodePage > 0 ? m_fontCodePage : RtfCodePage::forCharset(m_fontCharset);
    m_formats.setFont(m_fontNumber, font);
}

void RtfParser::commitColor()
{
    m_formats.addColor(m_colorHasComponent ? QColor(m_red, m_green, m_blue) : QColor());
    m_red = m_green = m_blue = 0;
    m_colorHasComponent = false;
}

// --- pictures -------------------------------------------------------------------------

void RtfParser::finishPicture(const Group &closed)
{
    QString error;
    QImage image = m_picture.decode(&error, maxTotalImagePixels - m_imagePixels);
    const bool raster = !image.isNull();
    const QSizeF size = m_picture.displaySize(image);
    if (!raster) {
        if (m_picture.format != RtfPicture::Metafile)
            warn(error);
        image = RtfPicture::placeholder(size);
    }
    m_picture = RtfPicture();

    if (closed.inShpPict) {
        // Word writes the picture twice: {\*\shppict …} and {\nonshppict …} for old readers.
        // A metafile here waits for a raster version in the \nonshppict that follows.
        if (raster) {
            insertImage(image, size);
            m_skipNonShpPict = true;
        } else {
            m_pendingPlaceholder = std::make_pair(image, size);
        }
        return;
    }
    if (closed.inNonShpPict) {
        if (raster) {
            m_pendingPlaceholder.reset();
            insertImage(image, size);
        } else if (!m_pendingPlaceholder) {
            m_pendingPlaceholder = std::make_pair(image, size);
        }
        return;
    }
    insertImage(image, size);
}

void RtfParser::flushPendingPicture()
{
    m_skipNonShpPict = false;
    if (!m_pendingPlaceholder)
        return;
    const auto pending = *m_pendingPlaceholder;
    m_pendingPlaceholder.reset();
    insertImage(pending.first, pending.second);
}

void RtfParser::contentEvent()
{
    if (m_pendingPlaceholder || m_skipNonShpPict)
        flushPendingPicture();
}

void RtfParser::insertImage(const QImage &image, const QSizeF &size)
{
    const qint64 pixels = qint64(image.width()) * image.height();
    if (m_imagePixels + pixels > maxTotalImagePixels) {
        warn(QStringLiteral("pictures beyond %1 megapixels in total were left out")
                 .arg(maxTotalImagePixels / (1024 * 1024)));
        return;
    }
    m_imagePixels += pixels;
    QString name;
    do {
        name = QStringLiteral("rtfimage://%1").arg(++m_imageCounter);
    } while (m_document->resource(QTextDocument::ImageResource, QUrl(name)).isValid());
    m_document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    flushText();
    m_builder.insertText(QString(QChar::ObjectReplacementCharacter), format);
}
