#include "fieldresolver.h"

#include "valuestore.h"

#include "localtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace Fields {

namespace {

constexpr int kSecondsPerDay = 86400;

QString fail(QString *problem, const QString &reason)
{
    *problem = reason;
    return missingMarker();
}

bool leavesFolder(const QString &name)
{
    if (QDir::isAbsolutePath(name) || name.startsWith(QLatin1Char('\\'))
        || (name.size() > 1 && name.at(1) == QLatin1Char(':')))
        return true;
    const QStringList parts
        = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    return parts.contains(QStringLiteral(".."));
}

} // namespace

QString readFieldFile(
    const QString &folder, const QString &name, QString *problem, const QString &language)
{
    problem->clear();
    if (leavesFolder(name))
        return fail(problem,
            localText(language,
                QStringLiteral("the file name must stay inside the program folder (no \"..\", no "
                               "absolute path)"),
                QStringLiteral("文件名必须位于程序文件夹内（不能含有“..”或绝对路径）")));
    const QString path = QDir(folder).filePath(name);
    const QFileInfo info(path);
    if (!info.exists())
        return fail(problem,
            localText(language,
                QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)),
                QStringLiteral("%1 不存在").arg(QDir::toNativeSeparators(path))));
    // A link inside the folder may still point out of it.
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (!info.canonicalFilePath().startsWith(root + QLatin1Char('/')))
        return fail(problem,
            localText(language,
                QStringLiteral("%1 lies outside the program folder")
                    .arg(QDir::toNativeSeparators(path)),
                QStringLiteral("%1 位于程序文件夹之外").arg(QDir::toNativeSeparators(path))));
    // Pipes and devices are never opened: reading one could wait for ever.
    if (!info.isFile())
        return fail(problem,
            localText(language,
                QStringLiteral("%1 is not a plain file").arg(QDir::toNativeSeparators(path)),
                QStringLiteral("%1 不是普通文件").arg(QDir::toNativeSeparators(path))));
    if (info.size() > kMaxFieldFileBytes)
        return fail(problem,
            localText(language,
                QStringLiteral("%1 is %2 bytes long; a field reads files of up to %3 bytes")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(info.size())
                    .arg(kMaxFieldFileBytes),
                QStringLiteral("%1 有 %2 字节；字段只读取不超过 %3 字节的文件")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(info.size())
                    .arg(kMaxFieldFileBytes)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(problem,
            localText(language,
                QStringLiteral("cannot read %1: %2")
                    .arg(QDir::toNativeSeparators(path), file.errorString()),
                QStringLiteral("无法读取 %1：%2")
                    .arg(QDir::toNativeSeparators(path), file.errorString())));
    // The file may have grown since its size was read.
    const QByteArray bytes = file.read(kMaxFieldFileBytes);
    // Stateless: a sequence cut off at the end is an error too, not a wait for more.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (bytes.contains('\0') || decoder.hasError())
        return fail(problem,
            localText(language,
                QStringLiteral("%1 is not UTF-8 text").arg(QDir::toNativeSeparators(path)),
                QStringLiteral("%1 不是 UTF-8 文本").arg(QDir::toNativeSeparators(path))));
    int end = 0;
    while (
        end < text.size() && text.at(end) != QLatin1Char('\n') && text.at(end) != QLatin1Char('\r'))
        ++end;
    return text.left(end);
}

FieldResolver::FieldResolver(FieldContext context)
    : m_context(std::move(context))
{ }

void FieldResolver::resolve(ParsedText *parsed, QList<FieldProblem> *problems)
{
    const auto report = [&](const Piece &piece, const QString &reason) {
        if (problems)
            problems->append({ piece.shown, reason });
    };
    for (Piece &piece : parsed->pieces) {
        switch (piece.kind) {
        case Kind::Text:
            break;
        case Kind::Invalid:
            report(piece, mistakeText(piece, m_context.language));
            break;
        case Kind::Time:
        case Kind::Date:
            piece.shown = m_context.moment.toString(piece.argument);
            break;
        case Kind::File:
        case Kind::Value: {
            const Outcome outcome
                = piece.kind == Kind::File ? fileText(piece.argument) : valueText(piece.argument);
            piece.shown = outcome.text;
            if (!outcome.problem.isEmpty() && problems) {
                const QString typed = QStringLiteral("{%1:%2}").arg(
                    piece.kind == Kind::File ? QStringLiteral("file") : QStringLiteral("value"),
                    piece.argument);
                problems->append({ typed, outcome.problem });
            }
            break;
        }
        }
    }
}

QString FieldResolver::shownText(const QString &text, QList<FieldProblem> *problems)
{
    if (!ParsedText::mayHoldFields(text))
        return text;
    ParsedText parsed = parse(text);
    resolve(&parsed, problems);
    QString shown;
    for (const Piece &piece : parsed.pieces)
        shown += piece.shown;
    return shown;
}

FieldResolver::Outcome FieldResolver::fileText(const QString &name)
{
    const auto found = m_files.constFind(name);
    if (found != m_files.constEnd())
        return *found;
    Outcome outcome;
    outcome.text
        = readFieldFile(m_context.programFolder, name, &outcome.problem, m_context.language);
    m_files.insert(name, outcome);
    return outcome;
}

FieldResolver::Outcome FieldResolver::valueText(const QString &name)
{
    const auto found = m_values.constFind(name);
    if (found != m_values.constEnd())
        return *found;
    Outcome outcome;
    if (!ValueStore(m_context.programFolder)
             .get(name, &outcome.text, &outcome.problem, m_context.language))
        outcome.text = missingMarker();
    m_values.insert(name, outcome);
    return outcome;
}

QStringList usedFields(const QString &text)
{
    QStringList fields;
    if (!ParsedText::mayHoldFields(text))
        return fields;
    for (const Piece &piece : parse(text).pieces) {
        const QString typed = text.mid(piece.start, piece.length);
        if (piece.isField() && !fields.contains(typed))
            fields.append(typed);
    }
    return fields;
}

QDateTime nextTimeChange(const QString &text, const QDateTime &moment)
{
    int step = 0;
    if (ParsedText::mayHoldFields(text)) {
        for (const Piece &piece : parse(text).pieces) {
            if (piece.kind == Kind::Time || piece.kind == Kind::Date) {
                const int s = formatStepSeconds(piece.argument);
                step = step == 0 ? s : qMin(step, s);
            }
        }
    }
    if (step == 0)
        return {};
    // The next whole step in local time: days start at midnight, whatever the zone's shifts.
    // Built from `moment` so the result keeps its time spec or zone.
    const auto at = [&moment](const QDate &date, const QTime &time) {
        QDateTime result = moment;
        result.setDate(date);
        result.setTime(time);
        return result;
    };
    const QDate date = moment.date();
    const int secondOfDay = moment.time().msecsSinceStartOfDay() / 1000;
    const int next = (secondOfDay / step + 1) * step;
    if (step >= kSecondsPerDay || next >= kSecondsPerDay)
        return at(date.addDays(1), QTime(0, 0));
    return at(date, QTime::fromMSecsSinceStartOfDay(next * 1000));
}

} // namespace Fields
