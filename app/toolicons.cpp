#include "toolicons.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace ToolIcons {

namespace {

// Theme icon names, by key.
const QHash<QString, QString> &themeNames()
{
    static const QHash<QString, QString> names {
        { QStringLiteral("新建"), QStringLiteral("document-new-symbolic") },
        { QStringLiteral("打开"), QStringLiteral("document-open-symbolic") },
        { QStringLiteral("保存"), QStringLiteral("document-save-symbolic") },
        { QStringLiteral("剪切"), QStringLiteral("edit-cut-symbolic") },
        { QStringLiteral("复制"), QStringLiteral("edit-copy-symbolic") },
        { QStringLiteral("粘贴"), QStringLiteral("edit-paste-symbolic") },
        { QStringLiteral("插入图片"), QStringLiteral("insert-image-symbolic") },
        { QStringLiteral("帮助"), QStringLiteral("help-browser-symbolic") },
        { QStringLiteral("粗体"), QStringLiteral("format-text-bold-symbolic") },
        { QStringLiteral("斜体"), QStringLiteral("format-text-italic-symbolic") },
        { QStringLiteral("下划线"), QStringLiteral("format-text-underline-symbolic") },
        { QStringLiteral("删除线"), QStringLiteral("format-text-strikethrough-symbolic") },
        { QStringLiteral("两端对齐"), QStringLiteral("format-justify-left-symbolic") },
        { QStringLiteral("居中"), QStringLiteral("format-justify-center-symbolic") },
        { QStringLiteral("右对齐"), QStringLiteral("format-justify-right-symbolic") },
        { QStringLiteral("项目符号"), QStringLiteral("view-list-bullet-symbolic") },
        { QStringLiteral("编号"), QStringLiteral("view-list-ordered-symbolic") },
        { QStringLiteral("减少缩进量"), QStringLiteral("format-indent-less-symbolic") },
        { QStringLiteral("增加缩进量"), QStringLiteral("format-indent-more-symbolic") },
    };
    return names;
}

// Glyphs drawn when the theme has no icon.
const QHash<QString, QString> &glyphs()
{
    static const QHash<QString, QString> glyph {
        { QStringLiteral("新建"), QStringLiteral("+") },
        { QStringLiteral("打开"), QStringLiteral("O") },
        { QStringLiteral("保存"), QStringLiteral("S") },
        { QStringLiteral("剪切"), QStringLiteral("✂") },
        { QStringLiteral("复制"), QStringLiteral("⧉") },
        { QStringLiteral("粘贴"), QStringLiteral("P") },
        { QStringLiteral("插入图片"), QStringLiteral("▨") },
        { QStringLiteral("帮助"), QStringLiteral("?") },
        { QStringLiteral("粗体"), QStringLiteral("B") },
        { QStringLiteral("斜体"), QStringLiteral("I") },
        { QStringLiteral("下划线"), QStringLiteral("U") },
        { QStringLiteral("删除线"), QStringLiteral("S") },
        { QStringLiteral("两端对齐"), QStringLiteral("⯇") },
        { QStringLiteral("居中"), QStringLiteral("≡") },
        { QStringLiteral("右对齐"), QStringLiteral("⯈") },
        { QStringLiteral("项目符号"), QStringLiteral("•") },
        { QStringLiteral("编号"), QStringLiteral("1.") },
        { QStringLiteral("减少缩进量"), QStringLiteral("⇤") },
        { QStringLiteral("增加缩进量"), QStringLiteral("⇥") },
        { QStringLiteral("段落"), QStringLiteral("¶") },
    };
    return glyph;
}

const QColor kInk(46, 52, 54); // the theme's symbolic grey

QPixmap canvasPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon glyphIcon(const QString &glyph)
{
    QIcon icon;
    for (int size : { 16, 24, 32 }) {
        QPixmap pixmap = canvasPixmap(size);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::TextAntialiasing);
        QFont font;
        font.setPixelSize(size * 3 / 4);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A letter A over a bar of the LED colour.
QIcon textColorIcon(const QColor &color)
{
    QIcon icon;
    for (int size : { 16, 24, 32 }) {
        QPixmap pixmap = canvasPixmap(size);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        QFont font;
        font.setPixelSize(size * 5 / 8);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRect(0, 0, size, size * 3 / 4), Qt::AlignCenter, QStringLiteral("A"));
        const int bar = qMax(3, size / 5);
        p.fillRect(QRect(size / 8, size - bar - 1, size - size / 4, bar), color);
        p.setPen(QColor(0, 0, 0, 90));
        p.drawRect(QRect(size / 8, size - bar - 1, size - size / 4 - 1, bar - 1));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A dark page with a dotted LED row: the page background.
QIcon backgroundIcon()
{
    QIcon icon;
    for (int size : { 16, 24, 32 }) {
        QPixmap pixmap = canvasPixmap(size);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF page(1.5, 2.5, size - 3, size - 5);
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(30, 30, 30));
        p.drawRoundedRect(page, 2, 2);
        const qreal r = size / 12.0;
        const QColor dots[] = { QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0) };
        for (int i = 0; i < 3; ++i) {
            p.setPen(Qt::NoPen);
            p.setBrush(dots[i]);
            p.drawEllipse(
                QPointF(page.left() + page.width() * (i + 1) / 4.0, page.center().y()), r, r);
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A small grid: a table.
QIcon tableIcon()
{
    QIcon icon;
    for (int size : { 16, 24, 32 }) {
        QPixmap pixmap = canvasPixmap(size);
        QPainter p(&pixmap);
        const int m = size / 8;
        const QRect box(m, m + 1, size - 2 * m - 1, size - 2 * m - 2);
        p.setPen(QPen(kInk, size >= 24 ? 2 : 1));
        p.fillRect(box.adjusted(0, 0, 0, -(box.height() * 2 / 3)), QColor(160, 160, 160));
        p.drawRect(box);
        for (int i = 1; i < 3; ++i) {
            const int x = box.left() + box.width() * i / 3;
            const int y = box.top() + box.height() * i / 3;
            p.drawLine(x, box.top(), x, box.bottom());
            p.drawLine(box.left(), y, box.right(), y);
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

void installFallbackTheme()
{
    const QString probe = QStringLiteral("document-open-symbolic");
    if (QIcon::hasThemeIcon(probe))
        return;
    const QString desktopTheme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    if (!QIcon::hasThemeIcon(probe))
        QIcon::setThemeName(desktopTheme);
}

QIcon forKey(const QString &key)
{
    if (key == QStringLiteral("字体颜色(红)"))
        return textColorIcon(QColor(255, 0, 0));
    if (key == QStringLiteral("字体颜色(黄)"))
        return textColorIcon(QColor(255, 215, 0));
    if (key == QStringLiteral("字体颜色(绿)"))
        return textColorIcon(QColor(0, 200, 0));
    if (key == QStringLiteral("背景"))
        return backgroundIcon();
    if (key == QStringLiteral("插入表格"))
        return tableIcon();
    const QString theme = themeNames().value(key);
    if (!theme.isEmpty() && QIcon::hasThemeIcon(theme))
        return QIcon::fromTheme(theme);
    return glyphIcon(glyphs().value(key, key.left(1)));
}

QIcon applicationIcon()
{
    return QIcon(QStringLiteral(":/vantrel/vantrel.svg"));
}

} // namespace ToolIcons
