#include "rtfreader.h"

#include "rtfparser.h"

#include <QTextDocument>
#include <QTextFrame>

namespace {

qsizetype rtfStart(const QByteArray &data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size()
        && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'
            || data[i] == '\f' || data[i] == '\0'))
        ++i;
    return QByteArrayView(data).sliced(i).startsWith("{\\rtf") ? i : -1;
}

} // namespace

bool looksLikeRtf(const QByteArray &data)
{
    return rtfStart(data) >= 0;
}

RtfReadResult RtfReader::read(const QByteArray &rtf, QTextDocument *document)
{
    RtfReadResult result;
    if (!document) {
        result.error = QStringLiteral("no document to read into");
        return result;
    }
    const qsizetype start = rtfStart(rtf);
    if (start < 0) {
        result.error = QStringLiteral("not an RTF file");
        return result;
    }

    // clear() also resets the root frame, whose margins belong to the page model.
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    frame.clearBackground();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    document->rootFrame()->setFrameFormat(frame);

    RtfParser parser(QByteArrayView(rtf).sliced(start), document);
    result.warnings = parser.parse();
    result.ok = true;
    document->setUndoRedoEnabled(undo);
    return result;
}
