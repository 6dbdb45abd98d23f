#include "signpreview.h"

#include <QPainter>

namespace {

constexpr int kMargin = 6;
constexpr int kPreferredPitch = 3;
const QColor kFace(16, 16, 16);
const QColor kUnlit(44, 44, 44);

} // namespace

SignPreview::SignPreview(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("SignPreviewView"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SignPreview::setLeds(const QImage &leds)
{
    m_leds = leds.convertToFormat(QImage::Format_RGB32);
    m_note.clear();
    updateGeometry();
    update();
}

void SignPreview::setNote(const QString &note)
{
    m_note = note;
    m_leds = QImage();
    update();
}

int SignPreview::ledPitch() const
{
    if (m_leds.isNull())
        return 0;
    const int byWidth = (width() - 2 * kMargin) / m_leds.width();
    const int byHeight = (height() - 2 * kMargin) / m_leds.height();
    return qMax(0, qMin(byWidth, byHeight));
}

QSize SignPreview::sizeHint() const
{
    if (m_leds.isNull())
        return { 320, 80 };
    const QSize preferred = m_leds.size() * kPreferredPitch + QSize(2 * kMargin, 2 * kMargin);
    return preferred.boundedTo(QSize(900, 300)).expandedTo(QSize(160, 48));
}

QSize SignPreview::minimumSizeHint() const
{
    return { 120, 40 };
}

void SignPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kFace);
    if (m_leds.isNull()) {
        painter.setPen(QColor(200, 200, 200));
        painter.drawText(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
            Qt::AlignCenter | Qt::TextWordWrap, m_note);
        return;
    }

    const int pitch = ledPitch();
    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (pitch < 2) {
        // Too many LEDs for the pane: the whole face, shrunk to fit.
        const QSize shown = m_leds.size().scaled(area.size(), Qt::KeepAspectRatio);
        const QRect target(area.center() - QPoint(shown.width() / 2, shown.height() / 2), shown);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, pitch == 0);
        painter.drawImage(target, m_leds);
        return;
    }

    const QSize shown = m_leds.size() * pitch;
    const QPoint origin = area.center() - QPoint(shown.width() / 2, shown.height() / 2);
    const bool round = pitch >= 4;
    const qreal dot = round ? pitch - qMax(1.0, pitch / 5.0) : pitch - 1;
    const qreal inset = (pitch - dot) / 2.0;
    painter.setRenderHint(QPainter::Antialiasing, round);
    painter.setPen(Qt::NoPen);
    for (int y = 0; y < m_leds.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(m_leds.constScanLine(y));
        for (int x = 0; x < m_leds.width(); ++x) {
            const QRgb c = line[x] & 0xFFFFFF;
            painter.setBrush(c == 0 ? kUnlit : QColor::fromRgb(c));
            const QRectF cell(
                origin.x() + x * pitch + inset, origin.y() + y * pitch + inset, dot, dot);
            if (round)
                painter.drawEllipse(cell);
            else
                painter.drawRect(cell);
        }
    }
}
