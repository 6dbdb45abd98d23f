#pragma once

#include <QByteArray>

// Windows code page numbers as RTF uses them (\ansicpgN, \cpgN, \fcharsetN).
class RtfCodePage
{
public:
    static constexpr int Ansi = 1252;
    static constexpr int Utf8 = 65001;
    static constexpr int MacRoman = 10000;
    static constexpr int Pc437 = 437;
    static constexpr int Pc850 = 850;

    // Code page for a font's \fcharsetN, or 0 when the charset means "use the document's".
    static int forCharset(int charset);

    // Converter name that QStringDecoder knows for a code page; empty when unknown.
    static QByteArray encodingName(int codePage);

    // The character a Windows-1252 byte stands for.
    static char16_t fromWindows1252(unsigned char byte);

    // Whether `c` is encodable in Windows-1252; sets `byte` to its code when it is.
    static bool toWindows1252(char16_t c, unsigned char *byte);
};
