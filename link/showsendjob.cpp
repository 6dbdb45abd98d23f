#include "showsendjob.h"

#include "getcolor.h"
#include "link.h"
#include "localtext.h"
#include "messages.h"
#include "pagesampler.h"
#include "promptsink.h"
#include "rowsource.h"
#include "sendpicturejob.h"

namespace {

// Takes the link's per-answer prompts while a show is sent; the report tells them once.
class HeldPrompts : public PromptSink
{
public:
    void inform(const QString &, const QString &, PromptIcon) override { }
    bool confirm(const QString &, const QString &) override { return false; }
};

class PromptHold
{
public:
    explicit PromptHold(Link &link)
        : m_link(link)
        , m_previous(link.exchangePrompts(&m_held))
    { }
    ~PromptHold() { m_link.exchangePrompts(m_previous); }
    PromptHold(const PromptHold &) = delete;
    PromptHold &operator=(const PromptHold &) = delete;

private:
    Link &m_link;
    HeldPrompts m_held;
    PromptSink *m_previous;
};

QString refusedRow(const QString &language, int row, const QString &english, const QString &chinese)
{
    return localText(language, QStringLiteral("Row %1: %2").arg(row).arg(english),
        QStringLiteral("第 %1 行：%2").arg(row).arg(chinese));
}

QString stepName(int row, const QString &language)
{
    return row > 0 ? localText(
               language, QStringLiteral("Row %1").arg(row), QStringLiteral("第 %1 行").arg(row))
                   : localText(language, QStringLiteral("Effect table"), QStringLiteral("特效表"));
}

// What went wrong with one target, or "" when it answered success.
QString targetProblem(const TargetOutcome &target, const QString &language)
{
    if (target.sent && target.verdict == Verdict::Success)
        return {};
    if (target.verdict == Verdict::Failure)
        return PromptText(Msg::SetFailed, language);
    if (!target.problem.isEmpty())
        return target.problem;
    return localText(language, QStringLiteral("no answer"), QStringLiteral("没有应答"));
}

} // namespace

bool ShowSendReport::allSucceeded() const
{
    if (status != Status::Sent || steps.isEmpty())
        return false;
    for (const Step &step : steps) {
        if (!step.send.allSucceeded())
            return false;
    }
    return true;
}

QString ShowSendReport::summary(const QString &language) const
{
    if (status == Status::Refused)
        return refusal;
    if (status == Status::Busy)
        return localText(language,
            QStringLiteral("A send is still running; wait until it has ended. Nothing was sent."),
            QStringLiteral("上一次发送尚未结束，请稍候。未发送任何内容。"));

    QStringList failures;
    int failedSteps = 0;
    for (const Step &step : steps) {
        const QString name = stepName(step.row, language);
        bool failed = false;
        if (step.send.targets.isEmpty()) {
            failures.append(name + QStringLiteral(": ")
                + localText(language,
                    QStringLiteral("nothing was sent: the link has no target (tick a TCP "
                                   "target or choose a serial port)."),
                    QStringLiteral("未发送：连接没有目标（请勾选 TCP 目标或选择串口）。")));
            failed = true;
        }
        for (const TargetOutcome &target : step.send.targets) {
            const QString problem = targetProblem(target, language);
            if (problem.isEmpty())
                continue;
            failures.append(
                name + QStringLiteral(" (") + target.label() + QStringLiteral("): ") + problem);
            failed = true;
        }
        failedSteps += failed ? 1 : 0;
    }
    const int packets = rowCount + 1;
    if (failures.isEmpty() && status == Status::Sent) {
        return localText(language,
            QStringLiteral("The show was sent: %1 rows and the effect table, every packet "
                           "answered \"%2\".")
                .arg(rowCount)
                .arg(PromptText(Msg::SetSucceeded, language)),
            QStringLiteral("节目已发送：%1 行和特效表，每个数据包均应答“%2”。")
                .arg(rowCount)
                .arg(PromptText(Msg::SetSucceeded, language)));
    }
    QString text = localText(language,
        QStringLiteral("The show was sent with failures: %1 of %2 packets did not all answer "
                       "\"%3\".")
            .arg(failedSteps)
            .arg(packets)
            .arg(PromptText(Msg::SetSucceeded, language)),
        QStringLiteral("节目发送有失败：%2 个数据包中有 %1 个未全部应答“%3”。")
            .arg(failedSteps)
            .arg(packets)
            .arg(PromptText(Msg::SetSucceeded, language)));
    if (status == Status::Cancelled) {
        text += QLatin1Char('\n')
            + localText(language,
                QStringLiteral("The link was closed part-way: only %1 of %2 packets were sent.")
                    .arg(steps.size())
                    .arg(packets),
                QStringLiteral("连接中途被关闭：%2 个数据包中只发送了 %1 个。")
                    .arg(steps.size())
                    .arg(packets));
    }
    for (const QString &failure : failures)
        text += QLatin1Char('\n') + failure;
    return text;
}

