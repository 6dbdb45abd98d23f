#include "basesettings.h"

#include "classinifile.h"
#include "localtext.h"
#include "programfolder.h"

#include <QFileInfo>

#include <limits>

namespace {

// Reading uses the spellings the original files carry; writing uses the canonical ones.
// Section and key names match without regard to case, so both name the same entries.
const QString kScreenRead = QStringLiteral("Screenset");
const QString kScreen = QStringLiteral("ScreenSet");
const QString kTrance = QStringLiteral("TranceSet");
const QString kLanguage = QStringLiteral("Language");

struct IntKey
{
    QString section;
    QString key;
    qint16 BaseSettings::*field;
    int minimum;
    int maximum = std::numeric_limits<qint16>::max();
};

const IntKey kIntKeys[] = {
    { kScreenRead, QStringLiteral("ScreenWidth"), &BaseSettings::ScreenWidth, 1 },
    { kScreenRead, QStringLiteral("ScreenHeight"), &BaseSettings::ScreenHeight, 1 },
    { kScreenRead, QStringLiteral("PerPiex"), &BaseSettings::PerPixel, 1 },
    { kTrance, QStringLiteral("Trance"), &BaseSettings::Trance,
        std::numeric_limits<qint16>::min() },
    { kScreen, QStringLiteral("MaxIPList"), &BaseSettings::MaxIPList, 0, kMostTargetRows },
};

bool parseInt16(const QString &text, int minimum, int maximum, qint16 *out)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < minimum || value > maximum)
        return false;
    *out = qint16(value);
    return true;
}

// The nine fields a save writes, in their fixed order.
QList<IniKeyValue> savedKeys(const BaseSettings &s)
{
    return {
        { kScreen, QStringLiteral("ScreenWidth"), QString::number(s.ScreenWidth) },
        { kScreen, QStringLiteral("ScreenHeight"), QString::number(s.ScreenHeight) },
        { kScreen, QStringLiteral("PerPiex"), QString::number(s.PerPixel) },
        { kTrance, QStringLiteral("Trance"), QString::number(s.Trance) },
        { kTrance, QStringLiteral("ServerIP"), s.ServerIP },
        { kTrance, QStringLiteral("ServerPort"), s.ServerPort },
        { kTrance, QStringLiteral("IPStr"), s.IpStr, kMaxTargetListBytes },
        { kTrance, QStringLiteral("CommPort"), s.CommPort },
        { kTrance, QStringLiteral("CommSettings"), s.CommSettings },
    };
}

} // namespace

bool BaseSettings::operator==(const BaseSettings &o) const
{
    return ScreenWidth == o.ScreenWidth && ScreenHeight == o.ScreenHeight && PerPixel == o.PerPixel
        && Trance == o.Trance && ServerIP == o.ServerIP && ServerPort == o.ServerPort
        && CommPort == o.CommPort && CommSettings == o.CommSettings && IpStr == o.IpStr
        && Language == o.Language && MaxIPList == o.MaxIPList;
}

BaseSettings &baseSettings()
{
    static BaseSettings settings;
    return settings;
}

BaseSettings defaultBaseSettings()
{
    BaseSettings s;
    s.ScreenWidth = 8;
    s.ScreenHeight = 1;
    s.PerPixel = 16;
    s.Trance = 2;
    s.ServerIP = QStringLiteral("127.0.0.1");
    s.ServerPort = QStringLiteral("5005");
    s.CommPort = QStringLiteral("ttyS0");
    s.CommSettings = QStringLiteral("9600,N,8,1");
    s.IpStr = QStringLiteral("127.0.0.1,5005,1");
    s.Language = QStringLiteral("English");
    s.MaxIPList = 10;
    return s;
}

QString baseSettingsFileName()
{
    return QStringLiteral("BaseSet.ini");
}

QString baseSettingsPath()
{
    return programFilePath(baseSettingsFileName());
}

SettingsLoadReport LoadBaseSettings(BaseSettings &settings, const QString &iniPath)
{
    SettingsLoadReport report;
    report.path = iniPath;
    const BaseSettings defaults = defaultBaseSettings();

    classIniFile ini;
    ini.setINIFileName(iniPath);
    if (!QFileInfo::exists(iniPath)) {
        ini.writeIniKeys(savedKeys(defaults)
            + QList<IniKeyValue> {
                { kScreen, QStringLiteral("MaxIPList"), QString::number(defaults.MaxIPList) },
                { kLanguage, kLanguage, defaults.Language } });
        report.fileCreated = ini.lastWriteSucceeded();
        report.createFailed = !report.fileCreated;
        settings = defaults;
        return report;
    }
    // Nothing of it can be used, and nothing may replace it: the defaults hold for this run.
    if (!ini.isReadable()) {
        report.unreadable = true;
        settings = defaults;
        return report;
    }

    for (const IntKey &k : kIntKeys) {
        const QString stored = ini.GetIniKey(k.section, k.key);
        qint16 value = 0;
        if (parseInt16(stored, k.minimum, k.maximum, &value)) {
            settings.*k.field = value;
        } else {
            settings.*k.field = defaults.*k.field;
            report.problems.append(
                { k.section, k.key, stored, QString::number(defaults.*k.field) });
        }
    }
    settings.ServerIP = ini.GetIniKey(kTrance, QStringLiteral("ServerIP"));
    settings.ServerPort = ini.GetIniKey(kTrance, QStringLiteral("ServerPort"));
    settings.CommPort = ini.GetIniKey(kTrance, QStringLiteral("CommPort"));
    settings.CommSettings = ini.GetIniKey(kTrance, QStringLiteral("CommSettings"));
    settings.Language = ini.GetIniKey(kLanguage, kLanguage);
    // A long fleet's list runs far past the plain value limit; cutting it would drop targets.
    settings.IpStr.clear();
    ini.findIniKey(kTrance, QStringLiteral("IpStr"), &settings.IpStr, kMaxTargetListBytes);
    return report;
}

