#include "rtftextencoder.h"

#include "rtfcodepage.h"

namespace {

// Printable ASCII that needs no escaping.
struct PlainTable
{
    bool plain[128] = {};
    constexpr PlainTable()
    {
        for (int c = 0x20; c < 0x7F; ++c)
            plain[c] = c != '\\' && c != '{' && c != '}';
    }
};
constexpr PlainTable plainTable;

constexpr char hexDigits[] = "0123456789abcdef";

void appendNumber(QByteArray &out, int value)
{
    char buffer[16];
    char *p = buffer + sizeof(buffer);
    const bool negative = value < 0;
    unsigned int v = negative ? 0u - unsigned(value) : unsigned(value);
    do {
        *--p = char('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative)
        *--p = '-';
    out.append(p, buffer + sizeof(buffer) - p);
}

} // namespace

void RtfTextEncoder::appendControl(QByteArray &out, const char *word)
{
    out.append(word);
    m_afterControlWord = true;
}

void RtfTextEncoder::appendControl(QByteArray &out, const char *word, int parameter)
{
    out.append(word);
    appendNumber(out, parameter);
    m_afterControlWord = true;
}

void RtfTextEncoder::appendControl(QByteArray &out, const QByteArray &words)
{
    out.append(words);
    m_afterControlWord = true;
}

void RtfTextEncoder::appendRaw(QByteArray &out, const char *rtf)
{
    out.append(rtf);
    m_afterControlWord = false;
}

void RtfTextEncoder::appendRaw(QByteArray &out, const QByteArray &rtf)
{
    out.append(rtf);
    m_afterControlWord = false;
}

void RtfTextEncoder::appendText(QByteArray &out, QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    while (p < end) {
        const char16_t *start = p;
        while (p < end && *p < 128 && plainTable.plain[*p])
            ++p;
        if (p > start) {
            if (m_afterControlWord)
                out.append(' ');
            const qsizetype at = out.size();
            out.resize(at + (p - start));
            char *dst = out.data() + at;
            for (const char16_t *q = start; q < p; ++q)
                *dst++ = char(*q);
            m_afterControlWord = false;
        }
        if (p == end)
            break;
        const char16_t c = *p++;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            out.append('\\');
            out.append(char(c));
            m_afterControlWord = false;
            break;
        case '\t':
            appendControl(out, "\\tab");
            break;
        case 0x2028:
            appendControl(out, "\\line");
            break;
        case 0x00A0:
            appendRaw(out, "\\~");
            break;
        case 0x00AD:
            appendRaw(out, "\\-");
            break;
        case 0x2011:
            appendRaw(out, "\\_");
            break;
        default:
            if (c >= 0x20)
                appendUnicode(out, c);
            break;
        }
    }
}

void RtfTextEncoder::appendUnicode(QByteArray &out, char16_t c)
{
    out.append("\\u");
    appendNumber(out, c > 0x7FFF ? int(c) - 0x10000 : int(c)); // RTF numbers are signed 16-bit
    unsigned char fallback = 0;
    if (!QChar::isSurrogate(c) && RtfCodePage::toWindows1252(c, &fallback)) {
        out.append("\\'");
        out.append(hexDigits[fallback >> 4]);
        out.append(hexDigits[fallback & 0xF]);
    } else {
        out.append('?');
    }
    m_afterControlWord = false;
}
