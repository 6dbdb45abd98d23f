#include "pagefields.h"

#include "pagerenderer.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

namespace Page {

namespace {

// Every paragraph's text, tables' cells included, joined by "\n".
QString paragraphsText(const QTextDocument &document)
{
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            text += QLatin1Char('\n');
        text += block.text();
    }
    return text;
}

// Removes the second brace of every "{{" and "}}" in [from, from + length) of the block.
void unescape(
    QTextDocument *document, int blockPosition, const QString &blockText, int from, int length)
{
    QList<int> doubled;
    for (int i = from; i + 1 < from + length; ++i) {
        const QChar c = blockText.at(i);
        if ((c == QLatin1Char('{') || c == QLatin1Char('}')) && blockText.at(i + 1) == c)
            doubled.append(i++ + 1);
    }
    for (auto it = doubled.crbegin(); it != doubled.crend(); ++it) {
        QTextCursor cursor(document);
        cursor.setPosition(blockPosition + *it);
        cursor.deleteChar();
    }
}

} // namespace

void fillFields(
    QTextDocument *document, Fields::FieldResolver &resolver, QList<Fields::FieldProblem> *problems)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (!Fields::ParsedText::mayHoldFields(text))
            continue;
        Fields::ParsedText parsed = Fields::parse(text);
        resolver.resolve(&parsed, problems);
        const int blockPosition = block.position();
        // From the end, so the positions of the pieces still to do stay as parsed.
        for (auto it = parsed.pieces.crbegin(); it != parsed.pieces.crend(); ++it) {
            const Fields::Piece &piece = *it;
            if (piece.kind == Fields::Kind::Text) {
                if (piece.shown.size() != piece.length)
                    unescape(document, blockPosition, text, piece.start, piece.length);
                continue;
            }
            if (!piece.isField())
                continue;
            QTextCursor first(document);
            first.setPosition(blockPosition + piece.start + 1);
            const QTextCharFormat format = first.charFormat();
            QTextCursor field(document);
            field.setPosition(blockPosition + piece.start);
            field.setPosition(blockPosition + piece.start + piece.length, QTextCursor::KeepAnchor);
            field.insertText(piece.shown, format);
        }
    }
}

std::unique_ptr<QTextDocument> filledCopy(const QTextDocument &document,
    const Fields::FieldContext &context, QList<Fields::FieldProblem> *problems)
{
    bool anyBrace = false;
    for (QTextBlock block = document.begin(); block.isValid() && !anyBrace; block = block.next())
        anyBrace = Fields::ParsedText::mayHoldFields(block.text());
    if (!anyBrace)
        return nullptr;
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setUndoRedoEnabled(false);
    // A clone keeps the content, fonts and root frame but not the layout's device or margin.
    copy->setDocumentMargin(document.documentMargin());
    copy->rootFrame()->setFrameFormat(document.rootFrame()->frameFormat());
    copy->documentLayout()->setPaintDevice(document.documentLayout()->paintDevice());
    copy->setTextWidth(document.textWidth());
    Fields::FieldResolver resolver(context);
    fillFields(copy.get(), resolver, problems);
    return copy;
}

QImage renderFilledCanvas(QTextDocument *document, const QSize &canvas,
    const Fields::FieldContext &context, QList<Fields::FieldProblem> *problems)
{
    const std::unique_ptr<QTextDocument> filled = filledCopy(*document, context, problems);
    return renderCanvas(filled ? filled.get() : document, canvas);
}

QString shownText(const QTextDocument &document, const Fields::FieldContext &context)
{
    return Fields::FieldResolver(context).shownText(paragraphsText(document));
}

QStringList usedFields(const QTextDocument &document)
{
    return Fields::usedFields(paragraphsText(document));
}

QDateTime nextTimeChange(const QTextDocument &document, const QDateTime &moment)
{
    return Fields::nextTimeChange(paragraphsText(document), moment);
}

} // namespace Page
