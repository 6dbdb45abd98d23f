#include "fieldparser.h"

#include "localtext.h"

#include <QRegularExpression>

namespace Fields {

namespace {

constexpr int kSecond = 1;
constexpr int kMinute = 60;
constexpr int kHour = 3600;
constexpr int kDay = 86400;
constexpr int kNotAFormat = -1;

// The step of every pattern letter of a format, or kNotAFormat when it is not one.
int scanFormat(const QString &format)
{
    int step = 0;
    const int n = int(format.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            // Quoted text ('' inside it is one quote); a quote left open is a mistake.
            int j = i + 1;
            while (j < n) {
                if (format.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && format.at(j + 1) == QLatin1Char('\'') && j > i + 1) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            if (j >= n)
                return kNotAFormat;
            i = j;
            continue;
        }
        if (!c.isLetter())
            continue;
        int letterStep = 0;
        switch (c.unicode()) {
        case 'd':
        case 'M':
        case 'y':
        case 't':
            letterStep = kDay;
            break;
        case 'h':
        case 'H':
            letterStep = kHour;
            break;
        case 'm':
            letterStep = kMinute;
            break;
        case 's':
        case 'z':
            letterStep = kSecond;
            break;
        case 'a':
        case 'A':
            if (i + 1 < n
                && (format.at(i + 1) == QLatin1Char('p') || format.at(i + 1) == QLatin1Char('P')))
                ++i;
            letterStep = kHour;
            break;
        default:
            return kNotAFormat;
        }
        step = step == 0 ? letterStep : qMin(step, letterStep);
    }
    return step == 0 ? kNotAFormat : step;
}

Piece textPiece(int start, int length, const QString &shown)
{
    Piece piece;
    piece.start = start;
    piece.length = length;
    piece.shown = shown;
    return piece;
}

Piece invalidPiece(int start, const QString &typed, Mistake mistake, const QString &argument = {})
{
    Piece piece = textPiece(start, int(typed.size()), typed);
    piece.kind = Kind::Invalid;
    piece.mistake = mistake;
    piece.argument = argument;
    return piece;
}

// The piece of "{inner}" at `start`, where `typed` is the whole field with its braces.
Piece fieldPiece(int start, const QString &typed)
{
    const QString inner = typed.mid(1, typed.size() - 2);
    const int colon = int(inner.indexOf(QLatin1Char(':')));
    const QString kindName = (colon < 0 ? inner : inner.left(colon)).trimmed().toLower();
    const bool hasArgument = colon >= 0;
    const QString argument = hasArgument ? inner.mid(colon + 1) : QString();

    Piece piece;
    piece.start = start;
    piece.length = int(typed.size());
    if (kindName == QLatin1String("time") || kindName == QLatin1String("date")) {
        piece.kind = kindName == QLatin1String("time") ? Kind::Time : Kind::Date;
        if (!hasArgument) {
            piece.argument
                = piece.kind == Kind::Time ? QStringLiteral("HH:mm") : QStringLiteral("yyyy-MM-dd");
            return piece;
        }
        if (!isDateTimeFormat(argument))
            return invalidPiece(start, typed, Mistake::NotAFormat, argument);
        piece.argument = argument;
        return piece;
    }
    if (kindName == QLatin1String("file")) {
        if (argument.trimmed().isEmpty())
            return invalidPiece(start, typed, Mistake::NoFileName);
        piece.kind = Kind::File;
        piece.argument = argument.trimmed();
        return piece;
    }
    if (kindName == QLatin1String("value")) {
        if (!isValidValueName(argument.trimmed()))
            return invalidPiece(start, typed, Mistake::BadValueName);
        piece.kind = Kind::Value;
        piece.argument = argument.trimmed();
        return piece;
    }
    return invalidPiece(start, typed, Mistake::UnknownKind);
}

} // namespace

bool ParsedText::hasFields() const
{
    for (const Piece &piece : pieces) {
        if (piece.isField())
            return true;
    }
    return false;
}

bool ParsedText::mayHoldFields(const QString &text)
{
    return text.contains(QLatin1Char('{')) || text.contains(QLatin1Char('}'));
}

ParsedText parse(const QString &text)
{
    ParsedText parsed;
    const int n = int(text.size());
    QString plain;
    int plainStart = 0;
    int plainLength = 0;
    const auto flushPlain = [&] {
        if (plainLength > 0)
            parsed.pieces.append(textPiece(plainStart, plainLength, plain));
        plain.clear();
        plainLength = 0;
    };
    const auto addPlain = [&](int at, int length, const QString &shown) {
        if (plainLength == 0)
            plainStart = at;
        plain += shown;
        plainLength += length;
    };

    int i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < n ? text.at(i + 1) : QChar();
        if ((c == QLatin1Char('{') && next == QLatin1Char('{'))
            || (c == QLatin1Char('}') && next == QLatin1Char('}'))) {
            addPlain(i, 2, QString(c));
            i += 2;
            continue;
        }
        if (c == QLatin1Char('}')) {
            flushPlain();
            parsed.pieces.append(invalidPiece(i, QStringLiteral("}"), Mistake::LoneClosing));
            ++i;
            continue;
        }
        if (c != QLatin1Char('{')) {
            addPlain(i, 1, QString(c));
            ++i;
            continue;
        }
        // A field runs to the next closing brace; an opening brace or a line's end first
        // leaves this brace unclosed.
        int close = i + 1;
        while (close < n && text.at(close) != QLatin1Char('}') && text.at(close) != QLatin1Char('{')
            && text.at(close) != QChar::ParagraphSeparator && text.at(close) != QLatin1Char('\n'))
            ++close;
        flushPlain();
        if (close >= n || text.at(close) != QLatin1Char('}')) {
            parsed.pieces.append(invalidPiece(i, QStringLiteral("{"), Mistake::Unclosed));
            ++i;
            continue;
        }
        parsed.pieces.append(fieldPiece(i, text.mid(i, close - i + 1)));
        i = close + 1;
    }
    flushPlain();
    return parsed;
}

