#include "showtext.h"

#include <QStringDecoder>

namespace ShowText {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

// The same header rule as the INI store: "[name]" after optional blanks.
bool sectionHeader(const QString &line, QString *name)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    *name = trimmed.mid(1, close - 1).trimmed();
    return true;
}

bool keyLine(const QString &line, QString *key, QString *value)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return false;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return !key->isEmpty();
}

} // namespace

bool parse(const QByteArray &bytes, QList<IniSection> *sections, Fault *fault)
{
    QByteArrayView text(bytes);
    if (text.startsWith(kUtf8Mark))
        text = text.sliced(kUtf8Mark.size());
    QString section;
    int lineNumber = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = at;
        while (end < text.size() && text.at(end) != '\n' && text.at(end) != '\r')
            ++end;
        const QByteArrayView raw = text.sliced(at, end - at);
        // "\r\n" is one line break, a lone "\r" another, as the INI store reads them.
        at = end
            + (end + 1 < text.size() && text.at(end) == '\r' && text.at(end + 1) == '\n' ? 2 : 1);
        ++lineNumber;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = decoder.decode(raw);
        QString key;
        QString value;
        const bool isKey = !sectionHeader(line, &key) && keyLine(line, &key, &value);
        const auto fail = [&](Fault::Kind kind) {
            *fault = Fault { kind, lineNumber, section, isKey ? key : QString() };
            return false;
        };
        if (decoder.hasError())
            return fail(Fault::Kind::NotUtf8);
        if (raw.contains('\0'))
            return fail(Fault::Kind::NulByte);
        QString name;
        if (sectionHeader(line, &name)) {
            section = name;
            sections->append(IniSection { name, {} });
            continue;
        }
        if (!isKey || sections->isEmpty())
            continue;
        if (value.toUtf8().size() > classIniFile::kMaxValueBytes)
            return fail(Fault::Kind::ValueTooLong);
        sections->last().keys.append({ key, value });
    }
    return true;
}

} // namespace ShowText
