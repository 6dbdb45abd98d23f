#include "fieldchoice.h"

#include "fieldparser.h"
#include "valuestore.h"

#include "localtext.h"

#include <QDir>

QString FieldChoice::fieldText() const
{
    switch (kind) {
    case Kind::Time:
        return QStringLiteral("{time}");
    case Kind::TimeWithFormat:
        return QStringLiteral("{time:%1}").arg(format);
    case Kind::DateWithFormat:
        return QStringLiteral("{date:%1}").arg(format);
    case Kind::File:
        return QStringLiteral("{file:%1}").arg(name.trimmed());
    case Kind::Value:
        return QStringLiteral("{value:%1}").arg(name.trimmed());
    }
    return {};
}

bool FieldChoice::isField() const
{
    const Fields::ParsedText parsed = Fields::parse(fieldText());
    return parsed.pieces.size() == 1 && parsed.pieces.first().isField();
}

QString FieldChoice::preview(const Fields::FieldContext &context, QString *problem) const
{
    problem->clear();
    const QString typed = fieldText();
    Fields::ParsedText parsed = Fields::parse(typed);
    if (parsed.pieces.size() != 1 || !parsed.pieces.first().isField()) {
        // A brace inside the format or name splits the field.
        for (const Fields::Piece &piece : std::as_const(parsed.pieces)) {
            if (piece.kind == Fields::Kind::Invalid) {
                *problem = Fields::mistakeText(piece, context.language);
                break;
            }
        }
        if (problem->isEmpty() || parsed.pieces.size() != 1)
            *problem = localText(context.language,
                QStringLiteral("a format or name may not hold { or }"),
                QStringLiteral("格式或名称中不能含有 { 或 }"));
        return typed;
    }
    QList<Fields::FieldProblem> problems;
    Fields::FieldResolver(context).resolve(&parsed, &problems);
    if (!problems.isEmpty())
        *problem = problems.first().reason;
    return parsed.pieces.first().shown;
}

QStringList FieldChoice::presetFormats(Kind kind)
{
    switch (kind) {
    case Kind::TimeWithFormat:
        return { QStringLiteral("HH:mm:ss"), QStringLiteral("HH:mm"), QStringLiteral("h:mm AP"),
            QStringLiteral("hh:mm:ss AP") };
    case Kind::DateWithFormat:
        return { QStringLiteral("dd.MM.yyyy"), QStringLiteral("yyyy-MM-dd"),
            QStringLiteral("dd/MM/yyyy"), QStringLiteral("MM/dd/yyyy"), QStringLiteral("ddd d MMM"),
            QStringLiteral("yyyy'年'M'月'd'日'") };
    default:
        return {};
    }
}

QStringList FieldChoice::names(Kind kind, const QString &programFolder)
{
    if (kind == Kind::Value)
        return ValueStore(programFolder).names();
    if (kind == Kind::File)
        return QDir(programFolder).entryList({ QStringLiteral("*.txt") }, QDir::Files, QDir::Name);
    return {};
}
