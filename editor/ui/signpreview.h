#pragma once

#include <QImage>
#include <QWidget>

// Shows a page as the sign shows it: one dot per LED, lit red, green or yellow, unlit ones
// dim, on a dark face. The dots grow by whole multiples as the widget grows, so every LED
// keeps the same size.
class SignPreview : public QWidget
{
    Q_OBJECT

public:
    explicit SignPreview(QWidget *parent = nullptr);

    // One pixel per LED: black is unlit, any other colour lit in that colour.
    void setLeds(const QImage &leds);
    QImage leds() const { return m_leds; }
    // A sentence shown instead of the LEDs (the page cannot be shown at this size).
    void setNote(const QString &note);
    QString note() const { return m_note; }

    // Pixels per LED at the current size: 0 when the LEDs are shrunk to fit.
    int ledPitch() const;

    // The face at `pitch` pixels per LED: each LED a dot of its colour (unlit ones dim) on the
    // dark face, round from 4 pixels up. Written straight into memory, so a sign of 34 x 15
    // modules can be redrawn 50 times a second at little cost.
    static QImage face(const QImage &leds, int pitch);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_leds;
    QString m_note;
    QImage m_face; // face(m_leds, m_facePitch), kept until the LEDs or the pitch change
    int m_facePitch = 0;
};
