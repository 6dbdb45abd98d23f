#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringDecoder>

#include <memory>

// Decodes code-page bytes to text, keeping one converter per code page so that a file
// switching fonts does not reopen converters. Unknown code pages decode as Windows-1252.
class RtfTextDecoder
{
public:
    RtfTextDecoder();
    ~RtfTextDecoder();

    void decodeAppend(QByteArrayView bytes, int codePage, QString *out);

private:
    QStringDecoder *decoderFor(int codePage);

    QHash<int, std::shared_ptr<QStringDecoder>> m_decoders;
};
