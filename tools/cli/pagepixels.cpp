#include "pagepixels.h"

#include "pagedocument.h"
#include "pagefields.h"
#include "pagefiles.h"
#include "pagegeometry.h"
#include "pagerenderer.h"

#include "programfolder.h"

#include <QDir>
#include <QTextDocument>
#include <QTextStream>

std::unique_ptr<PixelSource> loadPagePixels(const QString &path, qint16 textWidth,
    qint16 textHeight, qint16 perPixel, QString *error, Page::PictureMode pictures)
{
    QList<Fields::FieldProblem> problems;
    std::unique_ptr<PixelSource> pixels = loadPagePixels(
        path, textWidth, textHeight, perPixel, error, pictures, fieldContext(), &problems);
    printFieldProblems(path, problems);
    return pixels;
}

std::unique_ptr<PixelSource> loadPagePixels(const QString &path, qint16 textWidth,
    qint16 textHeight, qint16 perPixel, QString *error, Page::PictureMode pictures,
    const Fields::FieldContext &context, QList<Fields::FieldProblem> *problems)
{
    QTextDocument document;
    Page::setUpDocument(&document);
    const Page::FileResult loaded = Page::loadAnyPageFile(path, &document, pictures);
    if (!loaded.ok()) {
        *error = loaded.message(QStringLiteral("English"))
                     .replace(QLatin1Char('\n'), QLatin1Char(' '));
        return nullptr;
    }
    // The canvas a page of this size has in the editor: PerPixel units per module plus the
    // two-unit border.
    const std::optional<QSize> canvas = Page::canvasSize(perPixel, textWidth, textHeight);
    if (!canvas) {
        *error = QStringLiteral("a page of %1 x %2 modules at %3 units per module is larger "
                                "than a canvas can be")
                     .arg(textWidth)
                     .arg(textHeight)
                     .arg(perPixel);
        return nullptr;
    }
    // Fields show the values of this moment; a field that cannot be filled shows as typed or
    // as "?", and the page is still drawn and sent.
    Fields::FieldResolver resolver(context);
    Page::fillFields(&document, resolver, problems);
    return std::make_unique<ImagePixelSource>(Page::renderCanvas(&document, *canvas));
}

Fields::FieldContext fieldContext()
{
    Fields::FieldContext context;
    context.moment = QDateTime::currentDateTime();
    context.programFolder = programFolder();
    return context;
}

void printFieldProblems(const QString &pagePath, const QList<Fields::FieldProblem> &problems)
{
    QTextStream err(stderr);
    for (const Fields::FieldProblem &problem : problems)
        err << "vantrel-cli: " << QDir::toNativeSeparators(pagePath) << ": " << problem.typed
            << ": " << problem.reason << '\n';
}
