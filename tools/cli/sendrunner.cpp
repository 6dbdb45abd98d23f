#include "sendrunner.h"

#include "clearscreenjob.h"
#include "clicommand.h"
#include "messages.h"
#include "rowsource.h"
#include "sendcontroljob.h"
#include "sendpicturejob.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

// One page as the program list would hold it at row `row`; the rows above it are empty, as
// the picture job reads only the clicked row.
class SinglePageRows : public ControlRowSource
{
public:
    SinglePageRows(int row, const QString &fileName, qint16 width, qint16 height)
        : m_row(row)
        , m_fileName(fileName)
        , m_width(width)
        , m_height(height)
    { }
    int rowCount() const override { return m_row; }
    QString cellText(int row, int column) const override
    {
        if (row != m_row)
            return {};
        switch (column) {
        case ListColumn::Number:
            return QString::number(row);
        case ListColumn::TWidth:
            return QString::number(m_width);
        case ListColumn::THeight:
            return QString::number(m_height);
        case ListColumn::FilePath:
            return m_fileName;
        default:
            return {};
        }
    }

private:
    int m_row;
    QString m_fileName;
    qint16 m_width;
    qint16 m_height;
};

} // namespace

SendRunner::SendRunner(const SendSetup &setup)
    : m_setup(setup)
    , m_prompts(setup.assumeYes)
    , m_link(&m_prompts)
{
    m_link.setSettings(setup.link);
}

int SendRunner::sendPage(const QString &pagePath, qint16 textWidth, qint16 textHeight, int slotRow,
    qint16 screenWidth, qint16 screenHeight, qint16 perPixel, Page::PictureMode pictures)
{
    const QFileInfo page(pagePath);
    SendJobSettings settings = jobSettings();
    settings.ScreenWidth = screenWidth;
    settings.ScreenHeight = screenHeight;
    settings.PerPixel = perPixel;
    settings.pageFolder = page.absolutePath();
    CliPageSampler sampler(perPixel, pictures);
    const SinglePageRows rows(slotRow, page.fileName(), textWidth, textHeight);
    return exitStatus(
        SendPictureJob(m_link, m_prompts, m_progress, sampler).run(rows, slotRow, settings));
}

int SendRunner::sendControl(const ControlRowSource &list)
{
    return exitStatus(SendControlJob(m_link, m_prompts).run(list, jobSettings()));
}

int SendRunner::sendClear()
{
    return exitStatus(ClearScreenJob(m_link, m_prompts).run(jobSettings()));
}

SendJobSettings SendRunner::jobSettings() const
{
    SendJobSettings s;
    s.ScreenWidth = m_setup.ScreenWidth;
    s.ScreenHeight = m_setup.ScreenHeight;
    s.PerPixel = m_setup.PerPixel;
    s.Trance = m_setup.Trance;
    s.Language = m_setup.link.Language;
    return s;
}

int SendRunner::exitStatus(const SendJobOutcome &outcome) const
{
    switch (outcome.status) {
    case JobStatus::NothingToSend:
    case JobStatus::Refused:
        return CliExit::kRefused;
    case JobStatus::Cancelled:
        return cliFail(CliExit::kRefused, QStringLiteral("cancelled; nothing was sent"));
    case JobStatus::Busy:
        return cliFail(CliExit::kSendFailed, QStringLiteral("another send was running"));
    case JobStatus::Sent:
        break;
    }
    if (outcome.send.fannedOut) {
        // One line per target in list order, then the whole send, for people and scripts.
        const QString &language = m_setup.link.Language;
        QTextStream out(stdout);
        for (const TargetOutcome &t : outcome.send.targets) {
            out << t.label() << '\t' << TargetOutcome::resultText(t.result(), language) << '\t'
                << t.elapsedText();
            if (!t.problem.isEmpty())
                out << '\t' << t.problem;
            out << '\n';
        }
        out << outcome.send.summaryText(language) << Qt::endl;
        return outcome.send.allSucceeded() ? CliExit::kOk : CliExit::kSendFailed;
    }
    QTextStream err(stderr);
    for (const TargetOutcome &t : outcome.send.targets) {
        if (!t.problem.isEmpty())
            err << "vantrel-cli: " << t.problem << '\n';
    }
    if (outcome.send.targets.isEmpty()) {
        if (m_setup.Trance == 2) {
            return cliFail(CliExit::kSendFailed,
                QStringLiteral("nothing was sent: no target row of IPStr is ticked "
                               "(flag 1)"));
        }
        return cliFail(CliExit::kSendFailed,
            QStringLiteral("nothing was sent: link kind %1 (%2) sends nothing; "
                           "Trance must be 0, 1 or 2")
                .arg(m_setup.Trance)
                .arg(TranceStyleName(m_setup.Trance)));
    }
    return outcome.send.allSucceeded() ? CliExit::kOk : CliExit::kSendFailed;
}
