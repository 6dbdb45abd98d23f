#include "weekchart.h"

#include "localtext.h"
#include "wallclock.h"
#include "weektable.h"

#include <QFileInfo>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <iterator>

namespace {

constexpr int kAxisWidth = 44; // pixels left of the days for the hours
constexpr int kHeaderHeight = 36; // pixels above the days for their names and dates
constexpr int kMargin = 6;
constexpr int kSwatch = 14; // a legend swatch's side
constexpr int kLegendGap = 18; // pixels between legend items
constexpr int kOverlapMark = 9; // the side of the corner marking an overlap
constexpr int kHourLabelStep = 2; // hours between labels on the axis
// Light colours far apart from one another, none grey (grey is for "no show").
const QRgb kPalette[] = { 0x8dd3c7, 0xfb8072, 0x80b1d3, 0xfdb462, 0xb3de69, 0xfccde5, 0xbc80bd,
    0xffed6f, 0xbebada, 0xe5c494, 0xccebc5 };

const char *const kEnglishDays[] = { "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun" };
const char *const kChineseDays[] = { "周一", "周二", "周三", "周四", "周五", "周六", "周日" };

// A dark corner: a later entry also wants this stretch and loses to this one.
void drawOverlapMark(QPainter &p, const QRectF &r)
{
    const qreal side = qMin<qreal>(kOverlapMark, qMin(r.width(), r.height()));
    QPolygonF corner;
    corner << r.topRight() << r.topRight() - QPointF(side, 0) << r.topRight() + QPointF(0, side);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    p.drawPolygon(corner);
    p.restore();
}

// FNV-1a over the name's UTF-16 units: qHash is seeded per process.
quint32 nameHash(const QString &text)
{
    quint32 hash = 2166136261u;
    for (const QChar c : text) {
        hash ^= c.unicode();
        hash *= 16777619u;
    }
    return hash;
}

} // namespace

