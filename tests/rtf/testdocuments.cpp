#include "testdocuments.h"

#include "rtfreader.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

namespace TestDocuments {

namespace {

QString n(qreal value)
{
    return QString::number(value, 'g', 6);
}

QString brush(const QTextFormat &format, int property)
{
    const QBrush b = format.brushProperty(property);
    return format.hasProperty(property) && b.style() != Qt::NoBrush
        ? b.color().name(QColor::HexArgb)
        : QStringLiteral("none");
}

struct Describer
{
    const QTextDocument &document;
    QStringList lines;
    QHash<const QTextList *, int> listIds;

    void frame(const QTextFrame *frame, const QString &indent)
    {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (const auto *table = qobject_cast<const QTextTable *>(it.currentFrame()))
                this->table(table, indent);
            else if (it.currentFrame())
                this->frame(it.currentFrame(), indent);
            else
                block(it.currentBlock(), indent);
        }
    }

    void table(const QTextTable *t, const QString &indent)
    {
        QStringList widths;
        for (const QTextLength &l : t->format().columnWidthConstraints())
            widths << QString::number(l.type()) + ':' + n(l.rawValue());
        lines << indent
                + QStringLiteral("table %1x%2 widths=[%3] border=%4 padding=%5")
                      .arg(n(t->rows()), n(t->columns()), widths.join(','), n(t->format().border()),
                          n(t->format().cellPadding()));
        for (int r = 0; r < t->rows(); ++r) {
            for (int c = 0; c < t->columns(); ++c) {
                const QTextTableCell cell = t->cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;
                // Padding of each side as laid out: the cell's own, else the table's.
                QStringList padding;
                for (int side :
                    { QTextFormat::TableCellLeftPadding, QTextFormat::TableCellTopPadding,
                        QTextFormat::TableCellRightPadding, QTextFormat::TableCellBottomPadding })
                    padding << n(cell.format().hasProperty(side)
                            ? cell.format().doubleProperty(side)
                            : t->format().cellPadding());
                lines << indent
                        + QStringLiteral(" cell %1,%2 span %3x%4 bg=%5 pad=%6")
                              .arg(n(r), n(c), n(cell.rowSpan()), n(cell.columnSpan()),
                                  brush(cell.format(), QTextFormat::BackgroundBrush),
                                  padding.join(','));
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (!it.currentFrame())
                        block(it.currentBlock(), indent + QStringLiteral("  "));
                }
            }
        }
    }

    void block(const QTextBlock &b, const QString &indent)
    {
        const QTextBlockFormat f = b.blockFormat();
        QString list;
        if (const QTextList *l = b.textList()) {
            if (!listIds.contains(l))
                listIds.insert(l, int(listIds.size()) + 1);
            const QTextListFormat lf = l->format();
            list = QStringLiteral(" list#%1 style=%2 indent=%3 prefix='%4' suffix='%5'")
                       .arg(n(listIds.value(l)), n(lf.style()), n(lf.indent()), lf.numberPrefix(),
                           lf.hasProperty(QTextFormat::ListNumberSuffix) ? lf.numberSuffix()
                                                                         : QStringLiteral("."));
        }
        const bool single = f.lineHeightType() == QTextBlockFormat::SingleHeight;
        lines << indent
                + QStringLiteral("block align=%1 margins=%2,%3,%4,%5 indent=%6 line=%7:%8")
                      .arg(n(f.alignment() & Qt::AlignHorizontal_Mask), n(f.leftMargin()),
                          n(f.topMargin()), n(f.rightMargin()), n(f.bottomMargin()),
                          n(f.textIndent()), n(f.lineHeightType()), n(single ? 0 : f.lineHeight()))
                + list;
        lines << indent + QStringLiteral(" mark ") + chars(b.charFormat());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat cf = fragment.charFormat();
            for (int i = 0; cf.isImageFormat() && i < fragment.length(); ++i)
                lines << indent + QStringLiteral(" image ") + image(cf.toImageFormat());
            if (!cf.isImageFormat())
                lines << indent + QStringLiteral(" run '%1' ").arg(fragment.text()) + chars(cf);
        }
    }

    QString chars(const QTextCharFormat &f) const
    {
        const QStringList families = f.fontFamilies().toStringList();
        const qreal size = f.hasProperty(QTextFormat::FontPointSize)
            ? f.fontPointSize()
            : document.defaultFont().pointSizeF();
        // The first block of a cell (and the one after a table) has the cell's format, whose
        // background is the cell's, described with the cell.
        return QStringLiteral("font='%1' %2pt w%3 i%4 u%5 s%6 va%7 fg=%8 bg=%9")
            .arg(families.value(0, document.defaultFont().family()), n(size),
                n(f.fontWeight() >= QFont::DemiBold ? 700 : 400), n(f.fontItalic()),
                n(f.underlineStyle()), n(f.fontStrikeOut()), n(f.verticalAlignment()),
                brush(f, QTextFormat::ForegroundBrush),
                f.isTableCellFormat() ? QStringLiteral("none")
                                      : brush(f, QTextFormat::BackgroundBrush));
    }

    QString image(const QTextImageFormat &f) const
    {
        const QImage image = imageOf(document, f).convertToFormat(QImage::Format_ARGB32);
        QCryptographicHash hash(QCryptographicHash::Md5);
        for (int y = 0; y < image.height(); ++y)
            hash.addData(QByteArrayView(
                reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4));
        return QStringLiteral("%1x%2 pixels=%3x%4 md5=%5")
            .arg(n(f.width()), n(f.height()), n(image.width()), n(image.height()),
                QString::fromLatin1(hash.result().toHex().left(12)));
    }
};

} // namespace

