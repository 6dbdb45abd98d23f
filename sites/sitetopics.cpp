#include "sitetopics.h"

#include "localtext.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

namespace SiteTopics {

namespace {

const QString kRoot = QStringLiteral("vantrel/");

QString topic(const QString &site, const QString &leaf)
{
    return kRoot + site + QLatin1Char('/') + leaf;
}

bool decodeUtf8(const QByteArray &bytes, QString *text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString tooLong(const QString &language, qsizetype bytes)
{
    return localText(language,
        QStringLiteral("The message is %1 bytes long; at most %2 are taken.")
            .arg(bytes)
            .arg(kMostMessageBytes),
        QStringLiteral("消息长 %1 字节；最多接受 %2 字节。").arg(bytes).arg(kMostMessageBytes));
}

QString notUtf8(const QString &language)
{
    return localText(language, QStringLiteral("The message is not UTF-8 text."),
        QStringLiteral("消息不是 UTF-8 文本。"));
}

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(Qt::ISODate) : QString();
}

QString fileName(const QString &path)
{
    return path.isEmpty() ? QString() : QFileInfo(path).fileName();
}

// A JSON value as it was written, for messages.
QString jsonText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    return QString::fromUtf8(QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

bool parseSayJson(
    const QByteArray &payload, const QString &language, SayRequest *request, QString *reason)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *reason = localText(language,
            QStringLiteral("The message is not JSON that can be read (%1 at byte %2).")
                .arg(document.isNull() ? error.errorString() : QStringLiteral("not an object"))
                .arg(error.offset),
            QStringLiteral("消息不是可读的 JSON（第 %2 字节处：%1）。")
                .arg(document.isNull() ? error.errorString() : QStringLiteral("not an object"))
                .arg(error.offset));
        return false;
    }
    const QJsonObject object = document.object();
    const QJsonValue text = object.value(QLatin1String("text"));
    if (!text.isString() || text.toString().trimmed().isEmpty()) {
        *reason = localText(language, QStringLiteral("The message has no \"text\"."),
            QStringLiteral("消息中没有“text”。"));
        return false;
    }
    request->text = text.toString();
    // Both spellings: scripts from either side of the Atlantic send one or the other.
    QJsonValue colour = object.value(QLatin1String("colour"));
    if (colour.isUndefined())
        colour = object.value(QLatin1String("color"));
    if (!colour.isUndefined()) {
        const QString name = colour.toString().toLower();
        static const QStringList known
            = { QStringLiteral("red"), QStringLiteral("green"), QStringLiteral("yellow") };
        if (!known.contains(name)) {
            const QString given = jsonText(colour);
            *reason = localText(language,
                QStringLiteral("\"colour\": \"%1\" is not red, green or yellow.").arg(given),
                QStringLiteral("“colour”：“%1”不是 red、green 或 yellow。").arg(given));
            return false;
        }
        request->colour = name;
    }
    const QJsonValue seconds = object.value(QLatin1String("seconds"));
    if (!seconds.isUndefined()) {
        const double value = seconds.toDouble(-1);
        if (!seconds.isDouble() || value != std::floor(value) || value < 1
            || value > kLongestSeconds) {
            const QString given = jsonText(seconds);
            *reason = localText(language,
                QStringLiteral("\"seconds\": %1 is not a whole number from 1 to %2.")
                    .arg(given)
                    .arg(kLongestSeconds),
                QStringLiteral("“seconds”：%1 不是 1 到 %2 之间的整数。")
                    .arg(given)
                    .arg(kLongestSeconds));
            return false;
        }
        request->seconds = int(value);
    }
    return true;
}

} // namespace

QString allSites()
{
    return QStringLiteral("all");
}

QString statusTopic(const QString &site)
{
    return topic(site, QStringLiteral("status"));
}

QString errorTopic(const QString &site)
{
    return topic(site, QStringLiteral("error"));
}

QString sayTopic(const QString &site)
{
    return topic(site, QStringLiteral("say"));
}

QString valueTopic(const QString &site, const QString &name)
{
    return topic(site, QStringLiteral("value/") + name);
}

QString scheduleTopic(const QString &site)
{
    return topic(site, QStringLiteral("schedule"));
}

QStringList subscriptions(const QString &site)
{
    QStringList filters;
    for (const QString &s : { site, allSites() })
        filters << sayTopic(s) << valueTopic(s, QStringLiteral("+")) << scheduleTopic(s);
    return filters;
}

