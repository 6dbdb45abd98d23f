#include "sitessettings.h"

#include "classinifile.h"
#include "localtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QUrl>

#include <algorithm>

namespace SitesSettingsFile {

namespace {

const QString kSection = QStringLiteral("Sites");
// A password file is a line or two; a bigger one is not what the key meant.
constexpr qint64 kMostPasswordFileBytes = 4096;

bool isSiteCharacter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-')
        || c == QLatin1Char('_');
}

QString badValue(const QString &language, const QString &key, const QString &value,
    const QString &english, const QString &chinese)
{
    return localText(language,
        QStringLiteral("[Sites], key \"%1\": \"%2\" %3 Sites are off until it is mended.")
            .arg(key, value, english),
        QStringLiteral("[Sites]，键“%1”：“%2”%3在改正之前站点功能关闭。").arg(key, value, chinese));
}

QString absoluteIn(const QString &folder, const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absoluteFilePath(path));
}

// A file the program will read: it must exist and be readable.
QString fileProblem(
    const QString &language, const QString &key, const QString &value, const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return badValue(
            language, key, value, QStringLiteral("is not a file."), QStringLiteral("不是文件。"));
    if (!info.isReadable())
        return badValue(
            language, key, value, QStringLiteral("cannot be read."), QStringLiteral("无法读取。"));
    return {};
}

bool readBroker(
    const QString &broker, const QString &language, SitesSettings *settings, QString *message)
{
    const QUrl url(broker, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts"))
        || url.host().isEmpty()) {
        *message = badValue(language, QStringLiteral("Broker"), broker,
            QStringLiteral("is not a broker address such as mqtt://host:1883 or "
                           "mqtts://host:8883."),
            QStringLiteral("不是代理服务器地址（如 mqtt://host:1883 或 mqtts://host:8883）。"));
        return false;
    }
    // A password in the address would sit in BaseSet.ini for anyone to read.
    if (!url.userInfo().isEmpty()) {
        *message = badValue(language, QStringLiteral("Broker"), broker,
            QStringLiteral("holds a user name or password: give them with \"User\" and "
                           "\"PasswordFile\"."),
            QStringLiteral("含有用户名或密码：请用“User”和“PasswordFile”给出。"));
        return false;
    }
    if ((!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery()
        || url.hasFragment()) {
        *message = badValue(language, QStringLiteral("Broker"), broker,
            QStringLiteral("has more than a scheme, host and port."),
            QStringLiteral("除协议、主机和端口外还有其他内容。"));
        return false;
    }
    settings->broker = broker;
    settings->tls = scheme == QLatin1String("mqtts");
    settings->host = url.host();
    settings->port = url.port(settings->tls ? SitesSettings::kMqttsPort : SitesSettings::kMqttPort);
    if (settings->port < 1) {
        *message = badValue(language, QStringLiteral("Broker"), broker,
            QStringLiteral("has no usable port."), QStringLiteral("端口不可用。"));
        return false;
    }
    return true;
}

} // namespace

QString section()
{
    return kSection;
}

bool isSiteName(const QString &site)
{
    if (site.isEmpty() || site.size() > SitesSettings::kMostSiteCharacters
        || site == QLatin1String("all"))
        return false;
    return std::all_of(site.cbegin(), site.cend(), isSiteCharacter);
}

QString defaultSiteName(const QString &hostName)
{
    QString site;
    for (const QChar c : hostName.section(QLatin1Char('.'), 0, 0)) {
        if (isSiteCharacter(c))
            site.append(c);
    }
    site.truncate(SitesSettings::kMostSiteCharacters);
    return isSiteName(site) ? site : QStringLiteral("vantrel");
}

ReadResult parse(const QString &broker, const QString &site, const QString &user,
    const QString &passwordFile, const QString &caFile, const QString &homeAssistant,
    const QString &programFolder, const QString &language)
{
    ReadResult result;
    if (broker.isEmpty()) {
        result.ok = true;
        return result;
    }
    SitesSettings &s = result.settings;
    if (!readBroker(broker, language, &s, &result.message))
        return result;
    s.site = site.isEmpty() ? defaultSiteName(QSysInfo::machineHostName()) : site;
    if (!isSiteName(s.site)) {
        result.message = badValue(language, QStringLiteral("Site"), site,
            QStringLiteral("is not a site name: 1 to 64 letters, digits, \"-\" and \"_\", and "
                           "not \"all\"."),
            QStringLiteral("不是站点名称：应为 1 到 64 个字母、数字、“-”或“_”，且不能是“all”。"));
        return result;
    }
    s.user = user;
    s.passwordFile = absoluteIn(programFolder, passwordFile);
    if (!s.passwordFile.isEmpty()) {
        if (user.isEmpty()) {
            result.message = badValue(language, QStringLiteral("PasswordFile"), passwordFile,
                QStringLiteral("is given without \"User\"."),
                QStringLiteral("已给出，但缺少“User”。"));
            return result;
        }
        result.message
            = fileProblem(language, QStringLiteral("PasswordFile"), passwordFile, s.passwordFile);
        if (!result.message.isEmpty())
            return result;
    }
    s.caFile = absoluteIn(programFolder, caFile);
    if (!s.caFile.isEmpty()) {
        // A CA file with a plain address suggests TLS was meant: say so rather than connect
        // in the clear.
        if (!s.tls) {
            result.message = badValue(language, QStringLiteral("CAFile"), caFile,
                QStringLiteral("is given, but the broker address is not mqtts://."),
                QStringLiteral("已给出，但代理服务器地址不是 mqtts://。"));
            return result;
        }
        result.message = fileProblem(language, QStringLiteral("CAFile"), caFile, s.caFile);
        if (!result.message.isEmpty())
            return result;
    }
    if (homeAssistant.isEmpty() || homeAssistant == QLatin1String("0")
        || homeAssistant == QLatin1String("1")) {
        s.homeAssistant = homeAssistant == QLatin1String("1");
    } else {
        result.message = badValue(language, QStringLiteral("HomeAssistant"), homeAssistant,
            QStringLiteral("is neither 0 nor 1."), QStringLiteral("既不是 0 也不是 1。"));
        return result;
    }
    s.enabled = true;
    result.ok = true;
    return result;
}

ReadResult read(const QString &iniPath, const QString &programFolder, const QString &language)
{
    classIniFile ini;
    ini.setINIFileName(iniPath);
    const auto key = [&](const char *name) { return ini.GetIniKey(kSection, QLatin1String(name)); };
    ReadResult result = parse(key("Broker"), key("Site"), key("User"), key("PasswordFile"),
        key("CAFile"), key("HomeAssistant"), programFolder, language);
    if (!result.ok)
        result.settings = {};
    return result;
}

bool readPassword(const QString &path, const QString &language, QString *password, QString *reason)
{
    const QString name = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = localText(language,
            QStringLiteral("The password file %1 cannot be read: %2.")
                .arg(name, file.errorString()),
            QStringLiteral("无法读取密码文件 %1：%2。").arg(name, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.read(kMostPasswordFileBytes);
    QByteArray line = bytes;
    if (const qsizetype end = line.indexOf('\n'); end >= 0)
        line.truncate(end);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty()) {
        *reason = localText(language,
            QStringLiteral("The password file %1 holds no password on its first line.").arg(name),
            QStringLiteral("密码文件 %1 的第一行没有密码。").arg(name));
        return false;
    }
    *password = QString::fromUtf8(line);
    return true;
}

} // namespace SitesSettingsFile
