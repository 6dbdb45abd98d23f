#pragma once

#include "fieldresolver.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QStringList>

#include <memory>

class QTextDocument;

// Fields in a page document: the page keeps them as typed, and every drawing for the sign
// shows their values. Each field takes the format of its first character, so a green
// "{value:spaces}" lights green; "{{" and "}}" draw one brace.
namespace Page {

// Puts the values into `document` itself, through `resolver`; the problems of its fields are
// added to `problems` when given. Only for a document made for one drawing.
void fillFields(QTextDocument *document, Fields::FieldResolver &resolver,
    QList<Fields::FieldProblem> *problems = nullptr);

// A copy of `document` with its fields filled, ready to lay out as the page is; null when the
// page has nothing to fill (no brace at all), so the page itself can be drawn.
std::unique_ptr<QTextDocument> filledCopy(const QTextDocument &document,
    const Fields::FieldContext &context, QList<Fields::FieldProblem> *problems = nullptr);

// renderCanvas of the page with its fields filled at the context's moment; `document`
// itself is not changed.
QImage renderFilledCanvas(QTextDocument *document, const QSize &canvas,
    const Fields::FieldContext &context, QList<Fields::FieldProblem> *problems = nullptr);

// The text the page shows at the context's moment, its paragraphs joined by "\n": two calls
// that return the same text draw the same page.
QString shownText(const QTextDocument &document, const Fields::FieldContext &context);

// Every field the page uses, as typed, each once.
QStringList usedFields(const QTextDocument &document);

// The first moment after `moment` when a time or date field of the page may change; invalid
// when it has none.
QDateTime nextTimeChange(const QTextDocument &document, const QDateTime &moment);

} // namespace Page