WeekChart::WeekChart(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("WeekChart"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

QHash<QString, QColor> WeekChart::showColours(const QStringList &shows)
{
    QStringList names;
    for (const QString &show : shows) {
        if (!show.isEmpty() && !names.contains(show.toLower()))
            names.append(show.toLower());
    }
    names.sort();
    QList<bool> taken(int(std::size(kPalette)), false);
    QHash<QString, QColor> byName;
    for (const QString &name : names) {
        int slot = int(nameHash(name) % taken.size());
        // Past the palette's size colours repeat; the legend still tells them apart.
        for (int tries = 0; taken.at(slot) && tries < taken.size(); ++tries)
            slot = (slot + 1) % taken.size();
        taken[slot] = true;
        byName.insert(name, QColor(kPalette[slot]));
    }
    QHash<QString, QColor> colours;
    for (const QString &show : shows)
        colours.insert(show, show.isEmpty() ? QColor(Qt::white) : byName.value(show.toLower()));
    return colours;
}

void WeekChart::setSchedule(const Schedule &schedule, const QDate &anyDay, const QString &language)
{
    m_language = language;
    m_cells.clear();
    m_legend.clear();
    const QList<WeekDay> week = weekTable(schedule, anyDay);
    m_monday = week.isEmpty() ? QDate() : week.first().date;
    QStringList shows { schedule.defaultShow };
    for (const ScheduleEntry &entry : schedule.entries)
        shows.append(entry.show);
    const QHash<QString, QColor> colours = showColours(shows);
    const QList<int> boundaries = schedule.boundaryMinutes();
    QList<bool> entryShown(schedule.entries.size(), false);
    bool defaultShown = false;
    for (int d = 0; d < week.size(); ++d) {
        for (const WeekSpan &span : week.at(d).spans) {
            const QString show = schedule.showOf(span.entry);
            Cell cell { d, span.fromMinute, span.toMinute, span.entry, show,
                colours.value(show, Qt::white), {}, {} };
            // Entries are constant between boundaries, so their starts are enough to look at.
            for (const int minute : boundaries) {
                if (span.entry == Schedule::kDefault || minute < span.fromMinute
                    || minute >= span.toMinute)
                    continue;
                for (int j = span.entry + 1; j < schedule.entries.size(); ++j) {
                    if (!cell.overlapped.contains(j)
                        && schedule.entries.at(j).coversWall({ week.at(d).date, minute * 60 })) {
                        cell.overlapped.append(j);
                        cell.overlappedNames.append(
                            schedule.entryName(j) + QLatin1Char(' ') + schedule.showOf(j));
                    }
                }
            }
            m_cells.append(cell);
            if (span.entry == Schedule::kDefault)
                defaultShown = true;
            else
                entryShown[span.entry] = true;
        }
    }
    // In the table's order, so the legend reads like the entries.
    QStringList listed;
    for (int i = 0; i < schedule.entries.size(); ++i) {
        const QString &show = schedule.entries.at(i).show;
        if (!entryShown.at(i) || listed.contains(show))
            continue;
        listed.append(show);
        m_legend.append({ show, colours.value(show), show == schedule.defaultShow });
    }
    const bool overlaps = std::any_of(
        m_cells.cbegin(), m_cells.cend(), [](const Cell &c) { return !c.overlapped.isEmpty(); });
    if (defaultShown && !listed.contains(schedule.defaultShow))
        m_legend.append(
            { schedule.defaultShow, colours.value(schedule.defaultShow, Qt::white), true });
    if (overlaps)
        m_legend.append({ QString(), QColor(Qt::white), false, true });
    updateGeometry();
    update();
}

void WeekChart::setNow(const QDateTime &now)
{
    m_now = now;
    update();
}

QSize WeekChart::sizeHint() const
{
    return { 720, 520 };
}

QSize WeekChart::minimumSizeHint() const
{
    return { kAxisWidth + 7 * 40, kHeaderHeight + 24 * 10 + legendHeight(kAxisWidth + 280) };
}

QString WeekChart::legendText(const LegendItem &item) const
{
    if (item.overlapMark) {
        return localText(m_language, QStringLiteral("a later entry loses here"),
            QStringLiteral("后面的条目在此让位"));
    }
    if (item.show.isEmpty()) {
        return localText(m_language,
            QStringLiteral("Default: no show, the signs keep what they have"),
            QStringLiteral("默认：无节目，显示屏保持原有内容"));
    }
    if (!item.isDefault)
        return item.show;
    return item.show
        + localText(m_language, QStringLiteral(" (default)"), QStringLiteral("（默认）"));
}

int WeekChart::legendHeight(int width) const
{
    const QFontMetrics metrics = fontMetrics();
    const int line = qMax(kSwatch, metrics.height()) + 4;
    int lines = 1;
    int x = kMargin;
    for (const LegendItem &item : m_legend) {
        const int itemWidth = kSwatch + 6 + metrics.horizontalAdvance(legendText(item));
        if (x > kMargin && x + itemWidth > width - kMargin) {
            ++lines;
            x = kMargin;
        }
        x += itemWidth + kLegendGap;
    }
    return lines * line + kMargin * 2;
}

QRectF WeekChart::gridRect() const
{
    const int legendTop = height() - legendHeight(width());
    return QRectF(kAxisWidth, kHeaderHeight, width() - kAxisWidth - kMargin,
        legendTop - kHeaderHeight - kMargin);
}

QRectF WeekChart::cellRect(const Cell &cell) const
{
    const QRectF grid = gridRect();
    const qreal dayWidth = grid.width() / 7;
    const qreal perMinute = grid.height() / (24 * 60);
    return QRectF(grid.left() + cell.day * dayWidth, grid.top() + cell.fromMinute * perMinute,
        dayWidth, (cell.toMinute - cell.fromMinute) * perMinute);
}

bool WeekChart::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto *help = static_cast<QHelpEvent *>(event);
    for (const Cell &cell : m_cells) {
        if (!cellRect(cell).contains(help->pos()))
            continue;
        const QString what = cell.entry == Schedule::kDefault
            ? localText(m_language, QStringLiteral("Default"), QStringLiteral("默认"))
            : QStringLiteral("Entry%1").arg(cell.entry + 1);
        QString text
            = QStringLiteral("%1 %2-%3  %4 %5")
                  .arg(m_monday.addDays(cell.day).toString(Qt::ISODate),
                      WallClock::minuteText(cell.fromMinute), WallClock::minuteText(cell.toMinute),
                      what, cell.show.isEmpty() ? legendText({}) : cell.show);
        if (!cell.overlapped.isEmpty()) {
            text += QLatin1Char('\n')
                + localText(m_language, QStringLiteral("Also covered, and losing to it: %1"),
                    QStringLiteral("同样覆盖此时段但让位于它：%1"))
                      .arg(cell.overlappedNames.join(QStringLiteral(", ")));
        }
        QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void WeekChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics metrics = fontMetrics();
    const int legendTop = height() - legendHeight(width());
    const QRectF grid = gridRect();
    const qreal dayWidth = grid.width() / 7;
    const qreal perMinute = grid.height() / (24 * 60);
    const QColor lineColour = palette().color(QPalette::Mid);
    const QColor textColour = palette().color(QPalette::Text);

    for (const Cell &cell : m_cells) {
        const QRectF r = cellRect(cell);
        p.fillRect(r, cell.colour);
        if (cell.entry == Schedule::kDefault) {
            // Hatched: the default, so the entries stand out from it.
            p.fillRect(r,
                QBrush(cell.show.isEmpty() ? QColor(200, 200, 200) : cell.colour.darker(125),
                    Qt::BDiagPattern));
        }
        p.setPen(QPen(lineColour, 0));
        p.drawRect(r);
        if (r.height() >= metrics.height() + 2 && !cell.show.isEmpty()) {
            p.setPen(Qt::black);
            const QString label = metrics.elidedText(
                QFileInfo(cell.show).completeBaseName(), Qt::ElideRight, int(r.width()) - 6);
            p.drawText(r.adjusted(3, 1, -3, -1), Qt::AlignLeft | Qt::AlignTop, label);
        }
        if (!cell.overlapped.isEmpty())
            drawOverlapMark(p, r);
    }

    // Hours down the left, days across the top.
    p.setPen(textColour);
    for (int hour = 0; hour <= 24; hour += kHourLabelStep) {
        const qreal y = grid.top() + hour * 60 * perMinute;
        p.setPen(QPen(lineColour, 0, Qt::DotLine));
        p.drawLine(QPointF(grid.left(), y), QPointF(grid.right(), y));
        p.setPen(textColour);
        p.drawText(QRectF(0, y - metrics.height() / 2.0, kAxisWidth - 4, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter,
            QStringLiteral("%1:00").arg(hour, 2, 10, QChar('0')));
    }
    const bool chinese = m_language == chineseLanguageName();
    for (int d = 0; d < 7; ++d) {
        const QRectF head(grid.left() + d * dayWidth, 0, dayWidth, kHeaderHeight);
        const QString name = QString::fromUtf8(chinese ? kChineseDays[d] : kEnglishDays[d]);
        const QString date = m_monday.isValid()
            ? m_monday.addDays(d).toString(QStringLiteral("MM-dd"))
            : QString();
        QFont bold = font();
        bold.setBold(m_monday.addDays(d) == m_now.date());
        p.setFont(bold);
        p.drawText(head, Qt::AlignCenter, name + QLatin1Char('\n') + date);
        p.setFont(font());
    }
    p.setPen(QPen(lineColour, 0));
    p.drawRect(grid);

    if (m_now.isValid() && m_monday.isValid()) {
        const qint64 day = m_monday.daysTo(m_now.date());
        if (day >= 0 && day < 7) {
            const QTime t = m_now.time();
            const qreal y = grid.top() + (t.hour() * 60 + t.minute()) * perMinute;
            p.setPen(QPen(Qt::red, 2));
            p.drawLine(QPointF(grid.left() + day * dayWidth, y),
                QPointF(grid.left() + (day + 1) * dayWidth, y));
        }
    }

    // The legend: a swatch and a name per show, wrapped to the width.
    const int line = qMax(kSwatch, metrics.height()) + 4;
    int x = kMargin;
    int y = legendTop + kMargin;
    for (const LegendItem &item : m_legend) {
        const QString text = legendText(item);
        const int itemWidth = kSwatch + 6 + metrics.horizontalAdvance(text);
        if (x > kMargin && x + itemWidth > width() - kMargin) {
            x = kMargin;
            y += line;
        }
        const QRect swatch(x, y + (line - kSwatch) / 2, kSwatch, kSwatch);
        p.fillRect(swatch, item.colour);
        if (item.isDefault) {
            p.fillRect(swatch,
                QBrush(item.show.isEmpty() ? QColor(200, 200, 200) : item.colour.darker(125),
                    Qt::BDiagPattern));
        }
        if (item.overlapMark)
            drawOverlapMark(p, swatch);
        p.setPen(QPen(lineColour, 0));
        p.drawRect(swatch);
        p.setPen(textColour);
        p.drawText(
            QRect(x + kSwatch + 6, y, itemWidth, line), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += itemWidth + kLegendGap;
    }
}
