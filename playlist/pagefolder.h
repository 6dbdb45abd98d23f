#pragma once

#include <QString>
#include <QStringList>

// The page files the file browser offers: rich-text pages and BMP, JPEG and GIF pictures.

// "*.rtf;*.bmp;*.jpg;*.gif", the browser's pattern.
QString pageFilePattern();

// The names (no folder) of the files in `folder` that match pageFilePattern() without regard
// to letter case, so LOGO.BMP is listed as well as logo.bmp. Sorted by name, ignoring case.
// Folders (even one named "x.rtf") and hidden files are left out.
QStringList listPageFiles(const QString &folder);
