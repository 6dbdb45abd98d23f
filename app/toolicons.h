#pragma once

#include <QIcon>
#include <QString>

// Icons of the toolbar buttons, by button key ("新建", "粗体", ...): the desktop theme's
// where it has one, otherwise drawn here, so every button has a picture.
namespace ToolIcons {

// Lets the theme lookup fall back to Adwaita when the desktop names no icon theme (a bare X
// server, a virtual screen).
void installFallbackTheme();

QIcon forKey(const QString &key);

// The program's own icon.
QIcon applicationIcon();

} // namespace ToolIcons
