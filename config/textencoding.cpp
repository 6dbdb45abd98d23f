#include "textencoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr char kGbkName[] = "GBK";

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString decoded = decoder.decode(bytes); // decoding is lazy until converted
    Q_UNUSED(decoded)
    return !decoder.hasError();
}

QString decodeGbk(const QByteArray &bytes)
{
    QStringDecoder decoder(kGbkName);
    if (!decoder.isValid()) // a Qt built without ICU: keep the bytes readable at least
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray encodeGbk(const QString &text)
{
    QStringEncoder encoder(kGbkName);
    if (!encoder.isValid())
        return text.toUtf8();
    return encoder.encode(text);
}

} // namespace

DecodedText decodeSettingsText(const QByteArray &bytes)
{
    DecodedText result;
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
        result.hadBom = true;
    }
    if (isValidUtf8(body)) {
        result.text = QString::fromUtf8(body);
        result.encoding = TextEncoding::Utf8;
    } else {
        result.text = decodeGbk(body);
        result.encoding = TextEncoding::Gbk;
    }
    return result;
}

QByteArray encodeSettingsText(const QString &text, TextEncoding encoding, bool withBom)
{
    if (encoding == TextEncoding::Gbk)
        return encodeGbk(text);
    QByteArray bytes = text.toUtf8();
    if (withBom)
        bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

int encodedLength(const QString &text, TextEncoding encoding)
{
    return encodeSettingsText(text, encoding).size();
}

QString truncateToEncodedBytes(const QString &text, TextEncoding encoding, int maxBytes)
{
    if (encodedLength(text, encoding) <= maxBytes)
        return text;
    // Walk whole code points so a surrogate pair is never split.
    QString kept;
    int bytes = 0;
    for (int i = 0; i < text.size();) {
        const int len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString piece = text.mid(i, len);
        const int pieceBytes = encodedLength(piece, encoding);
        if (bytes + pieceBytes > maxBytes)
            break;
        kept += piece;
        bytes += pieceBytes;
        i += len;
    }
    return kept;
}
