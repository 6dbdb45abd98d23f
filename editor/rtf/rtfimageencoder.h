#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

class QTextDocument;

// Writes pictures as RTF \pict groups with PNG data.
class RtfImageEncoder
{
public:
    // The image a QTextImageFormat name refers to: a document resource (QImage or encoded
    // bytes), else a file path or URL Qt can load. Null when there is none.
    static QImage resolve(const QTextDocument &document, const QString &name);

    // A complete {\pict\pngblip …} group showing `image` at `size` pixels (the image's own
    // size when `size` is empty).
    static QByteArray pictGroup(const QImage &image, const QSizeF &size);
};