bool SaveBaseSettings(
    const BaseSettings &settings, const QString &iniPath, IniWriteFailure *failure)
{
    classIniFile ini;
    ini.setINIFileName(iniPath);
    ini.writeIniKeys(savedKeys(settings));
    if (failure)
        *failure = ini.lastWriteFailure();
    return ini.lastWriteSucceeded();
}

QString SettingsLoadReport::message(const QString &language) const
{
    QStringList lines;
    if (fileCreated) {
        lines << localText(language,
            QStringLiteral("%1 was missing. It has been created with the default "
                           "settings: a sign of 8 x 1 modules, sent over TCP/IP "
                           "to 127.0.0.1 port 5005.")
                .arg(path),
            QStringLiteral("找不到 %1，已用默认设置新建：8 × 1 个模块的屏幕，"
                           "通过 TCP/IP 发送到 127.0.0.1 端口 5005。")
                .arg(path));
    }
    if (createFailed) {
        lines << localText(language,
            QStringLiteral("%1 is missing and could not be created. The default "
                           "settings are used for this run; check that the folder "
                           "is writable.")
                .arg(path),
            QStringLiteral("找不到 %1，且无法新建。本次运行使用默认设置；"
                           "请检查该文件夹是否可写。")
                .arg(path));
    }
    if (unreadable) {
        lines << localText(language,
            QStringLiteral("%1 could not be read. The default settings are used "
                           "for this run, and the file is left as it is: nothing "
                           "is saved to it until it can be read.")
                .arg(path),
            QStringLiteral("无法读取 %1。本次运行使用默认设置；该文件保持原样，"
                           "在它可读之前不会向其中保存任何内容。")
                .arg(path));
    }
    for (const SettingsProblem &p : problems) {
        if (p.storedValue.isEmpty()) {
            lines << localText(language,
                QStringLiteral("The setting \"%1\" in [%2] is missing or empty; "
                               "%3 is used instead.")
                    .arg(p.key, p.section, p.usedValue),
                QStringLiteral("[%2] 中的设置“%1”缺失或为空，改用 %3。")
                    .arg(p.key, p.section, p.usedValue));
        } else {
            lines << localText(language,
                QStringLiteral("The setting \"%1\" in [%2] has the value \"%3\", "
                               "which is not a usable number; %4 is used instead.")
                    .arg(p.key, p.section, p.storedValue, p.usedValue),
                QStringLiteral("[%2] 中的设置“%1”的值“%3”不是可用的数字，"
                               "改用 %4。")
                    .arg(p.key, p.section, p.storedValue, p.usedValue));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QString iniWriteFailureReason(const IniWriteFailure &failure, const QString &language)
{
    using Kind = IniWriteFailure::Kind;
    switch (failure.kind) {
    case Kind::None:
        return {};
    case Kind::Unreadable:
        return localText(language,
            QStringLiteral("the file could not be read, so it was not replaced"),
            QStringLiteral("该文件无法读取，因此未被替换"));
    case Kind::ReadOnly:
        return localText(
            language, QStringLiteral("the file is read-only"), QStringLiteral("该文件为只读"));
    case Kind::NoName:
        return localText(language, QStringLiteral("no usable file, section or key name"),
            QStringLiteral("文件名、节名或键名不可用"));
    case Kind::TooLong:
        return localText(language,
            QStringLiteral("the value of %1 is too long to store (%2 bytes)")
                .arg(failure.key, failure.reason),
            QStringLiteral("%1 的值太长，无法保存（%2 字节）").arg(failure.key, failure.reason));
    case Kind::System:
        break;
    }
    return failure.reason;
}

QString settingsSaveFailedMessage(
    const QString &iniPath, const QString &language, const IniWriteFailure &failure)
{
    const QString reason = iniWriteFailureReason(failure, language);
    return localText(language,
        QStringLiteral("The settings could not be saved to %1%2. The file is "
                       "unchanged; check that it is readable and writable and that "
                       "the disk is not full.")
            .arg(iniPath, reason.isEmpty() ? QString() : QStringLiteral(": ") + reason),
        QStringLiteral("设置无法保存到 %1%2。文件保持不变。请检查文件是否可读写、"
                       "磁盘是否已满。")
            .arg(iniPath, reason.isEmpty() ? QString() : QStringLiteral("：") + reason));
}
