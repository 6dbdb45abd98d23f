#pragma once

#include <QByteArray>
#include <QString>

class RtfTextDecoder;

// Collects the text of one run as it arrives: code-page bytes (plain text and \'hh, so that
// a double-byte character split over two escapes decodes as one) and UTF-16 units from \uN.
// take() returns text that is safe to insert into a QTextDocument: no control characters
// but tab, no paragraph or frame markers, no unpaired surrogates.
class RtfTextBuffer
{
public:
    explicit RtfTextBuffer(RtfTextDecoder *decoder);

    void appendBytes(QByteArrayView bytes, int codePage);
    void appendUnit(char16_t unit);
    bool isEmpty() const { return m_text.isEmpty() && m_bytes.isEmpty() && !m_highSurrogate; }
    QString take();
    // The text as it came, control characters included (list level templates use them).
    QString takeUnfiltered();
    void clear();

private:
    void decodePending();
    void flushSurrogate();

    RtfTextDecoder *m_decoder;
    QString m_text;
    QByteArray m_bytes;
    int m_codePage = 0;
    char16_t m_highSurrogate = 0;
};
