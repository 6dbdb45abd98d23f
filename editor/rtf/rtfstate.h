#pragma once

#include "rtfkeywords.h"

#include <QtGlobal>

struct RtfToken;

// Character properties of an RTF group, as the file states them (indexes into the font and
// colour tables, sizes in half-points).
struct RtfCharState
{
    static constexpr int defaultFontSize = 24; // half-points, RTF's default \fs24
    static constexpr int minFontSize = 1; // half-points
    static constexpr int maxFontSize = 3276; // half-points, Word's largest size

    // \loch, \hich, \dbch: the kind of characters a run holds.
    enum CharSet : quint8 { LowAnsi, HighAnsi, DoubleByte };

    int font = -1; // font table number, -1 when none applies
    int fontSize = defaultFontSize; // half-points
    int foreground = -1; // colour table index, -1 = automatic
    int background = -1; // colour table index, -1 = none
    quint8 underline = 0; // QTextCharFormat::UnderlineStyle
    quint8 verticalAlignment = 0; // QTextCharFormat::VerticalAlignment
    quint8 capitalization = 0; // QFont::Capitalization
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    bool hidden = false;

    // East Asian text has its own font, size, bold and italic (\af, \afs, \ab, \ai after
    // \dbch); -1 where the file states none and the run's own apply.
    int asianFont = -1;
    int asianFontSize = -1; // half-points
    qint8 asianBold = -1;
    qint8 asianItalic = -1;
    quint8 charSet = LowAnsi;
    bool rightToLeft = false; // after \rtlch, \a… describe right-to-left text (not read)

    // The state without the East Asian part, and the state East Asian characters show in.
    RtfCharState western() const;
    RtfCharState eastAsian() const;
    bool hasEastAsianProperties() const
    {
        return asianFont >= 0 || asianFontSize > 0 || asianBold >= 0 || asianItalic >= 0;
    }

    // Applies a character formatting word (not \plain, which needs the default font);
    // false when the word is not one.
    bool apply(RtfKeyword keyword, const RtfToken &token);

    bool operator==(const RtfCharState &o) const
    {
        return font == o.font && fontSize == o.fontSize && foreground == o.foreground
            && background == o.background && underline == o.underline
            && verticalAlignment == o.verticalAlignment && capitalization == o.capitalization
            && bold == o.bold && italic == o.italic && strikeOut == o.strikeOut
            && hidden == o.hidden && asianFont == o.asianFont && asianFontSize == o.asianFontSize
            && asianBold == o.asianBold && asianItalic == o.asianItalic && charSet == o.charSet
            && rightToLeft == o.rightToLeft;
    }
    bool operator!=(const RtfCharState &o) const { return !(*this == o); }
};

// Whether `c` is a CJK character (ideographs, kana, hangul, CJK punctuation, full-width forms),
// shown with the East Asian properties of its run.
bool isEastAsianCharacter(char32_t c);

// Paragraph properties of an RTF group; lengths in twips.
struct RtfParagraphState
{
    enum Alignment : quint8 { Left, Center, Right, Justify };
    enum OldListKind : quint8 { NoOldList, OldBullet, OldNumbered };

    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0; // \slN: >0 at least, <0 exactly, 0 single
    bool lineMultiple = false; // \slmult1: lineSpacing is in 240ths of a line
    Alignment alignment = Left;
    bool inTable = false;

    int listOverride = 0; // \lsN, 0 = not in a list
    int listLevel = 0; // \ilvlN, 0-based

    // Word 95 lists (\pn…), used when \ls is absent.
    OldListKind oldList = NoOldList;
    quint8 oldListLevel = 0; // 0-based
    quint8 oldListStyle = 0; // QTextListFormat::Style as a positive number

    // Applies a paragraph formatting word (not \pard); false when the word is not one.
    bool apply(RtfKeyword keyword, const RtfToken &token);
};
