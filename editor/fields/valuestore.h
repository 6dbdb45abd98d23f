#pragma once

#include <QString>
#include <QStringList>

// The values that {value:NAME} fields show, kept in the program folder: one UTF-8 file per
// value in its "values" folder (values/NAME.txt), each replaced atomically, so two scripts
// setting different values never undo each other, and a reader never sees half a value.
class ValueStore
{
public:
    // Longest value, in characters: a sign shows a line, not a document.
    static constexpr int kMaxValueLength = 1000;

    explicit ValueStore(QString programFolder);

    QString folder() const; // <program folder>/values
    QString filePath(const QString &name) const;

    // Stores `text` (line breaks become blanks: a value is one line) as value `name`. False,
    // with `error` in `language`, for a bad name, a value over kMaxValueLength characters,
    // or a folder or file that cannot be written; the old value is then unchanged.
    bool set(const QString &name, const QString &text, QString *error,
        const QString &language = QStringLiteral("English")) const;
    // The stored value; false with `error` when it was never set or cannot be read.
    bool get(const QString &name, QString *value, QString *error,
        const QString &language = QStringLiteral("English")) const;
    // The names of the stored values, sorted.
    QStringList names() const;

private:
    QString m_programFolder;
};
