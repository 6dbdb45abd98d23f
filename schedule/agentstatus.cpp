#include "agentstatus.h"

#include "classinifile.h"
#include "localtext.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace AgentStatusFile {

namespace {

const QString kAgentSection = QStringLiteral("Agent");

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(Qt::ISODate) : QString();
}

QDateTime timeOf(const IniSection &section, const QString &key)
{
    QString text;
    section.find(key, &text);
    return QDateTime::fromString(text, Qt::ISODate);
}

QString textOf(const IniSection &section, const QString &key)
{
    QString text;
    section.find(key, &text);
    return text;
}

} // namespace

QString fileName()
{
    return QStringLiteral("agent-status.ini");
}

bool write(const QString &path, const AgentStatus &status, QString *reason)
{
    QList<IniSection> sections;
    sections.append({ kAgentSection,
        { { QStringLiteral("Schedule"), status.schedule },
            { QStringLiteral("Entry"), status.entry }, { QStringLiteral("Show"), status.show },
            { QStringLiteral("Since"), timeText(status.since) },
            { QStringLiteral("Updated"), timeText(status.updated) } } });
    for (int i = 0; i < status.targets.size(); ++i) {
        const AgentTargetStatus &t = status.targets.at(i);
        sections.append({ QStringLiteral("Target%1").arg(i + 1),
            { { QStringLiteral("Target"), t.target }, { QStringLiteral("Show"), t.show },
                { QStringLiteral("Result"), t.result },
                { QStringLiteral("Time"), timeText(t.time) },
                { QStringLiteral("Next Retry"), timeText(t.nextRetry) },
                { QStringLiteral("Failure"), t.failure } } });
    }
    classIniFile ini;
    ini.setINIFileName(path);
    return ini.WriteAllSections(sections, reason);
}

ReadResult read(const QString &path, const QString &language)
{
    ReadResult result;
    const QString name = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        result.message = localText(language,
            QStringLiteral("There is no %1: vantrel-agent has not run with this program folder.")
                .arg(name),
            QStringLiteral("没有 %1：vantrel-agent 尚未在此程序文件夹运行过。").arg(name));
        return result;
    }
    classIniFile ini;
    ini.setINIFileName(path);
    if (!ini.isReadable()) {
        result.message
            = localText(language, QStringLiteral("%1 cannot be read: permission denied.").arg(name),
                QStringLiteral("无法读取 %1：没有权限。").arg(name));
        return result;
    }
    static const QRegularExpression targetPattern(
        QStringLiteral("^target([0-9]{1,9})$"), QRegularExpression::CaseInsensitiveOption);
    QList<std::pair<int, AgentTargetStatus>> targets;
    bool haveAgent = false;
    for (const IniSection &section : ini.GetAllSections()) {
        if (section.name.compare(kAgentSection, Qt::CaseInsensitive) == 0) {
            haveAgent = true;
            result.status.schedule = textOf(section, QStringLiteral("Schedule"));
            result.status.entry = textOf(section, QStringLiteral("Entry"));
            result.status.show = textOf(section, QStringLiteral("Show"));
            result.status.since = timeOf(section, QStringLiteral("Since"));
            result.status.updated = timeOf(section, QStringLiteral("Updated"));
            continue;
        }
        const QRegularExpressionMatch m = targetPattern.match(section.name);
        if (!m.hasMatch())
            continue;
        AgentTargetStatus t;
        t.target = textOf(section, QStringLiteral("Target"));
        t.show = textOf(section, QStringLiteral("Show"));
        t.result = textOf(section, QStringLiteral("Result"));
        t.time = timeOf(section, QStringLiteral("Time"));
        t.nextRetry = timeOf(section, QStringLiteral("Next Retry"));
        t.failure = textOf(section, QStringLiteral("Failure"));
        targets.append({ m.captured(1).toInt(), t });
    }
    if (!haveAgent) {
        result.message = localText(language,
            QStringLiteral("%1 is not a state file of vantrel-agent: it has no [Agent] section.")
                .arg(name),
            QStringLiteral("%1 不是 vantrel-agent 的状态文件：缺少 [Agent] 节。").arg(name));
        return result;
    }
    std::stable_sort(targets.begin(), targets.end(),
        [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &t : targets)
        result.status.targets.append(t.second);
    result.ok = true;
    return result;
}

} // namespace AgentStatusFile
