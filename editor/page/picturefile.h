#pragma once

#include "pagefiles.h"

#include <QByteArray>
#include <QImage>

// Reading a picture that is to be placed on a page, with every check made before the picture
// is decoded: a few bytes can claim a picture of 40 gigabytes, and a file cut short decodes
// into a picture with a grey or missing part.
namespace Page {

// The largest picture a page takes, as for the pictures of an RTF page.
constexpr int kMaxPictureSide = 16384; // pixels
constexpr qint64 kMaxPicturePixels = 64ll * 1024 * 1024;

// Reads the picture file at `path` into `image`. Fails with CannotRead (no file),
// NotAPicture (its content is not BMP, JPEG, GIF or PNG, whatever its name: no decoder runs),
// PictureDamaged (its data ends early, claims no pixels, or uses colours its palette lacks)
// or PictureTooLarge (detail "W x H", as its header claims); `image` is then untouched.
FileResult readPictureFile(const QString &path, QImage *image);

// The same checks on picture data held in memory; `path` only names it in messages.
FileResult readPictureData(const QByteArray &bytes, const QString &path, QImage *image);

// Whether `path` is a plain file that can be read through to its end; else false with
// `reason` ("it is a folder", "it is a device or pipe, not a file") when it exists at all. A
// pipe or device would block a read or never end.
bool isPlainFile(const QString &path, QString *reason);

// Whether `bytes` begin as a BMP, JPEG, GIF or PNG picture does (the only pictures a page takes).
bool looksLikePicture(const QByteArray &bytes);

// Whether a picture of `width` x `height` pixels may be placed on a page.
bool pictureSizeAllowed(qint64 width, qint64 height);

// Whether picture data of `format` ("png", "jpeg", "gif", "bmp"; other formats pass) runs to
// its proper end: PNG to its IEND chunk, JPEG to its end-of-image marker, GIF to its trailer,
// a BMP through its last pixel row (run-length ones to their end).
bool pictureDataComplete(const QByteArray &bytes, const QByteArray &format);

} // namespace Page
