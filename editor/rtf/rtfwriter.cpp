#include "rtfwriter.h"

#include "rtfcodepage.h"
#include "rtfformats.h"
#include "rtfimageencoder.h"
#include "rtflisttable.h"
#include "rtfstate.h"
#include "rtfunits.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <cmath>
#include <cstring>

namespace {

constexpr qreal defaultColumnWidth = 96; // pixels, for columns without a fixed width
constexpr qreal percentBase = 600; // pixels a 100 % wide table is written as
constexpr int maxListLevel = RtfListTable::maxLevels - 1;

QByteArray number(int value)
{
    return QByteArray::number(value);
}

int twips(qreal pixels)
{
    return RtfUnits::pixelsToTwips(pixels);
}

bool isBullet(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle
        || style == QTextListFormat::ListSquare;
}

int numberFormat(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return RtfListTable::Decimal;
    case QTextListFormat::ListUpperRoman:
        return RtfListTable::UpperRoman;
    case QTextListFormat::ListLowerRoman:
        return RtfListTable::LowerRoman;
    case QTextListFormat::ListUpperAlpha:
        return RtfListTable::UpperLetter;
    case QTextListFormat::ListLowerAlpha:
        return RtfListTable::LowerLetter;
    default:
        return RtfListTable::BulletFormat;
    }
}

// The bullet character of each bullet style; the reader maps them back.
char16_t bulletCharacter(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListCircle:
        return 0x25E6;
    case QTextListFormat::ListSquare:
        return 0x25AA;
    default:
        return 0x2022;
    }
}

QByteArray hexByte(int value)
{
    static const char digits[] = "0123456789abcdef";
    QByteArray out("\\'");
    out.append(digits[(value >> 4) & 0xF]);
    out.append(digits[value & 0xF]);
    return out;
}

// The format of a paragraph's mark. A table cell keeps its own properties (background,
// spans) in the character format of its first block; they are not text formats.
QTextCharFormat markFormat(const QTextBlock &block)
{
    QTextCharFormat format = block.charFormat();
    if (format.isTableCellFormat())
        format.clearBackground();
    return format;
}

bool hasEastAsian(QStringView text)
{
    // Most text has no character from U+1000 up, which four characters at a time tell.
    const char16_t *units = text.utf16();
    const qsizetype size = text.size();
    quint64 bits = 0;
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        quint64 four;
        memcpy(&four, units + i, sizeof four);
        bits |= four;
    }
    for (; i < size; ++i)
        bits |= units[i];
    if (!(bits & 0xF000F000F000F000ull))
        return false;
    for (i = 0; i < size; ++i) {
        const char16_t c = units[i];
        if (c < 0x1100)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < size
            && isEastAsianCharacter(QChar::surrogateToUcs4(c, units[i + 1])))
            return true;
        if (isEastAsianCharacter(c))
            return true;
    }
    return false;
}

int listLevel(const QTextList *list)
{
    return qBound(0, list->format().indent() - 1, maxListLevel);
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document)
{
    RtfWriter writer(document);
    return writer.run();
}

RtfWriter::RtfWriter(const QTextDocument &document)
    : m_document(document)
{
    const QFont font = document.defaultFont();
    m_defaultFamily = font.family();
    if (font.pointSizeF() > 0)
        m_defaultPointSize = font.pointSizeF();
    else if (font.pixelSize() > 0)
        m_defaultPointSize = font.pixelSize() * 0.75;
    m_fonts.append(m_defaultFamily);
    m_fontIndexes.insert(m_defaultFamily, 0);
}

QByteArray RtfWriter::run()
{
    m_body.reserve(m_document.characterCount() * 11 / 10 + 1024);
    writeFrame(m_document.rootFrame());
    QByteArray out = header();
    out.append(m_body);
    out.append("}\n");
    return out;
}

// --- structure ------------------------------------------------------------------------

void RtfWriter::writeFrame(const QTextFrame *frame)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame()) {
            if (const auto *table = qobject_cast<const QTextTable *>(child))
                writeTable(table);
            else
                writeFrame(child);
        } else {
            writeBlock(it.currentBlock(), false, false);
        }
    }
}

