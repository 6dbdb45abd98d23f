#include "messages.h"

#include "basesettings.h"
#include "localtext.h"

namespace {

struct Entry
{
    const char *english;
    const char *chinese;
    PromptIcon icon;
};

// The punctuation is part of each text: the Chinese texts use half-width marks, except
// 10 to 12, which end with a full-width "！".
constexpr Entry kMessages[] = {
    { "Please Select One Creact File ID", "请选择要传输的文件", PromptIcon::Information },
    { "Please Add The File", "请将文件添入列表中", PromptIcon::Information },
    { "Please Select One Date", "请选择一条数据", PromptIcon::Exclamation },
    { "Are You Sure To Delete The List?", "确定要删除此条数据?", PromptIcon::Question },
    { "Port initialization error,Been used or not exit!", "初始化失败,端口被占用或者不存在!",
      PromptIcon::Information },
    { "You must set the port", "请配置端口", PromptIcon::None },
    { "set failed!", "发送失败!", PromptIcon::Information },
    { "set succeed!", "发送成功!", PromptIcon::Information },
    { "Are you sure to Clear the Screen?", "你确定要清空屏幕数据?", PromptIcon::Question },
    { "Please fill in complete information!", "请将信息填写完整！", PromptIcon::Exclamation },
    { "This IP And Port Has Already In The List!", "IP地址和端口号已在列表中！",
      PromptIcon::Information },
    { "IP List Reached the Maximum!", "IP地址列表达到最大值！", PromptIcon::Exclamation },
    { "IP Link Error!", "IP地址连接失败!", PromptIcon::Information },
};
constexpr int kMessageCount = int(sizeof(kMessages) / sizeof(kMessages[0]));

const Entry *entry(qint16 number)
{
    if (number < 1 || number > kMessageCount)
        return nullptr;
    return &kMessages[number - 1];
}

} // namespace

QString MsgText(qint16 number, const QString &language)
{
    const Entry *e = entry(number);
    if (!e)
        return {};
    if (language == QLatin1String("English"))
        return QString::fromUtf8(e->english);
    if (language == chineseLanguageName())
        return QString::fromUtf8(e->chinese);
    return {};
}

QString MsgText(qint16 number)
{
    return MsgText(number, baseSettings().Language);
}

QString MsgTitle(const QString &language)
{
    if (language == QLatin1String("English"))
        return QStringLiteral("Information");
    if (language == chineseLanguageName())
        return QStringLiteral("系统提示");
    if (language == QLatin1String("jap"))
        return QStringLiteral("Information");
    return {};
}

QString MsgTitle()
{
    return MsgTitle(baseSettings().Language);
}

QString PromptText(qint16 number, const QString &language)
{
    const QString own = MsgText(number, language);
    return own.isEmpty() ? MsgText(number, QStringLiteral("English")) : own;
}

QString PromptTitle(const QString &language)
{
    const QString own = MsgTitle(language);
    return own.isEmpty() ? MsgTitle(QStringLiteral("English")) : own;
}

QString TranceStyleName(qint16 kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral("RS232");
    case 1:
        return QStringLiteral("BlueTooth");
    case 2:
        return QStringLiteral("TCP/IP");
    default:
        return QStringLiteral("None");
    }
}

PromptIcon MsgIcon(qint16 number)
{
    const Entry *e = entry(number);
    return e ? e->icon : PromptIcon::None;
}
