#pragma once

#include "fieldresolver.h"
#include "ledpicture.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTextDocument;

// The pages of the show in force that hold fields, and the text each shows: what tells the
// agent which pages to draw again. Pages without fields never change and are not kept.
class LivePages
{
public:
    LivePages();
    ~LivePages();

    // Reads the pages of the show at `showPath` (a page that cannot be read is left out: the
    // send reports it); the texts they show in `context` count as sent.
    void load(const QString &showPath, const Fields::FieldContext &context,
        Page::PictureMode pictures = Page::PictureMode::Threshold);
    void clear();
    bool isEmpty() const { return m_pages.empty(); }

    // Rows (1-based) whose text in `context` differs from the text last sent, in order. Each
    // field problem not told before is added to `problems` as "page: {field}: reason", once
    // until it is mended.
    QList<int> changedRows(const Fields::FieldContext &context, QStringList *problems = nullptr);
    // The texts of `rows` found by the last changedRows() are now on the signs.
    void markSent(const QList<int> &rows);
    // Every page is on the signs as `context` shows it (the show was sent whole).
    void markAllSent(const Fields::FieldContext &context);

    // The first moment after `moment` when a time or date field may change; invalid when none.
    QDateTime nextTimeChange(const QDateTime &moment) const;
    // The files that file fields read, as absolute paths.
    QStringList watchedFiles() const;
    bool usesValue(const QString &name) const;

private:
    struct LivePage
    {
        int row = 0;
        QString path;
        std::unique_ptr<QTextDocument> document;
        QStringList fields; // as typed
        QString sent; // the text on the signs
        QString current; // the text found last
    };

    std::vector<LivePage> m_pages;
    QString m_programFolder;
    QSet<QString> m_told; // problems logged and not yet mended
};