void RtfWriter::writeTable(const QTextTable *table)
{
    const QTextTableFormat format = table->format();
    const int columns = table->columns();
    QList<int> edges; // right edge of each column, twips
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    qreal x = 0;
    for (int c = 0; c < columns; ++c) {
        qreal width = defaultColumnWidth;
        if (c < constraints.size()) {
            const QTextLength &length = constraints.at(c);
            if (length.type() == QTextLength::FixedLength)
                width = length.rawValue();
            else if (length.type() == QTextLength::PercentageLength)
                width = length.rawValue() * percentBase / 100;
        }
        x += qBound<qreal>(1.0 / RtfUnits::twipsPerPixel, width,
            qreal(RtfUnits::maxLengthTwips) / RtfUnits::twipsPerPixel);
        // Edges are not clamped like lengths: they add up the widths of all columns.
        const int edge = int(qRound64(x * RtfUnits::twipsPerPixel));
        edges.append(edges.isEmpty() ? qMax(1, edge) : qMax(edges.last() + 1, edge));
    }
    const int border = format.border() > 0 ? qMax(1, twips(format.border())) : 0;
    const int padding = qMax(0, twips(format.cellPadding()));

    for (int r = 0; r < table->rows(); ++r) {
        m_encoder.appendControl(m_body, "\\trowd\\trgaph", padding);
        m_encoder.appendControl(m_body, "\\trleft0");
        if (padding > 0) {
            // \trgaph pads only left and right in Word and LibreOffice; Qt pads all sides.
            for (const char *side : { "\\trpaddl", "\\trpaddt", "\\trpaddr", "\\trpaddb" })
                m_encoder.appendControl(m_body, side, padding);
            m_encoder.appendControl(m_body, "\\trpaddfl3\\trpaddft3\\trpaddfr3\\trpaddfb3");
        }
        QList<QTextTableCell> cells; // cells written in this row, merged continuations included
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = table->cellAt(r, c);
            const int span = qMax(1, cell.columnSpan() - (c - cell.column()));
            if (cell.row() == r && cell.rowSpan() > 1)
                m_encoder.appendControl(m_body, "\\clvmgf");
            else if (cell.row() < r)
                m_encoder.appendControl(m_body, "\\clvmrg");
            const QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
            if (cellFormat.hasProperty(QTextFormat::BackgroundBrush)
                && cellFormat.background().style() != Qt::NoBrush)
                m_encoder.appendControl(
                    m_body, "\\clcbpat", colorIndex(cellFormat.background().color()));
            // Sides padded unlike the table. Word swaps \clpadl and \clpadt (top, then left).
            const std::pair<QTextFormat::Property, const char *> sides[] = {
                { QTextFormat::TableCellTopPadding, "\\clpadfl3\\clpadl" },
                { QTextFormat::TableCellLeftPadding, "\\clpadft3\\clpadt" },
                { QTextFormat::TableCellRightPadding, "\\clpadfr3\\clpadr" },
                { QTextFormat::TableCellBottomPadding, "\\clpadfb3\\clpadb" },
            };
            for (const auto &[property, words] : sides) {
                const int side = qMax(0, twips(cellFormat.doubleProperty(property)));
                if (cellFormat.hasProperty(property) && side != padding)
                    m_encoder.appendControl(m_body, words, side);
            }
            if (border > 0) {
                for (const char *side : { "\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr" }) {
                    m_encoder.appendControl(m_body, side);
                    m_encoder.appendControl(m_body, "\\brdrs\\brdrw", border);
                }
            }
            m_encoder.appendControl(m_body, "\\cellx", edges.at(qMin(c + span, columns) - 1));
            cells.append(cell);
            c += span;
        }
        m_body.append('\n');
        for (const QTextTableCell &cell : cells) {
            if (cell.row() < r) {
                // The continuation of a cell merged from above is an empty cell.
                m_encoder.appendControl(m_body, "\\pard\\intbl\\cell");
                continue;
            }
            writeCellContent(table, cell.firstPosition(), cell.lastPosition());
        }
        m_encoder.appendControl(m_body, "\\row");
        m_body.append('\n');
    }
}

void RtfWriter::writeCellContent(const QTextFrame *tableFrame, int firstPosition, int lastPosition)
{
    // Blocks of the cell; nested tables are written as their paragraphs.
    QList<QTextBlock> blocks;
    for (QTextBlock b = m_document.findBlock(firstPosition);
         b.isValid() && b.position() <= lastPosition; b = b.next())
        blocks.append(b);
    Q_UNUSED(tableFrame);
    if (blocks.isEmpty()) {
        m_encoder.appendControl(m_body, "\\pard\\intbl\\cell");
        return;
    }
    for (qsizetype i = 0; i < blocks.size(); ++i)
        writeBlock(blocks.at(i), true, i + 1 == blocks.size());
}

