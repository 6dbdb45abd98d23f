#pragma once

#include <QByteArray>
#include <QString>

// The text encodings of the settings and language files. Files are UTF-8; a file that
// is not valid UTF-8 comes from the Windows era and is read as GBK, the code page in
// which such files store "简体中文".
enum class TextEncoding { Utf8, Gbk };

struct DecodedText
{
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    bool hadBom = false; // a UTF-8 byte order mark was present (and is written back)
};

DecodedText decodeSettingsText(const QByteArray &bytes);
QByteArray encodeSettingsText(const QString &text, TextEncoding encoding, bool withBom = false);

// Number of bytes `text` takes in `encoding`.
int encodedLength(const QString &text, TextEncoding encoding);

// The longest prefix of `text` that takes at most `maxBytes` bytes in `encoding`,
// never splitting a character.
QString truncateToEncodedBytes(const QString &text, TextEncoding encoding, int maxBytes);
