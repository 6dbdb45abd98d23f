#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// Icons of the two toolbars' buttons, by button key: the desktop theme's standard icon where
// one exists (format-text-bold, document-new, ...), else our own. The three LED colours, the
// background and the bullet, numbering and spacing keys always use our own, since no theme
// icon says "this LED colour".
namespace CommandIcons {

// The standard toolbar's keys, in toolbar order.
QStringList standardBarKeys();

// The icon for a key of either toolbar; a null icon for an unknown key.
QIcon icon(const QString &key);

// The freedesktop theme name tried for a key, "" when the key always uses our own icon.
QString themeName(const QString &key);

// Our own icon for a key (a resource of this library); a null icon for an unknown key.
QIcon ownIcon(const QString &key);

} // namespace CommandIcons