void RtfWriter::writeBlock(const QTextBlock &block, bool inTable, bool lastInCell)
{
    const QTextList *list = block.textList();
    if (list)
        writeListText(block, list);
    m_encoder.appendControl(m_body, "\\pard\\plain");
    if (inTable)
        m_encoder.appendControl(m_body, "\\intbl");
    writeParagraphFormat(block.blockFormat(), list);
    writeMarkFormat(block);

    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            const QString text = fragment.text();
            for (QChar c : text) {
                if (c == QChar::ObjectReplacementCharacter)
                    writeImage(format);
            }
            continue;
        }
        // \plain: runs do not inherit the format of the paragraph mark.
        m_encoder.appendRaw(m_body, "{");
        m_encoder.appendControl(m_body, "\\plain");
        writeCachedCharFormat(m_runFormats, fragment.charFormatIndex(), format);
        const QString text = fragment.text();
        if (hasEastAsian(text)) {
            // Word and LibreOffice show CJK text in the run's East Asian font, else in one
            // of their own.
            m_encoder.appendControl(m_body, "\\dbch\\af", fontIndex(format));
            m_encoder.appendControl(m_body, "\\loch");
        }
        m_encoder.appendText(m_body, text);
        m_encoder.appendRaw(m_body, "}");
    }
    m_encoder.appendControl(m_body, lastInCell ? "\\cell" : "\\par");
    m_body.append('\n');
}

void RtfWriter::writeListText(const QTextBlock &block, const QTextList *list)
{
    // The marker as text, for readers that do not know \ls (they show \listtext).
    const QTextListFormat::Style style = list->format().style();
    QString marker;
    if (isBullet(style))
        marker = QChar(bulletCharacter(style));
    else
        marker = list->itemText(block);
    m_encoder.appendRaw(m_body, "{\\listtext");
    m_encoder.appendControl(m_body, "\\pard\\plain");
    writeMarkFormat(block);
    m_encoder.appendText(m_body, marker);
    m_encoder.appendControl(m_body, "\\tab");
    m_encoder.appendRaw(m_body, "}");
}

void RtfWriter::writeParagraphFormat(const QTextBlockFormat &format, const QTextList *list)
{
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        m_encoder.appendControl(m_body, "\\qc");
    else if (alignment & Qt::AlignJustify)
        m_encoder.appendControl(m_body, "\\qj");
    else if ((alignment & Qt::AlignRight)
        || ((alignment & Qt::AlignTrailing) && !(alignment & Qt::AlignAbsolute)))
        m_encoder.appendControl(m_body, "\\qr");

    const qreal indentWidth = m_document.indentWidth();
    qreal left = format.leftMargin();
    qreal first = format.textIndent();
    if (list) {
        m_encoder.appendControl(m_body, "\\ls", listNumber(list));
        m_encoder.appendControl(m_body, "\\ilvl", listLevel(list));
        left += list->format().indent() * indentWidth;
        first -= RtfFormats::listMarkerHanging;
    } else {
        left += format.indent() * indentWidth;
    }
    if (twips(left) != 0)
        m_encoder.appendControl(m_body, "\\li", twips(left));
    if (twips(first) != 0)
        m_encoder.appendControl(m_body, "\\fi", twips(first));
    if (twips(format.rightMargin()) != 0)
        m_encoder.appendControl(m_body, "\\ri", twips(format.rightMargin()));
    if (twips(format.topMargin()) != 0)
        m_encoder.appendControl(m_body, "\\sb", twips(format.topMargin()));
    if (twips(format.bottomMargin()) != 0)
        m_encoder.appendControl(m_body, "\\sa", twips(format.bottomMargin()));

    const qreal height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::FixedHeight:
        // A negative \sl is an exact line height.
        m_encoder.appendControl(m_body, "\\sl", -qMax(1, twips(height)));
        m_encoder.appendControl(m_body, "\\slmult0");
        break;
    case QTextBlockFormat::MinimumHeight:
        if (twips(height) > 0) {
            m_encoder.appendControl(m_body, "\\sl", twips(height));
            m_encoder.appendControl(m_body, "\\slmult0");
        }
        break;
    case QTextBlockFormat::ProportionalHeight:
        if (height > 0) {
            m_encoder.appendControl(m_body, "\\sl", qRound(height * 240 / 100));
            m_encoder.appendControl(m_body, "\\slmult1");
        }
        break;
    default:
        break;
    }
}

void RtfWriter::writeMarkFormat(const QTextBlock &block)
{
    writeCachedCharFormat(m_markFormats, block.charFormatIndex(), markFormat(block));
}

