#include "showplayback.h"

#include "signpreview.h"
#include "signpreviewpane.h"

#include "effectlists.h"
#include "localtext.h"
#include "rowsource.h"
#include "wholenumber.h"

#include <QLabel>
#include <QTimer>

namespace {
constexpr int kLedsPerModule = 16;
} // namespace

ShowPlayback::ShowPlayback(SignPreviewPane *pane, QObject *parent)
    : QObject(parent)
    , m_pane(pane)
    , m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(kFrameInterval);
    connect(m_timer, &QTimer::timeout, this, &ShowPlayback::tick);
}

bool ShowPlayback::isPlaying() const
{
    return m_timer->isActive();
}

void ShowPlayback::play(const ControlRowSource &list, int startRow, const Sign &sign)
{
    stop();
    if (list.rowCount() == 0)
        return;
    // The rows as they are now: edits during the play take effect at the next Play.
    auto rows = std::make_shared<ListRowSource>();
    m_fileNames.clear();
    for (int r = 1; r <= list.rowCount(); ++r) {
        QStringList texts;
        for (int c = 1; c <= ListColumn::Count; ++c)
            texts.append(list.cellText(r, c));
        m_fileNames.append(texts.at(ListColumn::FilePath - 1));
        rows->appendRow(texts);
    }
    m_language = sign.language;
    m_player.setShow(*rows,
        QSize(sign.screenWidth * kLedsPerModule, sign.screenHeight * kLedsPerModule),
        [rows, sign](int row) {
            const int width = wholeNumber(rows->cellText(row, ListColumn::TWidth)).value_or(0);
            const int height = wholeNumber(rows->cellText(row, ListColumn::THeight)).value_or(0);
            return renderPreviewPage(
                sign.pageFolder + QLatin1Char('/') + rows->cellText(row, ListColumn::FilePath),
                width, height, sign.screenWidth, sign.screenHeight, sign.perPixel, sign.language);
        },
        sign.language);
    if (m_player.durationMs() <= 0)
        return;
    m_startMs = m_player.rowStartMs(startRow >= 1 && startRow <= list.rowCount() ? startRow : 1);
    m_lastKey.clear();
    m_pane->setPlaying(true);
    m_clock.start();
    m_timer->start();
    showAt(0);
    emit playingChanged(true);
}

void ShowPlayback::stop()
{
    if (!m_timer->isActive())
        return;
    m_timer->stop();
    m_pane->setPlaying(false);
    emit playingChanged(false);
}

void ShowPlayback::tick()
{
    showAt(m_clock.elapsed());
}

void ShowPlayback::showAt(qint64 ms)
{
    const ShowPlayer::Frame frame = m_player.frameAt(m_startMs + ms);
    const QString key = QStringLiteral("%1/%2/%3/%4")
                            .arg(frame.row)
                            .arg(quintptr(frame.segment))
                            .arg(frame.step)
                            .arg(frame.problem.isEmpty());
    if (key == m_lastKey)
        return; // the same frame as before: nothing to draw
    m_lastKey = key;
    const EffectTimeline *timeline = m_player.timeline(frame.row);
    m_pane->LblPlaying()->setText(describe(frame, m_fileNames.value(frame.row - 1),
        timeline ? &timeline->effects() : nullptr, m_language));
    if (frame.image.isNull())
        m_pane->view()->setNote(frame.problem);
    else
        m_pane->view()->setLeds(frame.image);
}

QString ShowPlayback::describe(const ShowPlayer::Frame &frame, const QString &fileName,
    const RowEffects *effects, const QString &language)
{
    if (frame.row == 0)
        return {};
    QString text = localText(language, QStringLiteral("Row %1 of %2").arg(frame.row).arg(frame.rowCount),
        QStringLiteral("第 %1 行，共 %2 行").arg(frame.row).arg(frame.rowCount));
    text += QStringLiteral(": ");
    if (!frame.problem.isEmpty() || !frame.segment || !effects)
        return text + frame.problem + QStringLiteral(" ") + fileName;

    const QStringList entries = EffectLists::entryEffects();
    const QStringList exits = EffectLists::exitEffects();
    QString entry = entries.value(effects->effect);
    if (effects->effect == EntryEffect::Unknow)
        entry += localText(language, QStringLiteral(" (played as stay)"),
            QStringLiteral("（按 stay 播放）"));
    const QString exit = exits.value(effects->exitEffect);
    using Phase = EffectTimeline::Phase;
    const EffectTimeline::Segment &segment = *frame.segment;
    switch (segment.phase) {
    case Phase::Entry:
        text += localText(language,
            QStringLiteral("entering with %1 (speed %2)").arg(entry).arg(effects->speed),
            QStringLiteral("进入：%1（速度 %2）").arg(entry).arg(effects->speed));
        break;
    case Phase::Travel:
        text += localText(language,
            QStringLiteral("moving through (speed %1)").arg(effects->speed),
            QStringLiteral("移动（速度 %1）").arg(effects->speed));
        break;
    case Phase::Hold:
        text += localText(language,
            QStringLiteral("holding after %1 (time %2)").arg(entry).arg(effects->times),
            QStringLiteral("停留：%1 之后（时间 %2）").arg(entry).arg(effects->times));
        break;
    case Phase::Exit:
        text += localText(language,
            QStringLiteral("leaving with %1 (speed %2)").arg(exit).arg(effects->exitSpeed),
            QStringLiteral("退出：%1（速度 %2）").arg(exit).arg(effects->exitSpeed));
        break;
    case Phase::Pause:
        text += localText(language,
            QStringLiteral("dark after %1 (time %2)").arg(exit).arg(effects->exitTime),
            QStringLiteral("熄灭：%1 之后（时间 %2）").arg(exit).arg(effects->exitTime));
        break;
    case Phase::Refused:
        break;
    }
    const bool entering = segment.phase == Phase::Entry || segment.phase == Phase::Travel
        || segment.phase == Phase::Hold;
    const int repeats = entering ? effects->repeat : effects->exitRepeat;
    if (repeats > 1)
        text += QStringLiteral(" %1/%2").arg(segment.repeat).arg(repeats);
    return text + QStringLiteral(" — ") + fileName;
}
