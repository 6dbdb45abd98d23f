#pragma once

#include "progresssink.h"

#include <QStatusBar>

class QComboBox;
class QLabel;
class QProgressBar;
class QTimer;

// The status bar PicStatusBar: the program name LblName, the link kind LblTranceStyle, the
// picture job's progress ProgressBar1 with its percentage LblProgressValue, and room for a
// short note on what just happened; at the right, the zoom box CboZoom of the active page
// window and the picture conversion box CboPictures.
class MainStatusBar : public QStatusBar, public ProgressSink
{
    Q_OBJECT

public:
    // How long a note stays.
    static constexpr int kNoteMs = 15000;

    explicit MainStatusBar(QWidget *parent = nullptr);

    // "TranceStyle:" followed by the link kind's name ("TCP/IP", ..., "None").
    void setTranceStyle(qint16 kind);

    // A note the operator may read but need not answer.
    void showNote(const QString &text);
    QString note() const;

    QLabel *LblName() const { return m_name; }
    QLabel *LblTranceStyle() const { return m_tranceStyle; }
    QProgressBar *ProgressBar1() const { return m_progress; }
    QLabel *LblProgressValue() const { return m_progressValue; }
    QComboBox *CboZoom() const { return m_zoom; }
    QComboBox *CboPictures() const { return m_pictures; }

    // The zoom box's entries: index 0 is Fit, index n is n x 100%.
    void showZoom(int zoom);
    // The picture box's entries: 0 Threshold, 1 Dither.
    void showPictureDither(bool dither);
    // The texts of the two boxes in `language`.
    void showTexts(const QString &language);

    // ProgressSink
    void setMaximum(int maximum) override;
    void setValue(int value) override;
    void setLabelText(const QString &text) override;

signals:
    // The operator picked a zoom (0 Fit, else the factor) or a picture conversion.
    void zoomPicked(int zoom);
    void picturesPicked(bool dither);

private:
    void addZoomAndPictureBoxes();

    QLabel *m_name;
    QLabel *m_tranceStyle;
    QProgressBar *m_progress;
    QLabel *m_progressValue;
    QLabel *m_note;
    QTimer *m_noteTimer;
    QComboBox *m_zoom;
    QComboBox *m_pictures;
};