void RtfWriter::writeCachedCharFormat(
    QHash<int, QByteArray> &cache, int index, const QTextCharFormat &format)
{
    // Documents use few distinct formats: encode each once.
    const auto it = cache.constFind(index);
    if (it == cache.constEnd()) {
        const qsizetype start = m_body.size();
        writeCharFormat(format);
        cache.insert(index, m_body.mid(start));
        return;
    }
    m_encoder.appendControl(m_body, *it);
}

void RtfWriter::writeCharFormat(const QTextCharFormat &format)
{
    m_encoder.appendControl(m_body, "\\f", fontIndex(format));
    qreal points = m_defaultPointSize;
    if (format.hasProperty(QTextFormat::FontPointSize))
        points = format.fontPointSize();
    else if (format.hasProperty(QTextFormat::FontPixelSize))
        points = format.intProperty(QTextFormat::FontPixelSize) * 0.75;
    m_encoder.appendControl(m_body, "\\fs", qMax(1, qRound(points * 2)));
    if (format.fontWeight() >= QFont::DemiBold)
        m_encoder.appendControl(m_body, "\\b");
    if (format.fontItalic())
        m_encoder.appendControl(m_body, "\\i");
    switch (format.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
        break;
    case QTextCharFormat::DashUnderline:
        m_encoder.appendControl(m_body, "\\uldash");
        break;
    case QTextCharFormat::DotLine:
        m_encoder.appendControl(m_body, "\\uld");
        break;
    case QTextCharFormat::DashDotLine:
        m_encoder.appendControl(m_body, "\\uldashd");
        break;
    case QTextCharFormat::DashDotDotLine:
        m_encoder.appendControl(m_body, "\\uldashdd");
        break;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        m_encoder.appendControl(m_body, "\\ulwave");
        break;
    default:
        m_encoder.appendControl(m_body, "\\ul");
        break;
    }
    if (format.fontStrikeOut())
        m_encoder.appendControl(m_body, "\\strike");
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        m_encoder.appendControl(m_body, "\\super");
        break;
    case QTextCharFormat::AlignSubScript:
        m_encoder.appendControl(m_body, "\\sub");
        break;
    default:
        break;
    }
    if (format.fontCapitalization() == QFont::AllUppercase)
        m_encoder.appendControl(m_body, "\\caps");
    else if (format.fontCapitalization() == QFont::SmallCaps)
        m_encoder.appendControl(m_body, "\\scaps");
    if (format.hasProperty(QTextFormat::ForegroundBrush)
        && format.foreground().style() != Qt::NoBrush)
        m_encoder.appendControl(m_body, "\\cf", colorIndex(format.foreground().color()));
    if (format.hasProperty(QTextFormat::BackgroundBrush)
        && format.background().style() != Qt::NoBrush)
        m_encoder.appendControl(m_body, "\\highlight", colorIndex(format.background().color()));
}

void RtfWriter::writeImage(const QTextCharFormat &format)
{
    const QTextImageFormat image = format.toImageFormat();
    const QString name = image.name();
    auto it = m_pictures.constFind(name);
    if (it == m_pictures.constEnd()) {
        const QImage picture = RtfImageEncoder::resolve(m_document, name);
        QByteArray group;
        if (!picture.isNull()) {
            const QSizeF size(image.hasProperty(QTextFormat::ImageWidth) ? image.width() : 0,
                image.hasProperty(QTextFormat::ImageHeight) ? image.height() : 0);
            group = RtfImageEncoder::pictGroup(picture, size);
        }
        it = m_pictures.insert(name, group);
    }
    m_encoder.appendRaw(m_body, *it);
}

// --- tables of the header -------------------------------------------------------------

int RtfWriter::fontIndex(const QTextCharFormat &format)
{
    QString family;
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        family = families.first();
    else if (format.hasProperty(QTextFormat::FontFamily))
        family = format.stringProperty(QTextFormat::FontFamily);
    if (family.isEmpty())
        return 0;
    auto it = m_fontIndexes.constFind(family);
    if (it != m_fontIndexes.constEnd())
        return *it;
    const int index = int(m_fonts.size());
    m_fonts.append(family);
    m_fontIndexes.insert(family, index);
    return index;
}

int RtfWriter::colorIndex(const QColor &color)
{
    const QRgb rgb = color.rgb();
    auto it = m_colorIndexes.constFind(rgb);
    if (it != m_colorIndexes.constEnd())
        return *it;
    m_colors.append(QColor(rgb));
    const int index = int(m_colors.size()); // entry 0 is the automatic colour
    m_colorIndexes.insert(rgb, index);
    return index;
}

