#pragma once

#include "fieldresolver.h"
#include "ledpicture.h"
#include "pixelsource.h"

#include <QString>

#include <memory>

// The canvas of a page file as the sign samples it, its fields filled from the program
// folder at this moment (their problems printed), for a page of textWidth x textHeight
// modules, its pictures in LED colours by `pictures`. Null with `error` set when the file
// cannot be read as a page.
std::unique_ptr<PixelSource> loadPagePixels(const QString &path, qint16 textWidth,
    qint16 textHeight, qint16 perPixel, QString *error,
    Page::PictureMode pictures = Page::PictureMode::Threshold);
// The same with the fields filled in `context`; their problems go to `problems` instead of
// being printed.
std::unique_ptr<PixelSource> loadPagePixels(const QString &path, qint16 textWidth,
    qint16 textHeight, qint16 perPixel, QString *error, Page::PictureMode pictures,
    const Fields::FieldContext &context, QList<Fields::FieldProblem> *problems);

// Fields filled now, from the files and values of the program folder in use.
Fields::FieldContext fieldContext();
// One line on stderr per field of `pagePath` that shows as typed or as the marker.
void printFieldProblems(const QString &pagePath, const QList<Fields::FieldProblem> &problems);
