#include "rtftextdecoder.h"

#include "rtfcodepage.h"

namespace {

void appendWindows1252(QByteArrayView bytes, QString *out)
{
    static const QString table = [] {
        QString t(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            t[i] = QChar(RtfCodePage::fromWindows1252(static_cast<unsigned char>(i)));
        return t;
    }();
    const qsizetype start = out->size();
    out->resize(start + bytes.size());
    QChar *dst = out->data() + start;
    const QChar *map = table.constData();
    for (char b : bytes)
        *dst++ = map[static_cast<unsigned char>(b)];
}

bool isAscii(QByteArrayView bytes)
{
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

RtfTextDecoder::RtfTextDecoder() = default;
RtfTextDecoder::~RtfTextDecoder() = default;

void RtfTextDecoder::decodeAppend(QByteArrayView bytes, int codePage, QString *out)
{
    if (bytes.isEmpty())
        return;
    if (codePage == RtfCodePage::Ansi || codePage <= 0) {
        appendWindows1252(bytes, out);
        return;
    }
    if (isAscii(bytes)) {
        out->append(QLatin1StringView(bytes.data(), bytes.size()));
        return;
    }
    if (codePage == RtfCodePage::Utf8) {
        out->append(QString::fromUtf8(bytes));
        return;
    }
    QStringDecoder *decoder = decoderFor(codePage);
    if (!decoder) {
        appendWindows1252(bytes, out);
        return;
    }
    out->append(decoder->decode(bytes));
}

QStringDecoder *RtfTextDecoder::decoderFor(int codePage)
{
    auto it = m_decoders.constFind(codePage);
    if (it != m_decoders.constEnd())
        return it->get();
    std::shared_ptr<QStringDecoder> decoder;
    const QByteArray name = RtfCodePage::encodingName(codePage);
    if (!name.isEmpty()) {
        decoder
            = std::make_shared<QStringDecoder>(name.constData(), QStringDecoder::Flag::Stateless);
        if (!decoder->isValid())
            decoder.reset();
    }
    m_decoders.insert(codePage, decoder);
    return decoder.get();
}