std::unique_ptr<QTextDocument> newDocument()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    return document;
}

std::unique_ptr<QTextDocument> read(const QByteArray &rtf, RtfReadResult *result)
{
    auto document = newDocument();
    const RtfReadResult r = RtfReader::read(rtf, document.get());
    if (result)
        *result = r;
    return document;
}

QTextCharFormat chars(const QString &family, qreal size, const QColor &color)
{
    QTextCharFormat f;
    f.setFontFamilies({ family });
    f.setFontPointSize(size);
    if (color.isValid())
        f.setForeground(color);
    return f;
}

QTextTable *firstTable(const QTextDocument &document)
{
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame()))
            return table;
    }
    return nullptr;
}

QString tableText(const QTextTable *table)
{
    QStringList rows;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c)
                continue; // covered by a span
            QTextCursor cursor(table->document());
            cursor.setPosition(cell.firstPosition());
            cursor.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
            cells << cursor.selectedText().replace(QChar::ParagraphSeparator, '|');
            if (cell.rowSpan() > 1 || cell.columnSpan() > 1)
                cells.last()
                    += QStringLiteral("[%1x%2]").arg(cell.rowSpan()).arg(cell.columnSpan());
        }
        rows << cells.join(';');
    }
    return rows.join('/');
}

QList<QTextImageFormat> images(const QTextDocument &document)
{
    QList<QTextImageFormat> out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            for (int i = 0; f.isImageFormat() && i < it.fragment().length(); ++i)
                out << f.toImageFormat();
        }
    }
    return out;
}

QImage imageOf(const QTextDocument &document, const QTextImageFormat &format)
{
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image = resource.value<QImage>();
    if (image.isNull() && resource.typeId() == QMetaType::QByteArray)
        image.loadFromData(resource.toByteArray());
    if (image.isNull())
        image.load(format.name());
    return image;
}

