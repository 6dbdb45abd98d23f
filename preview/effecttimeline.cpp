#include "effecttimeline.h"

#include "effecttiming.h"
#include "localtext.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr QRgb kDark = 0xFF000000;

// out(x, y) = frame(x + dx, y + dy), dark outside the frame; row by row.
void drawShifted(const QImage &frame, int dx, int dy, QImage *out)
{
    const int w = out->width();
    const int h = out->height();
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(out->scanLine(y));
        const int sy = y + dy;
        if (sy < 0 || sy >= frame.height()) {
            std::fill(line, line + w, kDark);
            continue;
        }
        const auto *src = reinterpret_cast<const QRgb *>(frame.constScanLine(sy));
        const int x0 = std::clamp(-dx, 0, w); // first column with a source pixel
        const int x1 = std::clamp(frame.width() - dx, x0, w); // one past the last
        std::fill(line, line + x0, kDark);
        if (x1 > x0)
            std::memcpy(line + x0, src + x0 + dx, size_t(x1 - x0) * sizeof(QRgb));
        std::fill(line + x1, line + w, kDark);
    }
}

void drawDark(QImage *out)
{
    out->fill(kDark);
}

void copyFrame(const QImage &frame, QImage *out)
{
    drawShifted(frame, 0, 0, out);
}

QRgb pixelOr(const QImage &frame, int x, int y)
{
    if (x < 0 || y < 0 || x >= frame.width() || y >= frame.height())
        return kDark;
    return reinterpret_cast<const QRgb *>(frame.constScanLine(y))[x];
}

void ensureWindow(QImage *out, QSize size)
{
    if (out->size() != size || out->format() != QImage::Format_RGB32)
        *out = QImage(size, QImage::Format_RGB32);
}

// The page in the window with its top-left LED at (ox, oy) of the window.
void placePage(const QImage &page, int ox, int oy, QImage *out)
{
    drawShifted(page, -ox, -oy, out);
}

} // namespace

