#include "documentsnapshot.h"

#include <QCryptographicHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

namespace {

QString number(qreal value)
{
    return QString::number(value, 'g', 6);
}

QString brush(const QTextFormat &format, int property)
{
    if (!format.hasProperty(property))
        return QStringLiteral("none");
    const QBrush b = format.brushProperty(property);
    return b.style() == Qt::NoBrush ? QStringLiteral("none") : b.color().name(QColor::HexArgb);
}

class Describer
{
public:
    explicit Describer(const QTextDocument &document)
        : m_document(document)
    { }

    QStringList lines;

    void frame(const QTextFrame *frame, const QString &indent)
    {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (const QTextFrame *child = it.currentFrame()) {
                if (const auto *t = qobject_cast<const QTextTable *>(child))
                    table(t, indent);
                else
                    this->frame(child, indent);
            } else {
                block(it.currentBlock(), indent);
            }
        }
    }

private:
    void table(const QTextTable *t, const QString &indent)
    {
        const QTextTableFormat f = t->format();
        QStringList widths;
        for (const QTextLength &l : f.columnWidthConstraints())
            widths << QStringLiteral("%1:%2").arg(l.type()).arg(number(l.rawValue()));
        lines << indent
                + QStringLiteral("table %1x%2 widths=[%3] border=%4 padding=%5")
                      .arg(t->rows())
                      .arg(t->columns())
                      .arg(widths.join(','))
                      .arg(number(f.border()))
                      .arg(number(f.cellPadding()));
        for (int r = 0; r < t->rows(); ++r) {
            for (int c = 0; c < t->columns(); ++c) {
                const QTextTableCell cell = t->cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;
                lines << indent
                        + QStringLiteral(" cell %1,%2 span %3x%4 bg=%5")
                              .arg(r)
                              .arg(c)
                              .arg(cell.rowSpan())
                              .arg(cell.columnSpan())
                              .arg(brush(cell.format(), QTextFormat::BackgroundBrush));
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
            int &id = m_listIds[l];
            if (id == 0)
                id = int(m_listIds.size());
            const QTextListFormat lf = l->format();
            list = QStringLiteral(" list#%1 style=%2 indent=%3 prefix='%4' suffix='%5'")
                       .arg(id)
                       .arg(lf.style())
                       .arg(lf.indent())
                       .arg(lf.numberPrefix(),
                           lf.hasProperty(QTextFormat::ListNumberSuffix) ? lf.numberSuffix()
                                                                         : QStringLiteral("."));
        }
        lines << indent
                + QStringLiteral("block align=%1 margins=%2,%3,%4,%5 indent=%6 line=%7:%8%9")
                      .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
                      .arg(number(f.leftMargin()), number(f.topMargin()), number(f.rightMargin()),
                          number(f.bottomMargin()), number(f.textIndent()))
                      .arg(f.lineHeightType())
                      .arg(number(f.lineHeightType() == QTextBlockFormat::SingleHeight
                              ? 0
                              : f.lineHeight()))
                      .arg(list);
        lines << indent + QStringLiteral(" mark ") + chars(b.charFormat());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat cf = fragment.charFormat();
            if (cf.isImageFormat()) {
                const QTextImageFormat image = cf.toImageFormat();
                for (int i = 0; i < fragment.length(); ++i)
                    lines << indent + QStringLiteral(" image ") + this->image(image);
                continue;
            }
            lines << indent + QStringLiteral(" run '%1' ").arg(fragment.text()) + chars(cf);
        }
    }

    QString chars(const QTextCharFormat &f) const
    {
        const QStringList families = f.fontFamilies().toStringList();
        const QString family
            = families.isEmpty() ? m_document.defaultFont().family() : families.first();
        const qreal size = f.hasProperty(QTextFormat::FontPointSize)
            ? f.fontPointSize()
            : m_document.defaultFont().pointSizeF();
        return QStringLiteral("font='%1' %2pt w%3 i%4 u%5 s%6 va%7 fg=%8 bg=%9")
            .arg(family, number(size))
            .arg(f.fontWeight() >= QFont::DemiBold ? 700 : 400)
            .arg(f.fontItalic())
            .arg(f.underlineStyle())
            .arg(f.fontStrikeOut())
            .arg(f.verticalAlignment())
            // The first block of a cell (and the one after a table) has the cell's format,
            // whose background is the cell's, described with the cell.
            .arg(brush(f, QTextFormat::ForegroundBrush),
                f.isTableCellFormat() ? QStringLiteral("none")
                                      : brush(f, QTextFormat::BackgroundBrush));
    }

    QString image(const QTextImageFormat &f) const
    {
        const QVariant resource = m_document.resource(QTextDocument::ImageResource, QUrl(f.name()));
        QImage image = resource.value<QImage>();
        if (image.isNull() && resource.typeId() == QMetaType::QByteArray)
            image.loadFromData(resource.toByteArray());
        if (image.isNull())
            image.load(f.name());
        image = image.convertToFormat(QImage::Format_ARGB32);
        QCryptographicHash hash(QCryptographicHash::Md5);
        for (int y = 0; y < image.height(); ++y)
            hash.addData(QByteArrayView(
                reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4));
        return QStringLiteral("%1x%2 pixels=%3x%4 md5=%5")
            .arg(number(f.width()), number(f.height()))
            .arg(image.width())
            .arg(image.height())
            .arg(QString::fromLatin1(hash.result().toHex().left(12)));
    }

    const QTextDocument &m_document;
    QHash<const QTextList *, int> m_listIds;
};

} // namespace

QStringList DocumentSnapshot::describe(const QTextDocument &document)
{
    Describer describer(document);
    describer.frame(document.rootFrame(), QString());
    return describer.lines;
}
