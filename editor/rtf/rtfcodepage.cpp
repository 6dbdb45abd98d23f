#include "rtfcodepage.h"

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F.
constexpr char16_t windows1252High[32]
    = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
          0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
          0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };

} // namespace

int RtfCodePage::forCharset(int charset)
{
    switch (charset) {
    case 0: // ANSI means Western, whatever the document's code page
    case 2: // Symbol: keep the byte values, the font draws them
        return Ansi;
    case 1: // default
        return 0;
    case 77:
        return MacRoman;
    case 78:
        return 10001;
    case 79:
        return 10003;
    case 80:
        return 10008;
    case 81:
        return 10002;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
    case 181:
        return 1255;
    case 178:
    case 179:
    case 180:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
    case 255:
        return Pc437;
    default:
        return 0;
    }
}

QByteArray RtfCodePage::encodingName(int codePage)
{
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 852:
        return "IBM852";
    case 866:
        return "IBM866";
    case 874:
        return "windows-874";
    case 932:
    case 10001: // Mac Japanese is Shift-JIS with a few extra symbols
        return "windows-31j";
    case 936:
    case 10008:
        return "GBK";
    case 949:
    case 10003:
    case 1361:
        return "windows-949";
    case 950:
    case 10002:
        return "Big5";
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
        return "windows-" + QByteArray::number(codePage);
    case 10000:
        return "macintosh";
    case 10006:
        return "x-mac-greek";
    case 10007:
        return "x-mac-cyrillic";
    case 10029:
        return "x-mac-centraleurope";
    case 20866:
        return "KOI8-R";
    case 28591:
        return "ISO-8859-1";
    case 28592:
        return "ISO-8859-2";
    case 28595:
        return "ISO-8859-5";
    case 65001:
        return "UTF-8";
    default:
        return {};
    }
}

char16_t RtfCodePage::fromWindows1252(unsigned char byte)
{
    return (byte >= 0x80 && byte < 0xA0) ? windows1252High[byte - 0x80] : char16_t(byte);
}

bool RtfCodePage::toWindows1252(char16_t c, unsigned char *byte)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        *byte = static_cast<unsigned char>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (windows1252High[i] == c) {
            *byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}
