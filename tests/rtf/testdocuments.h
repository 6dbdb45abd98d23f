#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextDocument>

#include <memory>

struct RtfReadResult;
class QTextTable;

// What the RTF tests share: documents made and read alike, and ways to look into them.
namespace TestDocuments {

// A document whose default font is DejaVu Sans 10 pt, so runs without a font compare alike.
std::unique_ptr<QTextDocument> newDocument();
// newDocument() with `rtf` read into it.
std::unique_ptr<QTextDocument> read(const QByteArray &rtf, RtfReadResult *result = nullptr);

QTextCharFormat chars(const QString &family, qreal size, const QColor &color = QColor());
QTextTable *firstTable(const QTextDocument &document);
// Each cell's text, blocks joined by '|', cells by ';' and rows by '/'.
QString tableText(const QTextTable *table);

QList<QTextImageFormat> images(const QTextDocument &document);
QImage imageOf(const QTextDocument &document, const QTextImageFormat &format);
QByteArray encoded(const QImage &image, const char *format = "PNG", int quality = -1);

// A page with every character and paragraph format the writer knows, CJK text, a page
// background, a bullet list around a numbered one, a table with merged cells and padding, and
// a picture.
std::unique_ptr<QTextDocument> samplePage();

// A readable, comparable description of what a document shows: the page background, blocks
// with their text and formats, runs with their resolved character formats, lists, tables
// and images (by pixels, not by resource name). Documents the reader and writer treat as
// equal have equal snapshots; QCOMPARE on them points at the first difference.
QStringList snapshot(const QTextDocument &document);

} // namespace TestDocuments
