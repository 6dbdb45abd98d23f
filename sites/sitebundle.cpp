#include "sitebundle.h"

#include "localtext.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace SiteBundle {

namespace {

QString refused(const QString &language, const QString &english, const QString &chinese)
{
    return localText(language,
        QStringLiteral("The schedule bundle was refused: %1 Nothing was changed.").arg(english),
        QStringLiteral("时间表包被拒绝：%1未做任何更改。").arg(chinese));
}

} // namespace

bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name.contains(QLatin1String(".."))
        || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.toUtf8().size() > kMostNameBytes)
        return false;
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control;
    });
}

ParseResult parse(const QByteArray &payload, const QString &language)
{
    ParseResult result;
    if (payload.size() > kMostBytes) {
        result.reason = refused(language,
            QStringLiteral("it is %1 bytes long, more than the %2 a bundle may have.")
                .arg(payload.size())
                .arg(kMostBytes),
            QStringLiteral("它长 %1 字节，超过了上限 %2 字节。")
                .arg(payload.size())
                .arg(kMostBytes));
        return result;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        const QString why
            = document.isNull() ? error.errorString() : QStringLiteral("not an object");
        result.reason = refused(language,
            QStringLiteral("it is not JSON that can be read (%1 at byte %2).")
                .arg(why)
                .arg(error.offset),
            QStringLiteral("它不是可读的 JSON（第 %2 字节处：%1）。").arg(why).arg(error.offset));
        return result;
    }
    const QJsonObject object = document.object();
    if (object.value(QLatin1String("version")).toInt(-1) != kVersion) {
        result.reason = refused(language, QStringLiteral("\"version\" is not %1.").arg(kVersion),
            QStringLiteral("“version”不是 %1。").arg(kVersion));
        return result;
    }
    const QJsonValue files = object.value(QLatin1String("files"));
    if (!files.isObject()) {
        result.reason = refused(language, QStringLiteral("it has no \"files\" object."),
            QStringLiteral("其中没有“files”对象。"));
        return result;
    }
    Contents &contents = result.contents;
    const QJsonObject fileObject = files.toObject();
    for (auto it = fileObject.begin(); it != fileObject.end(); ++it) {
        const QString name = it.key();
        if (!isPlainName(name)) {
            result.reason = refused(language,
                QStringLiteral("the file name \"%1\" is not a plain name (no folders, \"..\" "
                               "or control characters).")
                    .arg(name),
                QStringLiteral("文件名“%1”不是单纯的文件名（不能含文件夹、“..”或控制字符）。")
                    .arg(name));
            return result;
        }
        const auto decoded = QByteArray::fromBase64Encoding(
            it.value().toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!it.value().isString() || !decoded) {
            result.reason
                = refused(language, QStringLiteral("the file \"%1\" is not base64.").arg(name),
                    QStringLiteral("文件“%1”不是 base64 编码。").arg(name));
            return result;
        }
        contents.files.insert(name, *decoded);
    }
    contents.schedule = object.value(QLatin1String("schedule")).toString();
    if (!contents.files.contains(contents.schedule)
        || !contents.schedule.endsWith(QLatin1String(".vsched"), Qt::CaseInsensitive)) {
        result.reason = refused(language,
            QStringLiteral("\"schedule\" (\"%1\") does not name a .vsched file of the bundle.")
                .arg(contents.schedule),
            QStringLiteral("“schedule”（“%1”）不是包中的 .vsched 文件。").arg(contents.schedule));
        return result;
    }
    result.ok = true;
    return result;
}

QByteArray encode(const Contents &contents)
{
    QJsonObject files;
    for (auto it = contents.files.cbegin(); it != contents.files.cend(); ++it)
        files.insert(it.key(), QString::fromLatin1(it.value().toBase64()));
    const QJsonObject object { { QStringLiteral("version"), kVersion },
        { QStringLiteral("schedule"), contents.schedule }, { QStringLiteral("files"), files } };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace SiteBundle
