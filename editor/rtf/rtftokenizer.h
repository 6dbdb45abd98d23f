#pragma once

#include <QByteArrayView>

// One lexical unit of an RTF stream. Views point into the tokenizer's input, which must
// outlive the token.
struct RtfToken
{
    enum Type {
        EndOfInput,
        GroupOpen, // {
        GroupClose, // }
        ControlWord, // \name or \nameN; name in `data`
        ControlSymbol, // \x for a non-letter x (a newline after the backslash reads as '\n')
        Text, // a run of plain bytes without CR/LF, braces or backslashes
        HexByte, // \'hh; value in `byte`
        Binary // \binN payload in `data` (clamped to the bytes that are left)
    };

    Type type = EndOfInput;
    QByteArrayView data;
    int parameter = 0; // control word parameter, clamped to the int range
    bool hasParameter = false;
    char symbol = 0;
    unsigned char byte = 0;

    // The parameter, or `defaultValue` when the word has none.
    int value(int defaultValue) const { return hasParameter ? parameter : defaultValue; }
    // Toggle words: \b and \b1 switch on, \b0 switches off.
    bool isOn() const { return !hasParameter || parameter != 0; }
};

// Splits RTF bytes into tokens. Never fails: malformed input yields the most plausible
// tokens and the stream always ends with EndOfInput.
class RtfTokenizer
{
public:
    explicit RtfTokenizer(QByteArrayView input);

    RtfToken next();

    // Byte offset of the next unread byte, 0 … input size.
    qsizetype position() const { return m_pos - m_begin; }

private:
    RtfToken readBackslash();
    RtfToken readControlWord();

    const char *m_begin;
    const char *m_pos;
    const char *m_end;
};
