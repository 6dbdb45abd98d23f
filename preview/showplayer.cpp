#include "showplayer.h"

#include "localtext.h"
#include "rowsource.h"
#include "wholenumber.h"

#include <algorithm>

namespace {
// Pages kept: enough for a row's neighbours, small enough for a show of thousands of pages.
constexpr int kKeptPages = 16;
constexpr int kLedsPerModule = 16;
} // namespace

void ShowPlayer::setShow(const ControlRowSource &list, QSize window, PageLoader loader,
    const QString &language)
{
    m_rows.clear();
    m_pages.clear();
    m_window = window;
    m_loader = std::move(loader);
    m_language = language;
    m_durationMs = 0;
    const int count = list.rowCount();
    m_rows.reserve(count);
    for (int r = 1; r <= count; ++r) {
        QStringList texts;
        for (int c = 1; c <= ListColumn::Count; ++c)
            texts.append(list.cellText(r, c));
        Row row;
        row.row = r;
        const std::optional<RowEffects> effects = RowEffects::fromRow(texts);
        const std::optional<qint16> width = wholeNumber(texts.at(ListColumn::TWidth - 1));
        const std::optional<qint16> height = wholeNumber(texts.at(ListColumn::THeight - 1));
        if (!effects || !width || !height || *width < 1 || *height < 1) {
            row.problem = localText(language,
                QStringLiteral("Row %1 holds a value that is not a whole number.").arg(r),
                QStringLiteral("第 %1 行含有不是整数的值。").arg(r));
            row.durationMs = kProblemMs;
        } else {
            row.timeline.emplace(*effects,
                QSize(*width * kLedsPerModule, *height * kLedsPerModule), window);
            row.durationMs = row.timeline->durationMs();
        }
        row.startMs = m_durationMs;
        m_durationMs += row.durationMs;
        m_rows.append(std::move(row));
    }
}

qint64 ShowPlayer::rowStartMs(int row) const
{
    return row >= 1 && row <= m_rows.size() ? m_rows.at(row - 1).startMs : 0;
}

const EffectTimeline *ShowPlayer::timeline(int row) const
{
    if (row < 1 || row > m_rows.size() || !m_rows.at(row - 1).timeline)
        return nullptr;
    return &*m_rows.at(row - 1).timeline;
}

const PreviewPage &ShowPlayer::page(int row)
{
    auto found = m_pages.constFind(row);
    if (found != m_pages.cend())
        return found.value();
    if (m_pages.size() >= kKeptPages)
        m_pages.clear();
    return m_pages.insert(row, m_loader ? m_loader(row) : PreviewPage {}).value();
}

ShowPlayer::Frame ShowPlayer::frameAt(qint64 ms)
{
    Frame frame;
    frame.rowCount = int(m_rows.size());
    if (m_rows.isEmpty() || m_durationMs <= 0 || m_window.isEmpty())
        return frame;
    const qint64 t = ((ms % m_durationMs) + m_durationMs) % m_durationMs;
    auto it = std::upper_bound(m_rows.cbegin(), m_rows.cend(), t,
        [](qint64 value, const Row &r) { return value < r.startMs; });
    const Row &row = *(it - 1);
    frame.row = row.row;
    if (!row.timeline) {
        frame.problem = row.problem;
        return frame;
    }
    const EffectTimeline &timeline = *row.timeline;
    if (!timeline.playable()) {
        frame.problem = timeline.refusal(m_language);
        frame.segment = timeline.positionAt(0).segment;
        return frame;
    }
    const PreviewPage &shown = page(row.row);
    if (shown.leds.isNull()) {
        frame.problem = shown.problem;
        return frame;
    }
    const EffectTimeline::Position at = timeline.positionAt(t - row.startMs);
    frame.segment = at.segment;
    frame.step = at.step;
    timeline.render(t - row.startMs, shown.leds, &frame.image);
    return frame;
}
