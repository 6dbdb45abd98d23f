#include "agentrequest.h"

#include "fieldparser.h"
#include "valuestore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStandardPaths>

namespace {

const QString kRequest = QStringLiteral("request");
// The longest path a local socket may have (sun_path holds 108 bytes with its end).
constexpr int kLongestSocketPath = 100;

QByteArray line(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

QByteArray AgentRequest::encode() const
{
    QJsonObject o;
    switch (kind) {
    case Kind::ValueChanged:
        o[kRequest] = QStringLiteral("value");
        o[QStringLiteral("name")] = name;
        break;
    case Kind::Say:
        o[kRequest] = QStringLiteral("say");
        o[QStringLiteral("text")] = say.text;
        o[QStringLiteral("colour")] = messageColourName(say.style.colour);
        o[QStringLiteral("font")] = say.style.family;
        o[QStringLiteral("align")] = messageAlignmentName(say.style.alignment);
        o[QStringLiteral("shrink")] = say.style.shrink;
        o[QStringLiteral("seconds")] = seconds;
        break;
    case Kind::Status:
        o[kRequest] = QStringLiteral("status");
        break;
    }
    return line(o);
}

bool AgentRequest::decode(const QByteArray &bytes, AgentRequest *request, QString *problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *problem = QStringLiteral("a request is one JSON object on one line");
        return false;
    }
    const QJsonObject o = document.object();
    const QString kind = o.value(kRequest).toString();
    AgentRequest r;
    if (kind == QLatin1String("status")) {
        r.kind = Kind::Status;
    } else if (kind == QLatin1String("value")) {
        r.kind = Kind::ValueChanged;
        r.name = o.value(QStringLiteral("name")).toString();
        if (!Fields::isValidValueName(r.name)) {
            *problem = QStringLiteral("\"name\" is not a value name");
            return false;
        }
    } else if (kind == QLatin1String("say")) {
        r.kind = Kind::Say;
        r.say.text = o.value(QStringLiteral("text")).toString();
        if (r.say.text.trimmed().isEmpty() || r.say.text.size() > ValueStore::kMaxValueLength) {
            *problem = QStringLiteral("\"text\" must hold 1 to %1 characters")
                           .arg(ValueStore::kMaxValueLength);
            return false;
        }
        const QString colour = o.value(QStringLiteral("colour")).toString(QStringLiteral("red"));
        const QString align = o.value(QStringLiteral("align")).toString(QStringLiteral("centre"));
        if (!parseMessageColour(colour, &r.say.style.colour)
            || !parseMessageAlignment(align, &r.say.style.alignment)) {
            *problem = QStringLiteral("\"colour\" is red, green or yellow and \"align\" left, "
                                      "centre or right");
            return false;
        }
        r.say.style.family = o.value(QStringLiteral("font")).toString().left(256);
        r.say.style.shrink = o.value(QStringLiteral("shrink")).toBool();
        r.seconds = o.value(QStringLiteral("seconds")).toInt(0);
        if (r.seconds < 1 || r.seconds > kLongestSaySeconds) {
            *problem = QStringLiteral("\"seconds\" is a whole number from 1 to %1")
                           .arg(kLongestSaySeconds);
            return false;
        }
    } else {
        *problem = QStringLiteral("\"request\" is value, say or status");
        return false;
    }
    *request = r;
    return true;
}

QByteArray agentAnswer(const QJsonObject &fields)
{
    QJsonObject o = fields;
    o[QStringLiteral("ok")] = true;
    return line(o);
}

QByteArray agentRefusal(const QString &error)
{
    return line(
        QJsonObject { { QStringLiteral("ok"), false }, { QStringLiteral("error"), error } });
}

QString agentChannelPath(const QString &programFolder)
{
    const QString folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    const QString inFolder = QDir(folder).filePath(QStringLiteral(".vantrel-agent"));
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QFileInfo(runtime).isDir()) {
        if (inFolder.toLocal8Bit().size() <= kLongestSocketPath)
            return inFolder;
        // A socket's path has a short limit; Qt's runtime folder is the user's alone.
        runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    // One agent per program folder: the name is the folder's, shortened to fit a socket.
    const QByteArray hash
        = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QDir(runtime).filePath(QStringLiteral("vantrel-agent-") + QString::fromLatin1(hash));
}
