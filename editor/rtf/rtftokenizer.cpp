#include "rtftokenizer.h"

#include <limits>

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

RtfToken token(RtfToken::Type type)
{
    RtfToken t;
    t.type = type;
    return t;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Bytes that end a text run: the three RTF specials and line breaks, which RTF ignores.
struct StopTable
{
    bool stop[256] = {};
    constexpr StopTable()
    {
        stop[static_cast<unsigned char>('\\')] = true;
        stop[static_cast<unsigned char>('{')] = true;
        stop[static_cast<unsigned char>('}')] = true;
        stop[static_cast<unsigned char>('\r')] = true;
        stop[static_cast<unsigned char>('\n')] = true;
    }
};
constexpr StopTable stopTable;

} // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView input)
    : m_begin(input.data())
    , m_pos(input.data())
    , m_end(input.data() + input.size())
{ }

RtfToken RtfTokenizer::next()
{
    while (m_pos < m_end) {
        const char c = *m_pos;
        switch (c) {
        case '{':
            ++m_pos;
            return token(RtfToken::GroupOpen);
        case '}':
            ++m_pos;
            return token(RtfToken::GroupClose);
        case '\r':
        case '\n':
            ++m_pos;
            continue;
        case '\\': {
            const RtfToken escaped = readBackslash();
            if (escaped.type != RtfToken::EndOfInput)
                return escaped;
            continue; // a malformed escape that carries nothing
        }
        default: {
            const char *start = m_pos;
            while (m_pos < m_end && !stopTable.stop[static_cast<unsigned char>(*m_pos)])
                ++m_pos;
            RtfToken text = token(RtfToken::Text);
            text.data = QByteArrayView(start, m_pos - start);
            return text;
        }
        }
    }
    return RtfToken {};
}

RtfToken RtfTokenizer::readBackslash()
{
    ++m_pos; // the backslash
    if (m_pos >= m_end)
        return RtfToken {};
    const char c = *m_pos;
    if (isLetter(c))
        return readControlWord();
    ++m_pos;
    if (c == '\'') {
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_end) {
            const int v = hexValue(*m_pos);
            if (v < 0)
                break;
            value = value * 16 + v;
            ++digits;
            ++m_pos;
        }
        if (digits == 0)
            return RtfToken {};
        RtfToken hex = token(RtfToken::HexByte);
        hex.byte = static_cast<unsigned char>(value);
        return hex;
    }
    RtfToken symbol = token(RtfToken::ControlSymbol);
    symbol.symbol = (c == '\r') ? '\n' : c;
    return symbol;
}

RtfToken RtfTokenizer::readControlWord()
{
    RtfToken word = token(RtfToken::ControlWord);
    const char *start = m_pos;
    while (m_pos < m_end && isLetter(*m_pos))
        ++m_pos;
    word.data = QByteArrayView(start, m_pos - start);

    bool negative = false;
    if (m_pos + 1 < m_end && *m_pos == '-' && isDigit(m_pos[1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < m_end && isDigit(*m_pos)) {
        // Saturate instead of overflowing; real files stay far inside the int range.
        constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
        qint64 value = 0;
        while (m_pos < m_end && isDigit(*m_pos)) {
            if (value < limit)
                value = value * 10 + (*m_pos - '0');
            ++m_pos;
        }
        if (negative)
            value = -value;
        if (value > std::numeric_limits<int>::max())
            value = std::numeric_limits<int>::max();
        if (value < std::numeric_limits<int>::min())
            value = std::numeric_limits<int>::min();
        word.parameter = static_cast<int>(value);
        word.hasParameter = true;
    }
    if (m_pos < m_end && *m_pos == ' ')
        ++m_pos; // the delimiter belongs to the control word

    if (word.data == QByteArrayView("bin")) {
        word.type = RtfToken::Binary;
        const qint64 wanted = word.hasParameter ? qMax(0, word.parameter) : 0;
        const qint64 length = qMin<qint64>(wanted, m_end - m_pos);
        word.data = QByteArrayView(m_pos, length);
        m_pos += length;
    }
    return word;
}
