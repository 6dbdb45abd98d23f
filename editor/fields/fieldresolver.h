#pragma once

#include "fieldparser.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

namespace Fields {

// Where fields take their values from: the moment to show (the caller's clock, so a test or
// the agent decides what "now" is) and the program folder that holds the files and values.
struct FieldContext
{
    QDateTime moment;
    QString programFolder;
    QString language = QStringLiteral("English"); // of the problem texts
};

// A field that shows as typed or as the marker, and why.
struct FieldProblem
{
    QString typed; // the field as written in the page, e.g. "{file:price.txt}"
    QString reason; // in the context's language
};

// What a file or value field shows when it has nothing to show.
inline QString missingMarker()
{
    return QStringLiteral("?");
}

// Longest file a file field reads: its first line is a count, a price or a message. A larger
// file shows the marker without being read.
constexpr qint64 kMaxFieldFileBytes = 64 * 1024;

// Fills fields with their text. Files and values are read once per resolver, so a page that
// names one file twice shows the same text twice; make a new resolver for each drawing.
class FieldResolver
{
public:
    explicit FieldResolver(FieldContext context);

    // The text of every field piece of `parsed` put into its `shown`; problems of fields
    // (and of text that only looked like one) are added to `problems` when given.
    void resolve(ParsedText *parsed, QList<FieldProblem> *problems = nullptr);

    // The text with its fields filled.
    QString shownText(const QString &text, QList<FieldProblem> *problems = nullptr);

    const FieldContext &context() const { return m_context; }

private:
    struct Outcome
    {
        QString text;
        QString problem; // "" when the field has its value
    };
    Outcome fileText(const QString &name);
    Outcome valueText(const QString &name);

    FieldContext m_context;
    QHash<QString, Outcome> m_files;
    QHash<QString, Outcome> m_values;
};

// The first line of the UTF-8 text file `name` inside `folder`; the marker with the reason
// when the name leaves the folder, the file is missing, not a plain file, unreadable, larger
// than kMaxFieldFileBytes, or not UTF-8 text. Never blocks: pipes and devices are refused
// unopened.
QString readFieldFile(const QString &folder, const QString &name, QString *problem,
    const QString &language = QStringLiteral("English"));

// The fields a text uses, as typed, each once, in order: what a caller watches.
QStringList usedFields(const QString &text);

// The first moment after `moment` when a time or date field of `text` may show a different
// text; invalid when the text has none.
QDateTime nextTimeChange(const QString &text, const QDateTime &moment);

} // namespace Fields
