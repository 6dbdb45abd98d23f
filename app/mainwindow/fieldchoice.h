#pragma once

#include "fieldresolver.h"

#include <QString>
#include <QStringList>

// One field as the Insert > Field dialog builds it: a kind with its format or name, the text
// typed into the page for it, and what it shows now. No widgets, so a test can drive it.
struct FieldChoice
{
    enum class Kind {
        Time, // {time}: HH:mm
        TimeWithFormat, // {time:FORMAT}
        DateWithFormat, // {date:FORMAT}
        File, // {file:NAME}: the first line of a text file in the program folder
        Value, // {value:NAME}: a value set with vantrel-cli value set
    };

    Kind kind = Kind::Time;
    QString format; // TimeWithFormat and DateWithFormat: a Qt date/time format
    QString name; // File: a file name relative to the program folder; Value: a value name

    bool takesFormat() const
    {
        return kind == Kind::TimeWithFormat || kind == Kind::DateWithFormat;
    }
    bool takesName() const { return kind == Kind::File || kind == Kind::Value; }

    // The field as typed into the page, e.g. "{value:spaces}".
    QString fieldText() const;
    // Whether fieldText() is one field a page understands (a value or file that is missing
    // still is: it may be set later).
    bool isField() const;
    // What the field shows at the context's moment; `problem` gets why it shows the marker or
    // is not a field, in the context's language, else "".
    QString preview(const Fields::FieldContext &context, QString *problem) const;

    // A few common formats for the kinds that take one, the first the usual choice.
    static QStringList presetFormats(Kind kind);
    // The names offered: the text files of the program folder, or the values set there.
    static QStringList names(Kind kind, const QString &programFolder);
};
