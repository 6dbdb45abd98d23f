#include "siteagentbridge.h"

#include "agentplan.h"
#include "basesettings.h"
#include "localtext.h"
#include "signsetup.h"
#include "valuestore.h"

#include <QDateTime>
#include <QDir>

std::unique_ptr<SiteAgentBridge> SiteAgentBridge::open(const QString &programFolder, LogSink log)
{
    QStringList notes; // the agent tells these itself when it reads its plan
    const QString language = SignSetup::load(programFolder, &notes).language();
    const SitesSettingsFile::ReadResult read = SitesSettingsFile::read(
        QDir(programFolder).filePath(baseSettingsFileName()), programFolder, language);
    if (!read.ok) {
        log(read.message);
        return nullptr;
    }
    if (!read.settings.enabled)
        return nullptr;
    return std::make_unique<SiteAgentBridge>(read.settings, programFolder, language, log);
}

SiteAgentBridge::SiteAgentBridge(
    SitesSettings settings, QString programFolder, QString language, LogSink logSink)
    : m_programFolder(std::move(programFolder))
    , m_language(std::move(language))
    , m_log(std::move(logSink))
    , m_link(std::move(settings), m_programFolder, m_language)
{
    const QString folder = m_programFolder;
    m_link.setBundleChecker([folder](const QString &path) { return checkSchedule(path, folder); });
    connect(&m_link, &SiteLink::logLine, this, [this](const QString &line) {
        m_log(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + line);
    });
    connect(&m_link, &SiteLink::valueRequested, this, &SiteAgentBridge::onValue);
    connect(&m_link, &SiteLink::scheduleInstalled, this, &SiteAgentBridge::onScheduleInstalled);
    connect(&m_link, &SiteLink::sayRequested, this, [this](const SiteTopics::SayRequest &request) {
        if (m_say) {
            m_say(request);
            return;
        }
        log(QStringLiteral("Message for %1 s in %2: \"%3\".")
                .arg(QString::number(request.seconds), request.colour, request.text),
            QStringLiteral("消息（%1 秒，%2）：“%3”。")
                .arg(QString::number(request.seconds), request.colour, request.text));
    });
}

SiteAgentBridge::~SiteAgentBridge() = default;

QString SiteAgentBridge::checkSchedule(const QString &schedulePath, const QString &programFolder)
{
    const AgentPlan plan = AgentPlan::load(schedulePath, programFolder);
    return plan.ok ? QString() : plan.problem;
}

QString SiteAgentBridge::startingSchedule(const QString &commandLine) const
{
    const QString published = m_link.currentSchedule();
    if (published.isEmpty())
        return commandLine;
    const QString site = m_link.settings().site;
    const QString problem = checkSchedule(published, m_programFolder);
    if (!problem.isEmpty()) {
        log(QStringLiteral("The schedule published to site %1 (%2) cannot run: %3 %4 is in "
                           "force instead.")
                .arg(site, QDir::toNativeSeparators(published), problem,
                    QDir::toNativeSeparators(commandLine)),
            QStringLiteral("发布到站点 %1 的时间表（%2）无法运行：%3 改用 %4。")
                .arg(site, QDir::toNativeSeparators(published), problem,
                    QDir::toNativeSeparators(commandLine)));
        return commandLine;
    }
    log(QStringLiteral("The schedule published to site %1 wins over %2: %3 is in force.")
            .arg(site, QDir::toNativeSeparators(commandLine), QDir::toNativeSeparators(published)),
        QStringLiteral("发布到站点 %1 的时间表优先于 %2：%3 生效。")
            .arg(site, QDir::toNativeSeparators(commandLine), QDir::toNativeSeparators(published)));
    return published;
}

bool SiteAgentBridge::start()
{
    QString reason;
    if (m_link.start(&reason))
        return true;
    log(QStringLiteral("Site %1 cannot connect to %2: %3 The signs keep their schedule.")
            .arg(m_link.settings().site, m_link.settings().broker, reason),
        QStringLiteral("站点 %1 无法连接 %2：%3 各显示屏继续按时间表运行。")
            .arg(m_link.settings().site, m_link.settings().broker, reason));
    return false;
}

void SiteAgentBridge::statusChanged(const AgentStatus &status)
{
    m_link.setStatus(status);
}

void SiteAgentBridge::onValue(const QString &name, const QString &value)
{
    QString error;
    if (!ValueStore(m_programFolder).set(name, value, &error, m_language)) {
        m_link.reportError(SiteTopics::valueTopic(m_link.settings().site, name), error);
        return;
    }
    if (m_valueChanged) {
        m_valueChanged(name);
        return;
    }
    log(QStringLiteral("Value %1 is now \"%2\".").arg(name, value),
        QStringLiteral("数值 %1 现为“%2”。").arg(name, value));
}

void SiteAgentBridge::onScheduleInstalled(const QString &schedulePath)
{
    // The bundle passed the same check a re-read makes: a refusal here means BaseSet.ini
    // changed in between, and the re-read has said so.
    if (m_putInForce)
        m_putInForce(schedulePath);
}

void SiteAgentBridge::log(const QString &english, const QString &chinese) const
{
    m_log(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "))
        + localText(m_language, english, chinese));
}
