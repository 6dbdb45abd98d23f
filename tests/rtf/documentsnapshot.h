#pragma once

#include <QStringList>

class QTextDocument;

// A readable, comparable description of what a QTextDocument shows: blocks with their text
// and formats, runs with their resolved character formats, lists, tables and images (by
// pixels, not by resource name). Two documents the reader and writer treat as equal have
// equal snapshots; QCOMPARE on them points at the first difference.
class DocumentSnapshot
{
public:
    static QStringList describe(const QTextDocument &document);
};
