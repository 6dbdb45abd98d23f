#pragma once

#include <QTextCursor>

class QTextDocument;

// Formatting operations on a page that more than one command needs, kept free of windows so
// tests can drive them.
namespace Page {

// Exact line pitch of the paragraph command: 270 twips (13.5 pt) = 18 canvas units at 96 dpi.
constexpr int kExactLineSpacingTwips = 270;
constexpr qreal kTwipsPerUnit = 15.0; // 1440 twips per inch, 96 units per inch
constexpr qreal exactLineSpacingUnits() { return kExactLineSpacingTwips / kTwipsPerUnit; }

// Gives every paragraph of the document the exact line pitch, through a cursor that selects
// the whole text (so the change is one undo step), and returns that cursor. An empty page's
// one paragraph gets it too, so text typed afterwards uses it.
QTextCursor setExactLineSpacing(QTextDocument *document);

} // namespace Page
