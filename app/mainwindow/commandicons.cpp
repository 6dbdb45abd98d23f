#include "commandicons.h"

#include "pagecommands.h"
#include "appresources.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStandardPaths>

namespace CommandIcons {

namespace {

struct IconNames
{
    QString theme; // freedesktop name, "" for none
    QString own; // file of ours under :/vantrel/icons
};

const QHash<QString, IconNames> &iconTable()
{
    static const QHash<QString, IconNames> table = {
        { Page::FormatKey::Bold, { QStringLiteral("format-text-bold"), "format-bold" } },
        { Page::FormatKey::Italic, { QStringLiteral("format-text-italic"), "format-italic" } },
        { Page::FormatKey::Underline,
            { QStringLiteral("format-text-underline"), "format-underline" } },
        { Page::FormatKey::StrikeOut,
            { QStringLiteral("format-text-strikethrough"), "format-strikeout" } },
        { Page::FormatKey::AlignLeft, { QStringLiteral("format-justify-left"), "align-left" } },
        { Page::FormatKey::AlignCentre,
            { QStringLiteral("format-justify-center"), "align-centre" } },
        { Page::FormatKey::AlignRight, { QStringLiteral("format-justify-right"), "align-right" } },
        { Page::FormatKey::Bullets, { QString(), "list-bullets" } },
        { Page::FormatKey::Numbering, { QString(), "list-numbering" } },
        { Page::FormatKey::IndentLess, { QStringLiteral("format-indent-less"), "indent-less" } },
        { Page::FormatKey::IndentMore, { QStringLiteral("format-indent-more"), "indent-more" } },
        { Page::FormatKey::Paragraph, { QString(), "line-spacing" } },
        { Page::FormatKey::ColorRed, { QString(), "text-red" } },
        { Page::FormatKey::ColorYellow, { QString(), "text-yellow" } },
        { Page::FormatKey::ColorGreen, { QString(), "text-green" } },
        { Page::FormatKey::Background, { QString(), "page-background" } },
        { QStringLiteral("新建"), { QStringLiteral("document-new"), "document-new" } },
        { QStringLiteral("打开"), { QStringLiteral("document-open"), "document-open" } },
        { QStringLiteral("保存"), { QStringLiteral("document-save"), "document-save" } },
        { QStringLiteral("剪切"), { QStringLiteral("edit-cut"), "edit-cut" } },
        { QStringLiteral("复制"), { QStringLiteral("edit-copy"), "edit-copy" } },
        { QStringLiteral("粘贴"), { QStringLiteral("edit-paste"), "edit-paste" } },
        { QStringLiteral("插入表格"), { QStringLiteral("insert-object"), "insert-object" } },
        { QStringLiteral("插入图片"), { QStringLiteral("insert-image"), "insert-image" } },
        { QStringLiteral("帮助"), { QStringLiteral("help-about"), "help-about" } },
    };
    return table;
}

// Without a desktop session (a bare X server, the offscreen platform) Qt knows no icon theme
// and no icon folders, and a fallback theme alone is not searched; an installed common theme
// then becomes the theme.
void ensureIconTheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString &data :
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString folder = QDir(data).filePath(QStringLiteral("icons"));
        if (!paths.contains(folder) && QDir(folder).exists())
            paths.append(folder);
    }
    QIcon::setThemeSearchPaths(paths);
    const QString current = QIcon::themeName();
    if (!current.isEmpty() && current != QLatin1String("hicolor"))
        return;
    for (const QString &theme : { QStringLiteral("Adwaita"), QStringLiteral("breeze"),
             QStringLiteral("Tango"), QStringLiteral("oxygen") }) {
        for (const QString &folder : paths) {
            if (QFile::exists(QDir(folder).filePath(theme + QStringLiteral("/index.theme")))) {
                QIcon::setThemeName(theme);
                return;
            }
        }
    }
}

} // namespace

QStringList standardBarKeys()
{
    return { QStringLiteral("新建"), QStringLiteral("打开"), QStringLiteral("保存"),
        QStringLiteral("剪切"), QStringLiteral("复制"), QStringLiteral("粘贴"),
        QStringLiteral("插入表格"), QStringLiteral("插入图片"), QStringLiteral("帮助") };
}

QString themeName(const QString &key)
{
    return iconTable().value(key).theme;
}

QIcon ownIcon(const QString &key)
{
    initAppResources();
    const auto it = iconTable().constFind(key);
    if (it == iconTable().constEnd())
        return {};
    return QIcon(QStringLiteral(":/vantrel/icons/%1.svg").arg(it->own));
}

QIcon icon(const QString &key)
{
    const QIcon own = ownIcon(key);
    const QString theme = themeName(key);
    if (theme.isEmpty())
        return own;
    ensureIconTheme();
    return QIcon::fromTheme(theme, own);
}

} // namespace CommandIcons
