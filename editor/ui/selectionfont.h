#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

class QTextCursor;

// The font of a canvas selection as the font boxes show it: a name and a size only where the
// whole selection has one. Without a selection, the font the caret types with.
struct SelectionFont
{
    std::optional<QString> family;
    std::optional<qreal> pointSize;
};

Q_DECLARE_METATYPE(SelectionFont)

SelectionFont selectionFont(const QTextCursor &cursor);

// A point size as the size box writes it: "12", "10.5".
QString fontSizeText(qreal pointSize);
