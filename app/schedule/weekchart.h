#pragma once

#include "schedule.h"

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QWidget>

// The week of a schedule at a glance: seven day columns (Monday to Sunday) by 24 hours, each
// stretch filled with the colour of the show that wins it. Stretches of the default show are
// hatched; where there is no default the signs keep what they have, drawn white and hatched
// grey. A legend under the days names each show by its colour; a red line marks now.
class WeekChart : public QWidget
{
    Q_OBJECT

public:
    // One stretch of one day as drawn.
    struct Cell
    {
        int day = 0; // 0 Monday .. 6 Sunday
        int fromMinute = 0;
        int toMinute = 0;
        int entry = Schedule::kDefault; // index into the schedule's entries, or kDefault
        QString show; // as written in the schedule; "" where nothing is in force
        QColor colour;
        // Later entries that also cover part of the stretch and lose to `entry`, in order;
        // such a stretch is marked in its corner and its tooltip names them.
        QList<int> overlapped;
        QStringList overlappedNames; // "Entry3 lunch.vshow" for each
    };
    struct LegendItem
    {
        QString show; // "" for "no show"
        QColor colour;
        bool isDefault = false;
        bool overlapMark = false; // explains the corner that marks overlaps
    };

    explicit WeekChart(QWidget *parent = nullptr);

    // Draws the week of `schedule` that holds `anyDay`, with texts in `language`.
    void setSchedule(const Schedule &schedule, const QDate &anyDay, const QString &language);
    // Where the line for now is drawn; nothing when it lies outside the week.
    void setNow(const QDateTime &now);

    QList<Cell> cells() const { return m_cells; }
    QList<LegendItem> legend() const { return m_legend; }
    QDate monday() const { return m_monday; }

    // A colour for each of `shows`, light enough for black text. A show keeps its colour from
    // run to run and on every machine: its name picks a place in a palette, or, when a show
    // earlier in name order has that place, the next free one. Letter case is ignored.
    static QHash<QString, QColor> showColours(const QStringList &shows);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF gridRect() const;
    QRectF cellRect(const Cell &cell) const;
    int legendHeight(int width) const;
    QString legendText(const LegendItem &item) const;

    QList<Cell> m_cells;
    QList<LegendItem> m_legend;
    QDate m_monday;
    QDateTime m_now;
    QString m_language;
};
