#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QTextDocument;

struct RtfReadResult
{
    bool ok = false;
    QString error; // readable reason when !ok, e.g. "not an RTF file"
    QStringList warnings; // what was read only in part (undecodable pictures, …)
};

// Reads RTF into a QTextDocument (sign pixels, see rtfunits.h for the length mapping).
class RtfReader
{
public:
    // Replaces the document's content, resources and page background; the root frame's
    // margins stay as they are. Never crashes or hangs on malformed input.
    static RtfReadResult read(const QByteArray &rtf, QTextDocument *document);
};

// Whether the data starts with "{\rtf" after an optional UTF-8 byte order mark and
// whitespace.
bool looksLikeRtf(const QByteArray &data);
