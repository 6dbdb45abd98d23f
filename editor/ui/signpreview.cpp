#include "signpreview.h"

#include <QPainter>

#include <vector>

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
    m_face = QImage();
    updateGeometry();
    update();
}

void SignPreview::setNote(const QString &note)
{
    m_note = note;
    m_leds = QImage();
    m_face = QImage();
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

QImage SignPreview::face(const QImage &leds, int pitch)
{
    if (leds.isNull() || pitch < 1)
        return {};
    // Which pixels of an LED's cell its dot covers.
    const bool round = pitch >= 4;
    const double dot = round ? pitch - qMax(1.0, pitch / 5.0) : pitch - 1;
    const double centre = pitch / 2.0;
    std::vector<uchar> mask(size_t(pitch * pitch));
    for (int y = 0; y < pitch; ++y) {
        for (int x = 0; x < pitch; ++x) {
            const double dx = x + 0.5 - centre;
            const double dy = y + 0.5 - centre;
            mask[size_t(y * pitch + x)] = round
                ? dx * dx + dy * dy <= dot * dot / 4
                : qAbs(dx) <= dot / 2 && qAbs(dy) <= dot / 2;
        }
    }
    const QImage source = leds.format() == QImage::Format_RGB32
        ? leds
        : leds.convertToFormat(QImage::Format_RGB32);
    QImage image(source.size() * pitch, QImage::Format_RGB32);
    const QRgb face = kFace.rgb();
    const QRgb unlit = kUnlit.rgb();
    for (int y = 0; y < source.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int sy = 0; sy < pitch; ++sy) {
            auto *out = reinterpret_cast<QRgb *>(image.scanLine(y * pitch + sy));
            const auto maskRow = mask.cbegin() + sy * pitch;
            for (int x = 0; x < source.width(); ++x) {
                const QRgb c = line[x] & 0xFFFFFF;
                const QRgb lit = c == 0 ? unlit : (0xFF000000 | c);
                for (int sx = 0; sx < pitch; ++sx)
                    *out++ = maskRow[sx] ? lit : face;
            }
        }
    }
    return image;
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
    if (m_face.isNull() || m_facePitch != pitch) {
        m_face = face(m_leds, pitch);
        m_facePitch = pitch;
    }
    painter.drawImage(origin, m_face);
}