Incoming classify(const QString &topic, const QString &site)
{
    Incoming incoming;
    const QStringList levels = topic.split(QLatin1Char('/'));
    if (levels.size() < 3 || levels.at(0) != QLatin1String("vantrel"))
        return incoming;
    if (levels.at(1) != site && levels.at(1) != allSites())
        return incoming;
    incoming.forAll = levels.at(1) == allSites();
    const QString &leaf = levels.at(2);
    if (levels.size() == 3 && leaf == QLatin1String("say"))
        incoming.kind = Incoming::Kind::Say;
    else if (levels.size() == 3 && leaf == QLatin1String("schedule"))
        incoming.kind = Incoming::Kind::Schedule;
    else if (levels.size() == 4 && leaf == QLatin1String("value")) {
        incoming.kind = Incoming::Kind::Value;
        incoming.valueName = levels.at(3);
    }
    return incoming;
}

bool parseSay(
    const QByteArray &payload, const QString &language, SayRequest *request, QString *reason)
{
    if (payload.size() > kMostMessageBytes) {
        *reason = tooLong(language, payload.size());
        return false;
    }
    *request = SayRequest();
    if (payload.trimmed().startsWith('{'))
        return parseSayJson(payload, language, request, reason);
    QString text;
    if (!decodeUtf8(payload, &text)) {
        *reason = notUtf8(language);
        return false;
    }
    if (text.trimmed().isEmpty()) {
        *reason = localText(
            language, QStringLiteral("The message is empty."), QStringLiteral("消息为空。"));
        return false;
    }
    request->text = text;
    return true;
}

bool isValueName(const QString &name)
{
    if (name.isEmpty() || name.size() > 64)
        return false;
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() < 128
            && (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'));
    });
}

bool parseValue(const QString &name, const QByteArray &payload, const QString &language,
    QString *value, QString *reason)
{
    if (!isValueName(name)) {
        *reason = localText(language,
            QStringLiteral("\"%1\" is not a value name: 1 to 64 letters, digits, \"-\" and "
                           "\"_\".")
                .arg(name),
            QStringLiteral("“%1”不是数值名称：应为 1 到 64 个字母、数字、“-”或“_”。").arg(name));
        return false;
    }
    if (payload.size() > kMostMessageBytes) {
        *reason = tooLong(language, payload.size());
        return false;
    }
    QString text;
    if (!decodeUtf8(payload, &text)) {
        *reason = notUtf8(language);
        return false;
    }
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(text.endsWith(QLatin1String("\r\n")) ? 2 : 1);
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        *reason = localText(language, QStringLiteral("A value is one line of text."),
            QStringLiteral("数值只能是一行文本。"));
        return false;
    }
    if (text.size() > kMostValueCharacters) {
        *reason = localText(language,
            QStringLiteral("The value is %1 characters long; at most %2 are taken.")
                .arg(text.size())
                .arg(kMostValueCharacters),
            QStringLiteral("数值长 %1 个字符；最多接受 %2 个。")
                .arg(text.size())
                .arg(kMostValueCharacters));
        return false;
    }
    *value = text;
    return true;
}

QByteArray onlineStatus(const QString &site, const AgentStatus &status, const QDateTime &now)
{
    QJsonArray targets;
    for (const AgentTargetStatus &t : status.targets) {
        targets.append(QJsonObject { { QStringLiteral("target"), t.target },
            { QStringLiteral("show"), fileName(t.show) }, { QStringLiteral("result"), t.result },
            { QStringLiteral("time"), timeText(t.time) },
            { QStringLiteral("failure"), t.failure } });
    }
    const QJsonObject object { { QStringLiteral("site"), site },
        { QStringLiteral("state"), QStringLiteral("online") },
        { QStringLiteral("schedule"), fileName(status.schedule) },
        { QStringLiteral("entry"), status.entry },
        { QStringLiteral("show"), fileName(status.show) },
        { QStringLiteral("since"), timeText(status.since) },
        { QStringLiteral("updated"), timeText(now) }, { QStringLiteral("targets"), targets } };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray offlineStatus(const QString &site)
{
    const QJsonObject object { { QStringLiteral("site"), site },
        { QStringLiteral("state"), QStringLiteral("offline") } };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray errorPayload(const QString &topic, const QString &reason)
{
    const QJsonObject object { { QStringLiteral("topic"), topic },
        { QStringLiteral("reason"), reason } };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace SiteTopics
