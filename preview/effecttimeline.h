#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

// The effect values of one program-list row, as whole numbers.
struct RowEffects
{
    int effect = 0; // entry effect, 0..10 (rightleft ... move)
    int speed = 3; // entry speed, 1..25 in the selectors; only 0..7 can be sent
    int times = 0; // entry time, 0..25
    int repeat = 1; // entry repeat count, 1..125
    int exitEffect = 0; // exit effect, 0..5 (none ... stay)
    int exitSpeed = 3;
    int exitTime = 0;
    int exitRepeat = 1;

    // From a row's twelve texts (columns 2..9); empty when one is not a whole number.
    static std::optional<RowEffects> fromRow(const QStringList &texts);
};

namespace EntryEffect {
enum : int {
    RightLeft, // enters from the right edge moving left
    LeftRight, // enters from the left edge moving right
    DownUp, // rises from the bottom edge
    UpDown, // drops from the top edge
    Stay, // appears at once
    Flash, // blinks three times, then stays
    Unknow, // the controller's effect has no known look: played as Stay
    Shutter, // blinds of 8 columns open left to right
    Lazer, // drawn column by column, each column shot from the right edge
    ZoomUp, // grows from the centre
    Move, // even rows from the right, odd rows from the left, meeting in place
    Count
};
}

namespace ExitEffect {
enum : int {
    None, // gone at once
    RightLeft, // leaves by the left edge
    LeftRight, // leaves by the right edge
    DownUp, // leaves by the top edge
    UpDown, // leaves by the bottom edge
    Stay, // stays for the effect's length, then goes
    Count
};
}

// One row's play: for each entry repeat the entry effect, a travel across a page larger than
// the sign's window and the hold of Times; then for each exit repeat the exit effect and the
// dark pause of ETime. Steps last EffectTiming::stepTime of their speed.
//
// A row whose Speed or ESpeed is 8 or more builds no control packet; it is not playable and
// shows its refusal for kRefusedMs instead.
class EffectTimeline
{
public:
    static constexpr qint64 kRefusedMs = 2000;
    // Steps of the effects whose length does not follow the window.
    static constexpr int kFlashSteps = 48; // 6 phases of 8 steps
    static constexpr int kFlashPhaseSteps = 8;
    static constexpr int kShutterBand = 8; // columns per blind
    static constexpr int kShutterStepsPerColumn = 2;
    static constexpr int kZoomSteps = 32;
    static constexpr int kExitStaySteps = 32;

    enum class Phase { Entry, Travel, Hold, Exit, Pause, Refused };

    struct Segment
    {
        Phase phase = Phase::Hold;
        int effect = 0; // the entry or exit effect of Entry and Exit segments
        int steps = 0; // steps of Entry, Travel and Exit segments
        qint64 stepMs = 0;
        qint64 startMs = 0;
        qint64 durationMs = 0;
        int repeat = 1; // 1-based repeat this segment belongs to
    };

    struct Position
    {
        const Segment *segment = nullptr;
        int step = 0; // 0..steps - 1 inside an effect; steps when it has ended
    };

    // `page` is the row's page in LEDs, `window` the sign's (ScreenWidth x ScreenHeight modules
    // in LEDs).
    EffectTimeline(const RowEffects &effects, QSize page, QSize window);

    bool playable() const { return m_playable; }
    // Why the row is not played, naming the value; "" when it is playable.
    QString refusal(const QString &language) const;
    const RowEffects &effects() const { return m_effects; }
    qint64 durationMs() const { return m_durationMs; }
    const QList<Segment> &segments() const { return m_segments; }

    // Where the row is `ms` after its start (clamped to its length).
    Position positionAt(qint64 ms) const;

    // The sign's window `ms` after the row's start: `page` (one pixel per LED, black unlit)
    // as the effects show it, into `out` (resized to the window, RGB32).
    void render(qint64 ms, const QImage &page, QImage *out) const;

    // Step counts of the effects in a window of `window` LEDs.
    static int entrySteps(int effect, QSize window);
    static int exitSteps(int effect, QSize window);
    // Frame `step` of an entry (from dark to `frame`) or exit (from `frame` to dark) effect;
    // `frame` and `out` are window-sized.
    static void drawEntry(int effect, int step, const QImage &frame, QImage *out);
    static void drawExit(int effect, int step, const QImage &frame, QImage *out);

private:
    void addSteps(Phase phase, int effect, int steps, int speed, int repeat);
    void addHold(Phase phase, int times, int repeat);
    QPoint travelOffset(int step) const;

    RowEffects m_effects;
    QSize m_page;
    QSize m_window;
    bool m_playable = true;
    int m_travelX = 0; // LEDs the page moves left to show its right edge
    int m_travelY = 0; // and up to show its bottom edge
    QList<Segment> m_segments;
    qint64 m_durationMs = 0;
};
