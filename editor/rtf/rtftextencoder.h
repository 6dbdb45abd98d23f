#pragma once

#include <QByteArray>
#include <QStringView>

// Appends text to RTF output: ASCII as is, the RTF specials escaped, tabs, line breaks and
// special spaces as control words, everything else as \uN with a Windows-1252 fallback
// (or '?') for readers without Unicode, matching \uc1.
class RtfTextEncoder
{
public:
    // Appends a control word (with its leading backslash, e.g. "\\par") to `out`.
    void appendControl(QByteArray &out, const char *word);
    void appendControl(QByteArray &out, const char *word, int parameter);
    // Appends control words encoded earlier (they end with a control word).
    void appendControl(QByteArray &out, const QByteArray &words);
    // Appends literal text; a space separates it from a preceding control word.
    void appendText(QByteArray &out, QStringView text);
    // Appends raw RTF (braces, complete groups) that needs no delimiter handling.
    void appendRaw(QByteArray &out, const char *rtf);
    void appendRaw(QByteArray &out, const QByteArray &rtf);

private:
    void appendUnicode(QByteArray &out, char16_t c);

    bool m_afterControlWord = false;
};
