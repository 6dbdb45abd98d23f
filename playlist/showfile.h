#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class ControlRowSource;

// Show files: the program list saved as a UTF-8 INI text (".vshow") through classIniFile.
//
//   [Show]
//   Version=1
//
//   [Row1]
//   File Path=welcome.rtf
//   Effect=0
//   ...
//   THeight=1
//
// One section per row, "Row1" to "RowN" without gaps, keyed by the list's column headers,
// values as the list holds them. "File Path" is relative to the show file's folder, so a show
// saved in the program folder holds bare names exactly like the list. Unknown keys and
// sections are ignored, so later versions can add to the format.
namespace ShowFile {

constexpr int kVersion = 1;
// The list holds at most this many rows (row numbers are 16-bit signed).
constexpr int kMaxRows = 32767;

// "vshow", the suffix of show files.
QString suffix();
// "Vantrel show (*.vshow)" in the user's language, for file dialogs.
QString dialogFilter(const QString &language);

// The key of list column `column` (2..12): "Effect" ... "THeight", "File Path".
QString keyOf(int column);

// A show as it was read, or why it was refused.
struct ReadResult
{
    bool ok = false;
    // Twelve texts per row as the list holds them: "NO." is the row's position, the numbers
    // in plain decimal, File Path relative to the page folder the caller gave.
    QList<QStringList> rows;
    // What is wrong, naming the row and key (or the file), in the user's language.
    QString message;
};

// Reads and checks the show at `showPath`. Every row must have every key, each value within
// the list's ranges (Effect 0-10, Speed 1-25, Times 0-25, Repeat 1-125, EEffect 0-5, ESpeed
// 1-25, ETime 0-25, ERepeat 1-125, TWidth and THeight whole numbers from 1), and a page file
// that exists. On any fault nothing is returned but the message. `pageFolder` is the folder
// the list's File Path texts are relative to (the program folder).
ReadResult read(const QString &showPath, const QString &pageFolder, const QString &language);

// Checks one row's twelve texts as read() does, without looking for its page file; "" when
// the row is sound, else the message naming `rowNumber` and the key.
QString checkRow(const QStringList &texts, int rowNumber, const QString &language);

// Writes the rows of `list` to `showPath` in one atomic write, File Path made relative to
// the show's folder. Rows are checked first (checkRow); a bad row writes nothing. False with
// `message` set (in the user's language) when nothing was written.
bool write(const QString &showPath, const ControlRowSource &list, const QString &pageFolder,
    const QString &language, QString *message);

} // namespace ShowFile
