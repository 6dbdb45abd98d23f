#include "rtfstate.h"

#include "rtflisttable.h"
#include "rtftokenizer.h"
#include "rtfunits.h"

#include <QFont>
#include <QTextCharFormat>

using K = RtfKeyword;

bool RtfCharState::apply(RtfKeyword keyword, const RtfToken &token)
{
    switch (keyword) {
    case K::Bold:
        bold = token.isOn();
        break;
    case K::Italic:
        italic = token.isOn();
        break;
    case K::UnderlineNone:
        underline = QTextCharFormat::NoUnderline;
        break;
    case K::UnderlineSingle:
        underline = token.isOn() ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        break;
    case K::UnderlineDotted:
        underline = token.isOn() ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        break;
    case K::UnderlineDash:
        underline = token.isOn() ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
        break;
    case K::UnderlineDashDot:
        underline = token.isOn() ? QTextCharFormat::DashDotLine : QTextCharFormat::NoUnderline;
        break;
    case K::UnderlineDashDotDot:
        underline = token.isOn() ? QTextCharFormat::DashDotDotLine : QTextCharFormat::NoUnderline;
        break;
    case K::UnderlineWave:
        underline = token.isOn() ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
        break;
    case K::Strike:
    case K::StrikeDouble:
        strikeOut = token.isOn();
        break;
    case K::FontSize:
        fontSize = token.value(RtfCharState::defaultFontSize);
        break;
    case K::Foreground:
        foreground = token.value(0);
        break;
    case K::Background_Cb:
        background = token.value(0);
        break;
    case K::Highlight:
        background = token.value(0) == 0 ? -1 : token.parameter;
        break;
    case K::Super:
        verticalAlignment
            = token.isOn() ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
        break;
    case K::Sub:
        verticalAlignment
            = token.isOn() ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
        break;
    case K::NoSuperSub:
        verticalAlignment = QTextCharFormat::AlignNormal;
        break;
    case K::Caps:
        capitalization = token.isOn() ? QFont::AllUppercase : QFont::MixedCase;
        break;
    case K::SmallCaps:
        capitalization = token.isOn() ? QFont::SmallCaps : QFont::MixedCase;
        break;
    case K::Hidden:
        hidden = token.isOn();
        break;
    case K::LowAnsiChars:
        charSet = LowAnsi;
        break;
    case K::HighAnsiChars:
        charSet = HighAnsi;
        break;
    case K::DoubleByteChars:
        charSet = DoubleByte;
        break;
    case K::RtlChars:
        rightToLeft = true;
        break;
    case K::LtrChars:
        rightToLeft = false;
        break;
    case K::AssociatedFont:
    case K::AssociatedFontSize:
    case K::AssociatedBold:
    case K::AssociatedItalic:
        // Only the East Asian ones are kept: after \loch or \hich they describe Latin text,
        // which \f, \fs, \b and \i already do, and after \rtlch complex scripts.
        if (charSet != DoubleByte || rightToLeft)
            break;
        if (keyword == K::AssociatedFont)
            asianFont = qMax(-1, token.value(0));
        else if (keyword == K::AssociatedFontSize)
            asianFontSize = qBound(minFontSize, token.value(defaultFontSize), maxFontSize);
        else if (keyword == K::AssociatedBold)
            asianBold = token.isOn();
        else
            asianItalic = token.isOn();
        break;
    default:
        return false;
    }
    return true;
}

RtfCharState RtfCharState::western() const
{
    RtfCharState s = *this;
    s.asianFont = s.asianFontSize = -1;
    s.asianBold = s.asianItalic = -1;
    s.charSet = LowAnsi;
    s.rightToLeft = false;
    return s;
}

RtfCharState RtfCharState::eastAsian() const
{
    RtfCharState s = western();
    if (asianFont >= 0)
        s.font = asianFont;
    if (asianFontSize > 0)
        s.fontSize = asianFontSize;
    if (asianBold >= 0)
        s.bold = asianBold;
    if (asianItalic >= 0)
        s.italic = asianItalic;
    return s;
}

bool isEastAsianCharacter(char32_t c)
{
    if (c < 0x1100)
        return false;
    return c <= 0x11FF // Hangul Jamo
        || (c >= 0x2E80 && c <= 0xA4CF) // radicals, CJK punctuation, kana, ideographs, Yi
        || (c >= 0xA960 && c <= 0xA97F) // Hangul Jamo extended
        || (c >= 0xAC00 && c <= 0xD7FF) // Hangul syllables
        || (c >= 0xF900 && c <= 0xFAFF) // compatibility ideographs
        || (c >= 0xFE30 && c <= 0xFE4F) // compatibility forms
        || (c >= 0xFF00 && c <= 0xFFEF) // half- and full-width forms
        || (c >= 0x20000 && c <= 0x3FFFF); // ideographs beyond the BMP
}

bool RtfParagraphState::apply(RtfKeyword keyword, const RtfToken &token)
{
    const int value = token.value(0);
    switch (keyword) {
    case K::AlignLeft:
        alignment = RtfParagraphState::Left;
        break;
    case K::AlignCenter:
        alignment = RtfParagraphState::Center;
        break;
    case K::AlignRight:
        alignment = RtfParagraphState::Right;
        break;
    case K::AlignJustify:
        alignment = RtfParagraphState::Justify;
        break;
    case K::LeftIndent:
        leftIndent = RtfUnits::clampTwips(value);
        break;
    case K::RightIndent:
        rightIndent = RtfUnits::clampTwips(value);
        break;
    case K::FirstIndent:
        firstIndent = RtfUnits::clampTwips(value);
        break;
    case K::SpaceBefore:
        spaceBefore = RtfUnits::clampTwips(value);
        break;
    case K::SpaceAfter:
        spaceAfter = RtfUnits::clampTwips(value);
        break;
    case K::LineSpacing:
        lineSpacing = RtfUnits::clampTwips(value);
        break;
    case K::LineMultiple:
        lineMultiple = value != 0;
        break;
    case K::InTable:
        inTable = token.isOn();
        break;
    case K::TableDepth:
        inTable = value > 0;
        break;
    case K::ListOverride:
        listOverride = value;
        break;
    case K::ListLevel:
        listLevel = qBound(0, value, RtfListTable::maxLevels - 1);
        break;
    default:
        return false;
    }
    return true;
}
