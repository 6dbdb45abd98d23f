#pragma once

#include "ledpicture.h"
#include "pixelsource.h"

#include <QString>

#include <memory>

// The canvas of a page file as the sign samples it, for a page of textWidth x textHeight
// modules, its pictures in LED colours by `pictures`. Null with `error` set when the file
// cannot be read as a page.
std::unique_ptr<PixelSource> loadPagePixels(const QString &path, qint16 textWidth,
                                            qint16 textHeight, qint16 perPixel, QString *error,
                                            Page::PictureMode pictures = Page::PictureMode::Threshold);
