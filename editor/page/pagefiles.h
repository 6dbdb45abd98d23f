#pragma once

#include "ledpicture.h"

#include <QString>

class QTextDocument;

// Moving pages between files and page documents. Every load leaves the document set up as a
// page (Page::setUpDocument); a failed load leaves it as it was. Every save goes through a
// temporary file, so a failed save never destroys the previous page file.
namespace Page {

struct FileResult
{
    enum class Kind {
        Ok,
        CannotRead,
        NotAPicture,
        CannotWrite,
        PictureDamaged, // the picture's data ends early or is broken
        PictureTooLarge, // detail: "W x H" as the picture claims
    };
    Kind kind = Kind::Ok;
    QString path;
    QString detail; // the system's reason, e.g. "No such file or directory"

    bool ok() const { return kind == Kind::Ok; }
    // A result of `kind` for the file at `path`, with the system's reason.
    static FileResult failure(Kind kind, const QString &path, const QString &detail)
    {
        FileResult r;
        r.kind = kind;
        r.path = path;
        r.detail = detail;
        return r;
    }
    // What happened and what to do, in the user's language.
    QString message(const QString &language) const;
};

// The program list's rule for telling page kinds apart by name: a file whose name ends in
// ".rtf" (any letter case) is rich text, anything else a picture, so "shirtfront.bmp" is a
// picture and "A.RTF" a page of text.
bool namesRichText(const QString &path);

// Every load puts pictures on the page in the sign's colours, converted by `pictures`; the
// files themselves are never changed.

// Reads an RTF file, or a plain-text file as its text.
FileResult loadRichTextFile(
    const QString &path, QTextDocument *document, PictureMode pictures = PictureMode::Threshold);

// Shows a picture file (BMP, JPG, GIF, PNG, ...) as the page: the picture alone at its own
// size, its top-left pixel on LED (0, 0). A damaged or oversized picture is refused before it
// is decoded, and the page keeps what it had.
FileResult loadPictureFile(
    const QString &path, QTextDocument *document, PictureMode pictures = PictureMode::Threshold);

// The program list's and file browser's load: by name, as namesRichText() tells.
FileResult loadListedPageFile(
    const QString &path, QTextDocument *document, PictureMode pictures = PictureMode::Threshold);

// Any page file, told apart by content: RTF, a picture (BMP, JPEG, GIF, PNG), else plain
// text; a name of a picture type (or SVG) whose content is no such picture is refused.
FileResult loadAnyPageFile(
    const QString &path, QTextDocument *document, PictureMode pictures = PictureMode::Threshold);

// Writes the page as RTF (whatever the file's extension).
FileResult savePageFile(const QString &path, const QTextDocument &document);

// The Save command's name rule: ".rtf" is appended unless the name ends in exactly ".rtf".
QString withRtfSuffix(const QString &name);
// The Save As command's name rule: ".txt" is appended unless the name ends in exactly ".txt".
QString withTxtSuffix(const QString &name);

} // namespace Page
