#include "livepages.h"

#include "fieldparser.h"
#include "pagedocument.h"
#include "pagefields.h"
#include "pagefiles.h"
#include "showfile.h"

#include <QDir>
#include <QFileInfo>
#include <QTextDocument>

namespace {

// The first field of `parsed` of `kind`, else null.
const Fields::Piece *fieldOf(const Fields::ParsedText &parsed, Fields::Kind kind)
{
    for (const Fields::Piece &piece : parsed.pieces) {
        if (piece.kind == kind)
            return &piece;
    }
    return nullptr;
}

} // namespace

LivePages::LivePages() = default;
LivePages::~LivePages() = default;

void LivePages::clear()
{
    m_pages.clear();
}

void LivePages::load(
    const QString &showPath, const Fields::FieldContext &context, Page::PictureMode pictures)
{
    m_pages.clear();
    m_programFolder = context.programFolder;
    const QString folder = QFileInfo(showPath).absolutePath();
    const ShowFile::ReadResult show = ShowFile::read(showPath, folder, context.language);
    if (!show.ok)
        return;
    for (int i = 0; i < show.rows.size(); ++i) {
        LivePage page;
        page.row = i + 1;
        page.path = folder + QLatin1Char('/') + show.rows.at(i).value(11);
        page.document = std::make_unique<QTextDocument>();
        Page::setUpDocument(page.document.get());
        if (!Page::loadAnyPageFile(page.path, page.document.get(), pictures).ok())
            continue;
        page.fields = Page::usedFields(*page.document);
        if (page.fields.isEmpty())
            continue;
        page.sent = page.current = Page::shownText(*page.document, context);
        m_pages.push_back(std::move(page));
    }
}

QList<int> LivePages::changedRows(const Fields::FieldContext &context, QStringList *problems)
{
    QList<int> rows;
    QSet<QString> found;
    for (LivePage &page : m_pages) {
        page.current = Page::shownText(*page.document, context);
        if (page.current != page.sent)
            rows.append(page.row);
        // Each field alone, so a problem names its page and field.
        Fields::FieldResolver resolver(context);
        for (const QString &typed : std::as_const(page.fields)) {
            QList<Fields::FieldProblem> fieldProblems;
            resolver.shownText(typed, &fieldProblems);
            for (const Fields::FieldProblem &p : std::as_const(fieldProblems)) {
                const QString line = QDir::toNativeSeparators(page.path) + QStringLiteral(": ")
                    + p.typed + QStringLiteral(": ") + p.reason;
                found.insert(line);
                if (problems && !m_told.contains(line))
                    problems->append(line);
            }
        }
    }
    m_told = found;
    return rows;
}

void LivePages::markSent(const QList<int> &rows)
{
    for (LivePage &page : m_pages) {
        if (rows.contains(page.row))
            page.sent = page.current;
    }
}

void LivePages::markAllSent(const Fields::FieldContext &context)
{
    for (LivePage &page : m_pages)
        page.sent = page.current = Page::shownText(*page.document, context);
}

QDateTime LivePages::nextTimeChange(const QDateTime &moment) const
{
    QDateTime next;
    for (const LivePage &page : m_pages) {
        const QDateTime change = Page::nextTimeChange(*page.document, moment);
        if (change.isValid() && (!next.isValid() || change < next))
            next = change;
    }
    return next;
}

QStringList LivePages::watchedFiles() const
{
    QStringList files;
    const QString inside = QDir::cleanPath(QDir(m_programFolder).absolutePath()) + QLatin1Char('/');
    for (const LivePage &page : m_pages) {
        for (const QString &typed : page.fields) {
            if (const Fields::Piece *f = fieldOf(Fields::parse(typed), Fields::Kind::File)) {
                // A name that leaves the folder shows "?" and is not watched.
                const QString path
                    = QDir::cleanPath(QDir(m_programFolder).absoluteFilePath(f->argument));
                if (path.startsWith(inside) && !files.contains(path))
                    files.append(path);
            }
        }
    }
    return files;
}

bool LivePages::usesValue(const QString &name) const
{
    for (const LivePage &page : m_pages) {
        for (const QString &typed : page.fields) {
            const Fields::Piece *f = fieldOf(Fields::parse(typed), Fields::Kind::Value);
            if (f && f->argument == name)
                return true;
        }
    }
    return false;
}
