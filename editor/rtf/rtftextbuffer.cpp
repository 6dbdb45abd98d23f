#include "rtftextbuffer.h"

#include "rtftextdecoder.h"

namespace {

constexpr char16_t replacementCharacter = 0xFFFD;

bool isUnsafe(char16_t c)
{
    if (c < 0x20)
        return c != '\t';
    if (c < 0x2028)
        return false;
    return c == 0x2029 || (c >= 0xFDD0 && c <= 0xFDEF) || c == 0xFFFC || c >= 0xFFFE;
}

// Drops characters that QTextDocument treats as structure (block and frame separators,
// object placeholders) or that no sign can show.
void sanitize(QString *text)
{
    const char16_t *begin = reinterpret_cast<const char16_t *>(text->constData());
    const char16_t *end = begin + text->size();
    const char16_t *p = begin;
    while (p < end && !isUnsafe(*p))
        ++p;
    if (p == end)
        return;
    QString clean;
    clean.reserve(text->size());
    for (const char16_t *q = begin; q < end; ++q) {
        if (*q == 0x2029)
            clean.append(QChar(QChar::LineSeparator));
        else if (!isUnsafe(*q))
            clean.append(QChar(*q));
    }
    *text = clean;
}

} // namespace

RtfTextBuffer::RtfTextBuffer(RtfTextDecoder *decoder)
    : m_decoder(decoder)
{ }

void RtfTextBuffer::appendBytes(QByteArrayView bytes, int codePage)
{
    if (bytes.isEmpty())
        return;
    flushSurrogate();
    if (codePage != m_codePage && !m_bytes.isEmpty())
        decodePending();
    m_codePage = codePage;
    m_bytes.append(bytes);
}

void RtfTextBuffer::appendUnit(char16_t unit)
{
    decodePending();
    if (QChar::isHighSurrogate(unit)) {
        flushSurrogate();
        m_highSurrogate = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        if (m_highSurrogate) {
            m_text.append(QChar(m_highSurrogate));
            m_text.append(QChar(unit));
            m_highSurrogate = 0;
        } else {
            m_text.append(QChar(replacementCharacter));
        }
        return;
    }
    flushSurrogate();
    m_text.append(QChar(unit));
}

QString RtfTextBuffer::take()
{
    QString text = takeUnfiltered();
    sanitize(&text);
    return text;
}

QString RtfTextBuffer::takeUnfiltered()
{
    decodePending();
    flushSurrogate();
    QString text = std::move(m_text);
    m_text = QString();
    return text;
}

void RtfTextBuffer::clear()
{
    m_text.clear();
    m_bytes.clear();
    m_highSurrogate = 0;
}

void RtfTextBuffer::decodePending()
{
    if (m_bytes.isEmpty())
        return;
    m_decoder->decodeAppend(m_bytes, m_codePage, &m_text);
    m_bytes.resize(0); // keeps the capacity for the next run
}

void RtfTextBuffer::flushSurrogate()
{
    if (!m_highSurrogate)
        return;
    m_text.append(QChar(replacementCharacter));
    m_highSurrogate = 0;
}
