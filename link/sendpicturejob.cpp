#include "sendpicturejob.h"

#include "getcolor.h"
#include "link.h"
#include "localtext.h"
#include "messages.h"
#include "pagesampler.h"
#include "progresssink.h"
#include "promptsink.h"
#include "rowsource.h"

#include <QObject>

#include <algorithm>
#include <limits>

namespace {

QString percentText(int percent)
{
    return QString::number(percent) + QLatin1Char('%');
}

// A TWidth or THeight cell as the 16-bit whole number the packet builder takes.
bool readModules(const QString &text, qint16 *out)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<qint16>::min()
        || value > std::numeric_limits<qint16>::max())
        return false;
    *out = qint16(value);
    return true;
}

PacketRefusal notANumber(const QString &field, const QString &value, int row)
{
    PacketRefusal r;
    r.kind = PacketRefusal::Kind::NotANumber;
    r.field = field;
    r.value = value;
    r.row = row;
    return r;
}

} // namespace

SendPictureJob::SendPictureJob(
    Link &link, PromptSink &prompts, ProgressSink &progress, PageSampler &sampler)
    : m_link(link)
    , m_prompts(prompts)
    , m_progress(progress)
    , m_sampler(sampler)
{ }

SendJobOutcome SendPictureJob::run(
    const ControlRowSource &list, int CurrentRow, const SendJobSettings &settings)
{
    SendJobOutcome outcome;
    if (m_link.isBusy()) {
        outcome.status = JobStatus::Busy;
        return outcome;
    }
    const QString &language = settings.Language;
    const QString title = PromptTitle(language);
    if (list.rowCount() == 0) {
        m_prompts.inform(PromptText(Msg::AddTheFile, language), title, MsgIcon(Msg::AddTheFile));
        return outcome;
    }

    m_progress.setMaximum(1);
    m_progress.setValue(0);
    m_progress.setLabelText(percentText(0));
    Link::Delay(0);

    if (CurrentRow == 0) {
        m_prompts.inform(
            PromptText(Msg::SelectOneRow, language), title, MsgIcon(Msg::SelectOneRow));
        return outcome;
    }
    outcome.status = JobStatus::Refused;
    // Rows may have been removed since the click; the row number is then stale.
    if (CurrentRow < 0 || CurrentRow > list.rowCount()) {
        refuse(
            localText(language,
                QStringLiteral("Row %1 is no longer in the program list; click the row "
                               "to send and try again.")
                    .arg(CurrentRow),
                QStringLiteral("节目列表中已没有第 %1 行，请重新选择要发送的行。").arg(CurrentRow)),
            settings);
        return outcome;
    }

    if (CurrentRow > GetColor::kMaxFileListId) {
        PacketRefusal r;
        r.field = QStringLiteral("FileListID");
        r.value = QString::number(CurrentRow);
        r.maximum = GetColor::kMaxFileListId;
        refuse(r.message(language), settings);
        return outcome;
    }
    QString refusal;
    outcome.packet = rowPacket(list, CurrentRow, settings, m_sampler, RowNamed::ForCells, &refusal);
    if (outcome.packet.isEmpty()) {
        refuse(refusal, settings);
        return outcome;
    }

    // The serial link reports each block the port takes; the bar follows it in bytes, and
    // "100%" is kept for the moment the link has returned.
    int maximum = 1;
    QObject progressScope;
    QObject::connect(
        &m_link, &Link::sendProgress, &progressScope, [&](qint64 written, qint64 total) {
            if (total <= 0)
                return;
            if (maximum != int(total)) {
                maximum = int(total);
                m_progress.setMaximum(maximum);
            }
            m_progress.setValue(int(written));
            m_progress.setLabelText(percentText(int(std::min<qint64>(written * 100 / total, 99))));
        });
    outcome.send = m_link.SendBuffer(outcome.packet, settings.Trance);
    if (outcome.send.refusedBusy) {
        outcome.status = JobStatus::Busy;
        return outcome;
    }
    outcome.status = JobStatus::Sent;
    m_progress.setValue(maximum);
    m_progress.setLabelText(percentText(100));
    return outcome;
}

QByteArray SendPictureJob::rowPacket(const ControlRowSource &list, int row,
    const SendJobSettings &settings, PageSampler &sampler, RowNamed named, QString *refusal)
{
    const QString &language = settings.Language;
    const int namedRow = named == RowNamed::Always ? row : 0;
    const QString filePath = list.cellText(row, ListColumn::FilePath);
    qint16 textWidth = 0;
    qint16 textHeight = 0;
    for (const int column : { ListColumn::TWidth, ListColumn::THeight }) {
        const QString text = list.cellText(row, column);
        if (!readModules(text, column == ListColumn::TWidth ? &textWidth : &textHeight)) {
            *refusal = notANumber(
                column == ListColumn::TWidth ? QStringLiteral("TWidth") : QStringLiteral("THeight"),
                text, row)
                           .message(language);
            return {};
        }
    }
    if (filePath.trimmed().isEmpty()) {
        *refusal = localText(language, QStringLiteral("Row %1 names no page file.").arg(row),
            QStringLiteral("第 %1 行没有页面文件。").arg(row));
        return {};
    }
    // A row of 2047 x 2047 modules would cost a canvas of gigabytes.
    if (const std::optional<PacketRefusal> r = GetColor::checkPictureSizes(
            settings.ScreenWidth, settings.ScreenHeight, textWidth, textHeight, namedRow)) {
        *refusal = r->message(language);
        return {};
    }
    const QString pagePath = settings.pageFolder + QLatin1Char('/') + filePath;
    QString error;
    const std::unique_ptr<PixelSource> canvas
        = sampler.samplePage(pagePath, textWidth, textHeight, &error);
    if (!canvas) {
        if (error.isEmpty())
            error
                = localText(language, QStringLiteral("The page %1 cannot be loaded.").arg(pagePath),
                    QStringLiteral("无法载入页面 %1。").arg(pagePath));
        *refusal = namedRow == 0
            ? error
            : localText(language, QStringLiteral("Row %1: %2").arg(row).arg(error),
                QStringLiteral("第 %1 行：%2").arg(row).arg(error));
        return {};
    }
    PacketResult packet = GetColor().SendPicMod(*canvas, settings.ScreenWidth,
        settings.ScreenHeight, textWidth, textHeight, settings.PerPixel, qint16(row));
    if (!packet.ok) {
        packet.refusal.row = namedRow;
        *refusal = packet.refusal.message(language);
        return {};
    }
    return packet.bytes;
}

void SendPictureJob::refuse(const QString &text, const SendJobSettings &settings)
{
    m_prompts.inform(text, PromptTitle(settings.Language), PromptIcon::Exclamation);
}