QString mistakeText(const Piece &piece, const QString &language)
{
    switch (piece.mistake) {
    case Mistake::None:
        break;
    case Mistake::UnknownKind:
        return localText(language,
            QStringLiteral("unknown field; the fields are time, date, file and value, and {{ }} "
                           "write braces"),
            QStringLiteral("未知字段；字段有 time、date、file 和 value，{{ }} 表示花括号"));
    case Mistake::NotAFormat:
        return localText(language,
            QStringLiteral("\"%1\" is not a date/time format").arg(piece.argument),
            QStringLiteral("“%1”不是日期/时间格式").arg(piece.argument));
    case Mistake::NoFileName:
        return localText(language, QStringLiteral("a file field needs a file name"),
            QStringLiteral("文件字段需要文件名"));
    case Mistake::BadValueName:
        return localText(language,
            QStringLiteral("a value name is 1 to %1 letters, digits, - and _")
                .arg(kMaxValueNameLength),
            QStringLiteral("值名称由 1 到 %1 个字母、数字、- 和 _ 组成").arg(kMaxValueNameLength));
    case Mistake::Unclosed:
        return localText(language, QStringLiteral("a { without its } (write {{ for a brace)"),
            QStringLiteral("{ 没有对应的 }（花括号请写作 {{）"));
    case Mistake::LoneClosing:
        return localText(language, QStringLiteral("a lone } (write }} for a brace)"),
            QStringLiteral("多余的 }（花括号请写作 }}）"));
    }
    return {};
}

bool isValidValueName(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[A-Za-z0-9_-]{1,%1}$").arg(kMaxValueNameLength));
    return pattern.match(name).hasMatch();
}

bool isDateTimeFormat(const QString &format)
{
    return scanFormat(format) != kNotAFormat;
}

int formatStepSeconds(const QString &format)
{
    const int step = scanFormat(format);
    return step == kNotAFormat ? kDay : step;
}

} // namespace Fields