int RtfWriter::listNumber(const QTextList *list)
{
    auto it = m_listNumbers.constFind(list);
    if (it != m_listNumbers.constEnd())
        return *it;
    m_lists.append(list);
    const int n = int(m_lists.size());
    m_listNumbers.insert(list, n);
    return n;
}

QByteArray RtfWriter::header() const
{
    QByteArray out;
    RtfTextEncoder encoder;
    out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033\n{\\fonttbl");
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        out.append("{\\f" + number(int(i)) + "\\fnil\\fcharset0 ");
        encoder.appendText(out, m_fonts.at(i));
        out.append(";}");
    }
    out.append("}\n{\\colortbl ;");
    for (const QColor &c : m_colors) {
        out.append("\\red" + number(c.red()) + "\\green" + number(c.green()) + "\\blue"
            + number(c.blue()) + ';');
    }
    out.append("}\n");
    out.append(listTables());
    out.append("{\\*\\generator Vantrel;}\\viewkind4\\uc1");
    const QBrush brush = m_document.rootFrame()->frameFormat().background();
    if (brush.style() != Qt::NoBrush)
        out.append("\\viewbksp1\n").append(background());
    out.append('\n');
    return out;
}

QByteArray RtfWriter::background() const
{
    // Word's page background: a shape whose fillColor is 0x00BBGGRR.
    const QColor c = m_document.rootFrame()->frameFormat().background().color();
    const int bgr = c.red() | (c.green() << 8) | (c.blue() << 16);
    QByteArray out("{\\*\\background {\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright0\\shpbottom0"
                   "\\shpfhdr0\\shpbxmargin\\shpbymargin\\shpwr0\\shpwrk0\\shpfblwtxt1\\shpz0"
                   "\\shplid1025{\\sp{\\sn shapeType}{\\sv 1}}{\\sp{\\sn fFlipH}{\\sv 0}}"
                   "{\\sp{\\sn fFlipV}{\\sv 0}}{\\sp{\\sn fillColor}{\\sv ");
    out.append(number(bgr));
    out.append(
        "}}{\\sp{\\sn fFilled}{\\sv 1}}{\\sp{\\sn lineWidth}{\\sv 0}}{\\sp{\\sn fLine}{\\sv 0}}"
        "{\\sp{\\sn fBackground}{\\sv 1}}{\\sp{\\sn fLayoutInCell}{\\sv 1}}}}}\n");
    return out;
}

QByteArray RtfWriter::listTables() const
{
    if (m_lists.isEmpty())
        return QByteArray();
    const qreal indentWidth = m_document.indentWidth();
    QByteArray out("{\\*\\listtable");
    for (qsizetype i = 0; i < m_lists.size(); ++i) {
        const QTextListFormat format = m_lists.at(i)->format();
        const QTextListFormat::Style style = format.style();
        const int nfc = numberFormat(style);
        const int id = int(i) + 1;
        out.append("\n{\\list\\listtemplateid" + number(id) + "\\listsimple0");
        for (int level = 0; level <= maxListLevel; ++level) {
            out.append("{\\listlevel\\levelnfc" + number(nfc) + "\\levelnfcn" + number(nfc)
                + "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1{\\leveltext");
            if (isBullet(style)) {
                out.append(hexByte(1));
                RtfTextEncoder encoder;
                encoder.appendText(out, QString(QChar(bulletCharacter(style))));
                out.append(";}{\\levelnumbers;}");
            } else {
                const QString prefix = format.numberPrefix();
                const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix)
                    ? format.numberSuffix()
                    : QStringLiteral(".");
                out.append(hexByte(int(prefix.size() + 1 + suffix.size())));
                RtfTextEncoder encoder;
                encoder.appendText(out, prefix);
                out.append(hexByte(level));
                encoder.appendText(out, suffix);
                out.append(";}{\\levelnumbers" + hexByte(int(prefix.size()) + 1) + ";}");
            }
            const int left = twips((level + 1) * indentWidth);
            out.append("\\fi" + number(-twips(RtfFormats::listMarkerHanging)) + "\\li"
                + number(left) + "\\lin" + number(left) + "}");
        }
        out.append("{\\listname ;}\\listid" + number(id) + "}");
    }
    out.append("}\n{\\*\\listoverridetable");
    for (qsizetype i = 0; i < m_lists.size(); ++i) {
        const int id = int(i) + 1;
        out.append(
            "{\\listoverride\\listid" + number(id) + "\\listoverridecount0\\ls" + number(id) + "}");
    }
    out.append("}\n");
    return out;
}
