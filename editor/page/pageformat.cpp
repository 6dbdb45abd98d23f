#include "pageformat.h"

#include <QTextBlockFormat>
#include <QTextDocument>

namespace Page {

QTextCursor setExactLineSpacing(QTextDocument *document)
{
    QTextCursor cursor(document);
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setLineHeight(exactLineSpacingUnits(), QTextBlockFormat::FixedHeight);
    cursor.mergeBlockFormat(format);
    return cursor;
}

} // namespace Page
