#include "linkshowsender.h"

#include "clipagesampler.h"
#include "link.h"
#include "localtext.h"
#include "promptsink.h"
#include "rowsource.h"
#include "showfile.h"
#include "showsendjob.h"

#include <QFileInfo>

namespace {

class SilentPrompts : public PromptSink
{
public:
    void inform(const QString &, const QString &, PromptIcon) override { }
    bool confirm(const QString &, const QString &) override { return false; }
};

QList<TargetSendResult> allFailed(int count, const QString &result, const QString &problem)
{
    return QList<TargetSendResult>(count, TargetSendResult { false, result, problem });
}

QString stepName(int row, const QString &language)
{
    return row > 0 ? localText(
               language, QStringLiteral("row %1").arg(row), QStringLiteral("第 %1 行").arg(row))
                   : localText(language, QStringLiteral("effect table"), QStringLiteral("特效表"));
}

} // namespace

LinkShowSender::LinkShowSender(const SignSetup &setup)
    : m_setup(setup)
    , m_prompts(std::make_unique<SilentPrompts>())
    , m_link(std::make_unique<Link>(m_prompts.get()))
{ }

LinkShowSender::~LinkShowSender() = default;

void LinkShowSender::cancel()
{
    m_link->CloseTrance(TranceKind::kAll);
}

QList<TargetSendResult> LinkShowSender::send(
    const QString &showPath, const QList<AgentTarget> &targets)
{
    // The serial port and the TCP targets go in two sends; results keep the targets' order.
    QList<AgentTarget> serial;
    QList<AgentTarget> tcp;
    for (const AgentTarget &t : targets)
        (t.isSerial() ? serial : tcp).append(t);
    const QList<TargetSendResult> serialResults
        = serial.isEmpty() ? QList<TargetSendResult>() : sendOver(showPath, serial, true);
    const QList<TargetSendResult> tcpResults
        = tcp.isEmpty() ? QList<TargetSendResult>() : sendOver(showPath, tcp, false);
    QList<TargetSendResult> results;
    int s = 0;
    int t = 0;
    for (const AgentTarget &target : targets)
        results.append(target.isSerial() ? serialResults.value(s++) : tcpResults.value(t++));
    return results;
}

QList<TargetSendResult> LinkShowSender::sendOver(
    const QString &showPath, const QList<AgentTarget> &targets, bool serial)
{
    const QString &language = m_setup.language();
    const int count = serial ? 1 : int(targets.size());
    const ShowFile::ReadResult show
        = ShowFile::read(showPath, QFileInfo(showPath).absolutePath(), language);
    if (!show.ok)
        return allFailed(int(targets.size()), QStringLiteral("refused"), show.message);
    ListRowSource rows;
    for (const QStringList &row : show.rows)
        rows.appendRow(row);

    LinkSettings settings = LinkSettings::fromBaseSettings(m_setup.base);
    if (serial) {
        settings.CommPort = targets.first().address;
    } else {
        QStringList ipRows;
        for (const AgentTarget &t : targets)
            ipRows.append(t.address + QLatin1Char(',') + t.port + QStringLiteral(",1"));
        settings.IpStr = ipRows.join(QLatin1Char(';'));
    }
    m_link->setSettings(settings);
    CliPageSampler sampler(m_setup.perPixel(), m_setup.pictures);
    const ShowSendReport report
        = ShowSendJob(*m_link, sampler).run(rows, m_setup.jobSettings(showPath, serial));

    QList<TargetSendResult> results(
        count, TargetSendResult { true, QStringLiteral("succeeded"), {} });
    if (report.status == ShowSendReport::Status::Refused)
        return allFailed(count, QStringLiteral("refused"), report.refusal);
    if (report.status == ShowSendReport::Status::Busy)
        return allFailed(count, QStringLiteral("busy"), report.summary(language));
    for (const ShowSendReport::Step &step : report.steps) {
        for (int i = 0; i < count; ++i) {
            if (!results.at(i).succeeded)
                continue; // its first failure is the one to tell
            const TargetOutcome outcome = step.send.targets.value(i);
            if (outcome.sent && outcome.verdict == Verdict::Success)
                continue;
            const TargetResult result
                = step.send.targets.size() > i ? outcome.result() : TargetResult::NotReached;
            QString problem = outcome.problem.isEmpty()
                ? TargetOutcome::resultText(result, language)
                : outcome.problem;
            results[i] = { false, TargetOutcome::resultText(result, QStringLiteral("English")),
                stepName(step.row, language) + QStringLiteral(": ") + problem };
        }
    }
    if (report.status == ShowSendReport::Status::Cancelled
        || report.steps.size() < rows.rowCount() + 1) {
        for (TargetSendResult &r : results) {
            if (r.succeeded)
                r = { false, QStringLiteral("cancelled"),
                    localText(language, QStringLiteral("the send was cut short."),
                        QStringLiteral("发送被中断。")) };
        }
    }
    return results;
}
