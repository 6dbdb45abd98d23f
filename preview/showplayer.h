#pragma once

#include "effecttimeline.h"
#include "previewpages.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>

class ControlRowSource;

// A whole show played in row order, looping: each row's timeline, one after the other, in
// the sign's window. Pages are loaded when their row comes up (a show may hold thousands of
// rows) and the last few are kept.
class ShowPlayer
{
public:
    // Rows whose values or page cannot be played show why for this long.
    static constexpr qint64 kProblemMs = EffectTimeline::kRefusedMs;

    // Loads the LEDs of 1-based row `row`'s page.
    using PageLoader = std::function<PreviewPage(int row)>;

    // What the window shows at one moment.
    struct Frame
    {
        int row = 0; // 1-based; 0 when the show is empty
        int rowCount = 0;
        const EffectTimeline::Segment *segment = nullptr; // null for a row with a problem
        int step = 0;
        QString problem; // why the row is not played; "" while it plays
        QImage image; // the window, one pixel per LED
    };

    // Reads the rows' effects and sizes from `list` now; `window` is the sign in LEDs.
    void setShow(const ControlRowSource &list, QSize window, PageLoader loader,
        const QString &language);

    int rowCount() const { return int(m_rows.size()); }
    // Length of one pass through the show.
    qint64 durationMs() const { return m_durationMs; }
    // When 1-based row `row` starts in the pass.
    qint64 rowStartMs(int row) const;
    const EffectTimeline *timeline(int row) const;

    // The window `ms` into the show (looping after durationMs()).
    Frame frameAt(qint64 ms);

private:
    struct Row
    {
        int row = 0;
        std::optional<EffectTimeline> timeline; // empty when the row's values cannot be read
        QString problem;
        qint64 startMs = 0;
        qint64 durationMs = 0;
    };
    const PreviewPage &page(int row);

    QList<Row> m_rows;
    qint64 m_durationMs = 0;
    QSize m_window;
    PageLoader m_loader;
    QString m_language;
    QHash<int, PreviewPage> m_pages;
};
