#pragma once

#include <QList>
#include <QString>

// Fields are live text in a page, written in braces: {time}, {time:FORMAT}, {date},
// {date:FORMAT}, {file:NAME} and {value:NAME}. "{{" and "}}" stand for literal braces. Text
// that looks like a field but is not one stays as typed and is reported, so nothing the
// author wrote is ever dropped.
namespace Fields {

enum class Kind {
    Text, // plain text; escapes already resolved into `shown`
    Time, // {time} or {time:FORMAT}: the clock, HH:mm by default
    Date, // {date} or {date:FORMAT}: the calendar, yyyy-MM-dd by default
    File, // {file:NAME}: the first line of a text file in the program folder
    Value, // {value:NAME}: a value set with vantrel-cli value set
    Invalid, // looked like a field but is not one: shown as typed, see `mistake`
};

// Why text that looked like a field is not one.
enum class Mistake {
    None,
    UnknownKind, // {price}, {}: not one of the kinds
    NotAFormat, // {time:hello}: the format is not a date/time format
    NoFileName, // {file:}
    BadValueName, // {value:a b}
    Unclosed, // a { without its }
    LoneClosing, // a } that closes nothing
};

// One stretch of a text: plain text or one field.
struct Piece
{
    Kind kind = Kind::Text;
    int start = 0; // position of the first character in the parsed text
    int length = 0; // characters of the parsed text this piece covers
    QString argument; // Time/Date: the format; File: the file name; Value: the value name
    QString shown; // Text and Invalid: what is drawn; fields: "" until resolved
    Mistake mistake = Mistake::None; // Invalid: why; see mistakeText

    bool isField() const { return kind != Kind::Text && kind != Kind::Invalid; }
};

// A text split into pieces, in order, covering every character. Neighbouring plain text is
// one piece; an escape "{{" is a Text piece of length 2 showing "{".
struct ParsedText
{
    QList<Piece> pieces;

    bool hasFields() const;
    // Whether anything in the text is a field, an escape or a mistake: text without either
    // brace needs no filling.
    static bool mayHoldFields(const QString &text);
};

ParsedText parse(const QString &text);

// Why an Invalid piece is not a field, in `language`.
QString mistakeText(const Piece &piece, const QString &language);

// Value names: 1 to 64 of the letters A-Z and a-z, digits, "-" and "_".
constexpr int kMaxValueNameLength = 64;
bool isValidValueName(const QString &name);

// Whether `format` is a date/time format: at least one of Qt's date or time patterns (d, M,
// y, h, H, m, s, z, AP, ap, t), every other unquoted letter absent, quotes closed. Anything
// else would be drawn as a jumble of numbers, so such a field stays as typed.
bool isDateTimeFormat(const QString &format);

// The smallest step in which a date/time format's text changes, in seconds: 1 for s or z,
// 60 for m, 3600 for h, H or AP, 86400 for day, month, year or time-zone patterns.
int formatStepSeconds(const QString &format);

} // namespace Fields