ShowSendJob::ShowSendJob(Link &link, PageSampler &sampler, ShowSendProgress *progress)
    : m_link(link)
    , m_sampler(sampler)
    , m_progress(progress)
{ }

bool ShowSendJob::prepare(const ControlRowSource &list, const SendJobSettings &settings,
    ShowPackets *packets, QString *refusal)
{
    const QString &language = settings.Language;
    const int rows = list.rowCount();
    if (rows == 0) {
        *refusal = PromptText(Msg::AddTheFile, language);
        return false;
    }
    if (rows > GetColor::kMaxFileListId) {
        *refusal = refusedRow(language, GetColor::kMaxFileListId + 1,
            QStringLiteral("the sign takes at most %1 rows (slots 3 to 255); the show has %2.")
                .arg(GetColor::kMaxFileListId)
                .arg(rows),
            QStringLiteral("屏幕最多接受 %1 行（节目号 3 到 255），该节目有 %2 行。")
                .arg(GetColor::kMaxFileListId)
                .arg(rows));
        return false;
    }
    // The effect table first: it needs no page and refuses the commonest fault (Speed 8 or
    // more) before any page is loaded.
    const PacketResult control
        = GetColor().CtrlCommandSend(list, qint16(rows), GetColor::allRowNumbers(rows));
    if (!control.ok) {
        *refusal = control.refusal.message(language);
        return false;
    }
    packets->control = control.bytes;
    packets->pictures.clear();
    for (int row = 1; row <= rows; ++row) {
        const QByteArray picture = SendPictureJob::rowPacket(
            list, row, settings, m_sampler, SendPictureJob::RowNamed::Always, refusal);
        if (picture.isEmpty())
            return false;
        packets->pictures.append(picture);
    }
    return true;
}

ShowSendReport ShowSendJob::run(const ControlRowSource &list, const SendJobSettings &settings)
{
    ShowSendReport report;
    report.rowCount = list.rowCount();
    if (m_link.isBusy()) {
        report.status = ShowSendReport::Status::Busy;
        return report;
    }
    ShowPackets packets;
    if (!prepare(list, settings, &packets, &report.refusal)) {
        report.status = ShowSendReport::Status::Refused;
        return report;
    }

    const PromptHold hold(m_link);
    const int steps = report.rowCount + 1;
    report.status = ShowSendReport::Status::Sent;
    for (int step = 1; step <= steps; ++step) {
        const int row = step <= report.rowCount ? step : 0;
        if (m_progress)
            m_progress->showSendStep(step, steps, row);
        const QByteArray &packet = row > 0 ? packets.pictures.at(row - 1) : packets.control;
        const SendOutcome send = m_link.SendBuffer(packet, settings.Trance);
        if (send.refusedBusy) {
            // Only a send started during this one's waits can hold the link; nothing of this
            // packet went out, so the show stops here as if cancelled.
            report.status = ShowSendReport::Status::Cancelled;
            break;
        }
        report.steps.append({ row, send });
        if (m_progress)
            m_progress->showSendResult(row, send);
        if (send.cancelled) {
            report.status = ShowSendReport::Status::Cancelled;
            break;
        }
    }
    return report;
}