QByteArray encoded(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

std::unique_ptr<QTextDocument> samplePage()
{
    const QColor red(255, 0, 0), green(0, 255, 0), yellow(255, 255, 0);
    auto document = newDocument();
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    frame.setBackground(yellow);
    document->rootFrame()->setFrameFormat(frame);
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(green);
    picture.setPixelColor(0, 0, red);
    picture.setPixelColor(5, 3, yellow);
    document->addResource(QTextDocument::ImageResource, QUrl("mem:picture"), picture);
    const QTextCharFormat body = chars("DejaVu Sans", 10);
    QTextCursor c(document.get());
    auto paragraph = [&](const QString &text, Qt::Alignment alignment = Qt::AlignLeft,
                         qreal lineHeight = 0, int type = QTextBlockFormat::SingleHeight) {
        QTextBlockFormat f;
        f.setAlignment(alignment);
        f.setLineHeight(lineHeight, type);
        c.insertBlock(f, body);
        c.insertText(text, body);
    };

    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    centre.setTopMargin(1);
    centre.setBottomMargin(5);
    c.setBlockFormat(centre);
    c.insertText("auto ", body);
    c.insertText("red ", chars("DejaVu Sans", 10, red));
    c.insertText("green ", chars("DejaVu Sans", 10, green));
    c.insertText("yellow ", chars("DejaVu Serif", 17.5, yellow));
    // CJK text: LibreOffice keeps its size and font apart from those of other text.
    c.insertText(QString::fromUtf8("你好 "), chars("DejaVu Serif", 14));
    c.insertText(QString::fromUtf8("中文"), body);
    QTextCharFormat f = chars("Liberation Mono", 8);
    f.setFontWeight(QFont::Bold);
    f.setFontItalic(true);
    f.setUnderlineStyle(QTextCharFormat::DashUnderline);
    f.setFontStrikeOut(true);
    f.setBackground(green);
    c.insertText("mixed ", f);
    for (auto style :
        { QTextCharFormat::SingleUnderline, QTextCharFormat::DotLine, QTextCharFormat::DashDotLine,
            QTextCharFormat::DashDotDotLine, QTextCharFormat::WaveUnderline }) {
        f = body;
        f.setUnderlineStyle(style);
        c.insertText(QString("under%1 ").arg(style), f);
    }
    f = body;
    f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText("sup", f);
    // A run without family or size takes the document's default font.
    c.insertText(" default", QTextCharFormat());
    paragraph(QString::fromUtf8("{braces} back\\slash tab\there é€ \xF0\x90\x8C\xB2 nb\u00a0sp "
                                "soft\u00adhy nb\u2011hy\u2028next line"));
    paragraph("right exact", Qt::AlignRight, 18, QTextBlockFormat::FixedHeight);
    paragraph("justified", Qt::AlignJustify, 150, QTextBlockFormat::ProportionalHeight);
    paragraph("at least", Qt::AlignLeft, 20, QTextBlockFormat::MinimumHeight);
    paragraph("indented");
    QTextBlockFormat indented = c.blockFormat();
    indented.setLeftMargin(20);
    indented.setRightMargin(10);
    indented.setTextIndent(-8);
    c.setBlockFormat(indented);

    // A bullet list around a nested numbered one, then one item of every other style.
    paragraph("bullet one");
    QTextList *bullets = c.createList(QTextListFormat::ListDisc);
    paragraph("nested i");
    QTextListFormat roman;
    roman.setStyle(QTextListFormat::ListLowerRoman);
    roman.setIndent(2);
    roman.setNumberSuffix(")");
    QTextList *numbers = c.createList(roman);
    paragraph("nested ii");
    numbers->add(c.block());
    paragraph("bullet two");
    bullets->add(c.block());
    QTextBlockFormat shifted = c.blockFormat();
    shifted.setLeftMargin(6);
    c.setBlockFormat(shifted);
    for (auto style : { QTextListFormat::ListCircle, QTextListFormat::ListSquare,
             QTextListFormat::ListDecimal, QTextListFormat::ListUpperAlpha,
             QTextListFormat::ListLowerAlpha, QTextListFormat::ListUpperRoman }) {
        paragraph(QString("style %1").arg(style));
        c.createList(style);
    }

    // A table with merged cells, a cell of two paragraphs, a cell background and padding.
    paragraph("before");
    c.insertBlock(QTextBlockFormat(), body);
    QTextTableFormat tableFormat;
    tableFormat.setColumnWidthConstraints({ QTextLength(QTextLength::FixedLength, 40),
        QTextLength(QTextLength::FixedLength, 60), QTextLength(QTextLength::FixedLength, 20) });
    tableFormat.setBorder(1);
    tableFormat.setCellSpacing(0);
    tableFormat.setCellPadding(2);
    QTextTable *table = c.insertTable(3, 3, tableFormat);
    table->mergeCells(0, 1, 1, 2);
    table->mergeCells(1, 0, 2, 1);
    const QStringList texts { "a", "bc", "", "d", "e", "f", "", "h", "i" };
    for (int i = 0; i < texts.size(); ++i) {
        if (!texts[i].isEmpty())
            table->cellAt(i / 3, i % 3)
                .firstCursorPosition()
                .insertText(texts[i], chars("DejaVu Sans", 10, red));
    }
    QTextCursor two = table->cellAt(1, 1).lastCursorPosition();
    two.insertBlock(centre, body);
    two.insertText("second paragraph", body);
    QTextTableCellFormat cellFormat = table->cellAt(2, 2).format().toTableCellFormat();
    cellFormat.setBackground(green);
    cellFormat.setTopPadding(6);
    cellFormat.setLeftPadding(4);
    table->cellAt(2, 2).setFormat(cellFormat);

    c.movePosition(QTextCursor::End);
    c.insertText("picture ", body);
    QTextImageFormat image;
    image.setName("mem:picture");
    image.setWidth(12);
    image.setHeight(8);
    c.insertImage(image);
    c.insertBlock(QTextBlockFormat(), chars("DejaVu Sans", 30)); // empty, big mark
    return document;
}

QStringList snapshot(const QTextDocument &document)
{
    Describer describer { document, {}, {} };
    describer.lines << QStringLiteral("page bg=")
            + brush(document.rootFrame()->frameFormat(), QTextFormat::BackgroundBrush);
    describer.frame(document.rootFrame(), QString());
    return describer.lines;
}

} // namespace TestDocuments