std::optional<RowEffects> RowEffects::fromRow(const QStringList &texts)
{
    int values[8];
    for (int i = 0; i < 8; ++i) {
        bool ok = false;
        values[i] = texts.value(1 + i).trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return RowEffects { values[0], values[1], values[2], values[3], values[4], values[5],
        values[6], values[7] };
}

EffectTimeline::EffectTimeline(const RowEffects &effects, QSize page, QSize window)
    : m_effects(effects)
    , m_page(page)
    , m_window(window)
{
    m_playable = effects.speed >= 0 && effects.speed <= EffectTiming::kMaxSendableSpeed
        && effects.exitSpeed >= 0 && effects.exitSpeed <= EffectTiming::kMaxSendableSpeed
        && effects.effect >= 0 && effects.effect < EntryEffect::Count && effects.exitEffect >= 0
        && effects.exitEffect < ExitEffect::Count && !window.isEmpty();
    if (!m_playable) {
        Segment refused;
        refused.phase = Phase::Refused;
        refused.durationMs = kRefusedMs;
        m_segments.append(refused);
        m_durationMs = kRefusedMs;
        return;
    }
    m_travelX = std::max(0, page.width() - window.width());
    m_travelY = std::max(0, page.height() - window.height());
    const int entry = effects.effect == EntryEffect::Unknow ? EntryEffect::Stay : effects.effect;
    for (int r = 1; r <= std::max(1, effects.repeat); ++r) {
        addSteps(Phase::Entry, effects.effect, entrySteps(entry, window), effects.speed, r);
        addSteps(Phase::Travel, 0, m_travelX + m_travelY, effects.speed, r);
        addHold(Phase::Hold, effects.times, r);
    }
    for (int r = 1; r <= std::max(1, effects.exitRepeat); ++r) {
        addSteps(Phase::Exit, effects.exitEffect, exitSteps(effects.exitEffect, window),
            effects.exitSpeed, r);
        addHold(Phase::Pause, effects.exitTime, r);
    }
}

void EffectTimeline::addSteps(Phase phase, int effect, int steps, int speed, int repeat)
{
    if (steps <= 0)
        return;
    Segment s;
    s.phase = phase;
    s.effect = effect;
    s.steps = steps;
    s.stepMs = EffectTiming::stepTime(speed).count();
    s.startMs = m_durationMs;
    s.durationMs = s.stepMs * steps;
    s.repeat = repeat;
    m_segments.append(s);
    m_durationMs += s.durationMs;
}

void EffectTimeline::addHold(Phase phase, int times, int repeat)
{
    Segment s;
    s.phase = phase;
    s.startMs = m_durationMs;
    s.durationMs = EffectTiming::holdTime(times).count();
    s.repeat = repeat;
    m_segments.append(s);
    m_durationMs += s.durationMs;
}

QString EffectTimeline::refusal(const QString &language) const
{
    if (m_playable)
        return {};
    const bool entry = m_effects.speed > EffectTiming::kMaxSendableSpeed || m_effects.speed < 0;
    const QString key = entry ? QStringLiteral("Speed") : QStringLiteral("ESpeed");
    const int value = entry ? m_effects.speed : m_effects.exitSpeed;
    return localText(language,
        QStringLiteral("%1 %2 builds no control packet (the sign takes 0 to %3): not played.")
            .arg(key)
            .arg(value)
            .arg(EffectTiming::kMaxSendableSpeed),
        QStringLiteral("%1 为 %2，无法生成控制数据包（屏幕只接受 0 到 %3）：不播放。")
            .arg(key)
            .arg(value)
            .arg(EffectTiming::kMaxSendableSpeed));
}

EffectTimeline::Position EffectTimeline::positionAt(qint64 ms) const
{
    Position p;
    if (m_segments.isEmpty())
        return p;
    const qint64 t = std::clamp<qint64>(ms, 0, std::max<qint64>(0, m_durationMs - 1));
    auto it = std::upper_bound(m_segments.cbegin(), m_segments.cend(), t,
        [](qint64 value, const Segment &s) { return value < s.startMs; });
    p.segment = &*(it - 1);
    if (p.segment->stepMs > 0)
        p.step = int(std::min<qint64>((t - p.segment->startMs) / p.segment->stepMs,
            p.segment->steps - 1));
    return p;
}

int EffectTimeline::entrySteps(int effect, QSize window)
{
    switch (effect) {
    case EntryEffect::RightLeft:
    case EntryEffect::LeftRight:
    case EntryEffect::Lazer:
    case EntryEffect::Move:
        return window.width();
    case EntryEffect::DownUp:
    case EntryEffect::UpDown:
        return window.height();
    case EntryEffect::Flash:
        return kFlashSteps;
    case EntryEffect::Shutter:
        return kShutterBand * kShutterStepsPerColumn;
    case EntryEffect::ZoomUp:
        return kZoomSteps;
    default: // Stay, Unknow
        return 0;
    }
}

int EffectTimeline::exitSteps(int effect, QSize window)
{
    switch (effect) {
    case ExitEffect::RightLeft:
    case ExitEffect::LeftRight:
        return window.width();
    case ExitEffect::DownUp:
    case ExitEffect::UpDown:
        return window.height();
    case ExitEffect::Stay:
        return kExitStaySteps;
    default: // None
        return 0;
    }
}

void EffectTimeline::drawEntry(int effect, int step, const QImage &frame, QImage *out)
{
    const int w = out->width();
    const int h = out->height();
    const int n = entrySteps(effect, out->size());
    if (step >= n) {
        copyFrame(frame, out);
        return;
    }
    switch (effect) {
    case EntryEffect::RightLeft:
        drawShifted(frame, -(w - step), 0, out);
        return;
    case EntryEffect::LeftRight:
        drawShifted(frame, w - step, 0, out);
        return;
    case EntryEffect::DownUp:
        drawShifted(frame, 0, -(h - step), out);
        return;
    case EntryEffect::UpDown:
        drawShifted(frame, 0, h - step, out);
        return;
    case EntryEffect::Flash:
        if ((step / kFlashPhaseSteps) % 2 == 1)
            copyFrame(frame, out);
        else
            drawDark(out);
        return;
    case EntryEffect::Shutter: {
        const int open = step / kShutterStepsPerColumn; // columns of each blind open
        copyFrame(frame, out);
        for (int y = 0; y < h; ++y) {
            auto *line = reinterpret_cast<QRgb *>(out->scanLine(y));
            for (int x = 0; x < w; ++x) {
                if (x % kShutterBand >= open)
                    line[x] = kDark;
            }
        }
        return;
    }
    case EntryEffect::Lazer: {
        copyFrame(frame, out);
        for (int y = 0; y < h; ++y) {
            auto *line = reinterpret_cast<QRgb *>(out->scanLine(y));
            const QRgb beam = pixelOr(frame, step, y);
            std::fill(line + step, line + w, beam);
        }
        return;
    }
    case EntryEffect::ZoomUp: {
        if (step == 0) {
            drawDark(out);
            return;
        }
        // Nearest LED of the frame scaled by step / n about the window's centre.
        const double cx = w / 2.0;
        const double cy = h / 2.0;
        const double scale = double(step) / n;
        for (int y = 0; y < h; ++y) {
            auto *line = reinterpret_cast<QRgb *>(out->scanLine(y));
            const int sy = int(std::floor(cy + (y + 0.5 - cy) / scale));
            for (int x = 0; x < w; ++x) {
                const int sx = int(std::floor(cx + (x + 0.5 - cx) / scale));
                line[x] = pixelOr(frame, sx, sy);
            }
        }
        return;
    }
    case EntryEffect::Move: {
        const int off = w - step;
        for (int y = 0; y < h; ++y) {
            auto *line = reinterpret_cast<QRgb *>(out->scanLine(y));
            const int dx = y % 2 == 0 ? -off : off; // source column = x + dx
            for (int x = 0; x < w; ++x)
                line[x] = pixelOr(frame, x + dx, y);
        }
        return;
    }
    default: // Stay, Unknow
        copyFrame(frame, out);
        return;
    }
}

void EffectTimeline::drawExit(int effect, int step, const QImage &frame, QImage *out)
{
    const int n = exitSteps(effect, out->size());
    if (step >= n) {
        drawDark(out);
        return;
    }
    switch (effect) {
    case ExitEffect::RightLeft:
        drawShifted(frame, step, 0, out);
        return;
    case ExitEffect::LeftRight:
        drawShifted(frame, -step, 0, out);
        return;
    case ExitEffect::DownUp:
        drawShifted(frame, 0, step, out);
        return;
    case ExitEffect::UpDown:
        drawShifted(frame, 0, -step, out);
        return;
    default: // Stay: the page until the effect's end
        copyFrame(frame, out);
        return;
    }
}

QPoint EffectTimeline::travelOffset(int step) const
{
    const int x = std::min(step, m_travelX);
    const int y = std::max(0, step - m_travelX);
    return { -x, -std::min(y, m_travelY) };
}

void EffectTimeline::render(qint64 ms, const QImage &page, QImage *out) const
{
    ensureWindow(out, m_window);
    const Position p = positionAt(ms);
    if (!m_playable || !p.segment || page.isNull()) {
        drawDark(out);
        return;
    }
    const Segment &s = *p.segment;
    const QPoint end = travelOffset(m_travelX + m_travelY);
    switch (s.phase) {
    case Phase::Entry: {
        QImage rest(m_window, QImage::Format_RGB32);
        placePage(page, 0, 0, &rest);
        const int effect = s.effect == EntryEffect::Unknow ? EntryEffect::Stay : s.effect;
        drawEntry(effect, p.step, rest, out);
        return;
    }
    case Phase::Travel: {
        const QPoint at = travelOffset(p.step);
        placePage(page, at.x(), at.y(), out);
        return;
    }
    case Phase::Hold:
        placePage(page, end.x(), end.y(), out);
        return;
    case Phase::Exit: {
        QImage last(m_window, QImage::Format_RGB32);
        placePage(page, end.x(), end.y(), &last);
        drawExit(s.effect, p.step, last, out);
        return;
    }
    case Phase::Pause:
    case Phase::Refused:
        drawDark(out);
        return;
    }
}
