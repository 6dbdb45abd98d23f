#include "selectionfont.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

struct FontOf
{
    QString family;
    qreal pointSize = -1; // -1 for a size given in pixels
};

FontOf fontOf(const QTextCharFormat &format, const QFont &documentFont)
{
    const QFont font = format.font().resolve(documentFont);
    return { font.family(), font.pointSizeF() };
}

} // namespace

SelectionFont selectionFont(const QTextCursor &cursor)
{
    SelectionFont result;
    // The editor's own cursor is null while it replaces its whole text, and document() of a
    // null cursor is not safe to call.
    if (cursor.isNull())
        return result;
    const QTextDocument *document = cursor.document();
    if (!document)
        return result;
    const QFont documentFont = document->defaultFont();

    if (!cursor.hasSelection()) {
        const FontOf f = fontOf(cursor.charFormat(), documentFont);
        result.family = f.family;
        if (f.pointSize > 0)
            result.pointSize = f.pointSize;
        return result;
    }

    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    bool first = true;
    bool sameFamily = true;
    bool sameSize = true;
    FontOf seen;
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.position() >= end
                || fragment.position() + fragment.length() <= start)
                continue;
            const FontOf f = fontOf(fragment.charFormat(), documentFont);
            if (first) {
                seen = f;
                first = false;
                continue;
            }
            sameFamily = sameFamily && f.family == seen.family;
            sameSize = sameSize && qFuzzyCompare(f.pointSize, seen.pointSize);
        }
    }
    if (first) // a selection of paragraph ends only: the caret's font
        return selectionFont(QTextCursor(cursor.block()));
    if (sameFamily)
        result.family = seen.family;
    if (sameSize && seen.pointSize > 0)
        result.pointSize = seen.pointSize;
    return result;
}

QString fontSizeText(qreal pointSize)
{
    return QString::number(pointSize, 'g', 4);
}
