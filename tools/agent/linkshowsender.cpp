#include "linkshowsender.h"

#include "clipagesampler.h"
#include "link.h"
#include "localtext.h"
#include "promptsink.h"
#include "rowsource.h"
#include "sendpicturejob.h"
#include "showfile.h"
#include "showsendjob.h"

#include <QFileInfo>

struct LinkShowSender::JobResult
{
    ShowSendReport report;
    int packets = 0;
};

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

// The rows of the show at `path`; false with the reason in `refusal`.
bool readRows(const QString &path, const QString &language, ListRowSource *rows, QString *refusal)
{
    const ShowFile::ReadResult show
        = ShowFile::read(path, QFileInfo(path).absolutePath(), language);
    if (!show.ok) {
        *refusal = show.message;
        return false;
    }
    for (const QStringList &row : show.rows)
        rows->appendRow(row);
    return true;
}

} // namespace

LinkShowSender::LinkShowSender(const SignSetup &setup, const QString &programFolder)
    : m_setup(setup)
    , m_programFolder(programFolder)
    , m_prompts(std::make_unique<SilentPrompts>())
    , m_link(std::make_unique<Link>(m_prompts.get()))
{ }

LinkShowSender::~LinkShowSender() = default;

void LinkShowSender::cancel()
{
    m_link->CloseTrance(TranceKind::kAll);
}

std::unique_ptr<PageSampler> LinkShowSender::samplerAt(const QDateTime &moment) const
{
    auto sampler = std::make_unique<CliPageSampler>(m_setup.perPixel(), m_setup.pictures);
    Fields::FieldContext context;
    context.moment = moment;
    context.programFolder = m_programFolder;
    context.language = m_setup.language();
    sampler->setFieldContext([context] { return context; });
    return sampler;
}

QList<TargetSendResult> LinkShowSender::send(
    const QString &showPath, const QList<AgentTarget> &targets, const QDateTime &moment)
{
    return sendEach(showPath, targets, [&](Link &link, const SendJobSettings &settings) {
        JobResult r;
        ListRowSource rows;
        if (!readRows(showPath, settings.Language, &rows, &r.report.refusal))
            return r;
        r.packets = rows.rowCount() + 1;
        const std::unique_ptr<PageSampler> sampler = samplerAt(moment);
        r.report = ShowSendJob(link, *sampler).run(rows, settings);
        return r;
    });
}

QList<TargetSendResult> LinkShowSender::sendPages(const QString &showPath, const QList<int> &rows,
    const QList<AgentTarget> &targets, const QDateTime &moment)
{
    return sendEach(showPath, targets, [&](Link &link, const SendJobSettings &settings) {
        JobResult r;
        r.packets = int(rows.size());
        r.report.rowCount = int(rows.size());
        ListRowSource list;
        if (!readRows(showPath, settings.Language, &list, &r.report.refusal))
            return r;
        if (link.isBusy()) {
            r.report.status = ShowSendReport::Status::Busy;
            return r;
        }
        // Every packet is built first: a page that cannot be drawn sends nothing.
        const std::unique_ptr<PageSampler> sampler = samplerAt(moment);
        QList<QByteArray> packets;
        for (int row : rows) {
            packets.append(SendPictureJob::rowPacket(list, row, settings, *sampler,
                SendPictureJob::RowNamed::Always, &r.report.refusal));
            if (packets.last().isEmpty())
                return r;
        }
        r.report.status = ShowSendReport::Status::Sent;
        for (int i = 0; i < packets.size(); ++i) {
            const SendOutcome send = link.SendBuffer(packets.at(i), settings.Trance);
            if (send.refusedBusy) {
                r.report.status = ShowSendReport::Status::Cancelled;
                break;
            }
            r.report.steps.append({ rows.at(i), send });
            if (send.cancelled) {
                r.report.status = ShowSendReport::Status::Cancelled;
                break;
            }
        }
        return r;
    });
}

QList<TargetSendResult> LinkShowSender::sendMessage(
    const SayRequest &message, const QList<AgentTarget> &targets)
{
    const int width = m_setup.base.ScreenWidth;
    const int height = m_setup.base.ScreenHeight;
    const Page::MessageDrawing drawing
        = Page::drawMessage(message.text, message.style, width, height);
    if (!drawing.fits)
        return allFailed(int(targets.size()), QStringLiteral("refused"),
            drawing.refusal(message.text, m_setup.language()));
    return sendEach({}, targets, [&](Link &link, const SendJobSettings &settings) {
        JobResult r;
        r.packets = 2;
        r.report = sendMessageShow(
            link, drawing.canvas, width, height, settings.Trance, settings.Language);
        return r;
    });
}

QList<TargetSendResult> LinkShowSender::sendEach(
    const QString &showPath, const QList<AgentTarget> &targets, const Job &job)
{
    QList<AgentTarget> serial;
    QList<AgentTarget> tcp;
    for (const AgentTarget &t : targets)
        (t.isSerial() ? serial : tcp).append(t);
    const QList<TargetSendResult> serialResults
        = serial.isEmpty() ? QList<TargetSendResult>() : sendOver(showPath, serial, true, job);
    const QList<TargetSendResult> tcpResults
        = tcp.isEmpty() ? QList<TargetSendResult>() : sendOver(showPath, tcp, false, job);
    QList<TargetSendResult> results;
    int s = 0;
    int t = 0;
    for (const AgentTarget &target : targets)
        results.append(target.isSerial() ? serialResults.value(s++) : tcpResults.value(t++));
    return results;
}

QList<TargetSendResult> LinkShowSender::sendOver(
    const QString &showPath, const QList<AgentTarget> &targets, bool serial, const Job &job)
{
    const QString &language = m_setup.language();
    const int count = serial ? 1 : int(targets.size());
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
    const JobResult done = job(*m_link, m_setup.jobSettings(showPath, serial));
    const ShowSendReport &report = done.report;

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
    if (report.status == ShowSendReport::Status::Cancelled || report.steps.size() < done.packets) {
        for (TargetSendResult &r : results) {
            if (r.succeeded)
                r = { false, QStringLiteral("cancelled"),
                    localText(language, QStringLiteral("the send was cut short."),
                        QStringLiteral("发送被中断。")) };
        }
    }
    return results;
}
