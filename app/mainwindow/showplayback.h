#pragma once

#include "showplayer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <chrono>

class ControlRowSource;
class QTimer;
class SignPreviewPane;

// Plays the program list in the sign preview: from the current row on, in row order, looping,
// each row with its entry effect, hold and exit as the effect timeline gives them, in the
// sign's window. While it plays the preview's label names the row and the effect; Stop
// returns the preview to the still page.
class ShowPlayback : public QObject
{
    Q_OBJECT

public:
    // 50 frames a second.
    static constexpr std::chrono::milliseconds kFrameInterval { 20 };

    // What the preview needs of the settings.
    struct Sign
    {
        int screenWidth = 0; // modules
        int screenHeight = 0;
        int perPixel = 16;
        QString pageFolder; // the list's File Path texts are relative to it
        QString language;
    };

    explicit ShowPlayback(SignPreviewPane *pane, QObject *parent = nullptr);

    // Plays the rows of `list` as they are now, starting with 1-based row `startRow`
    // (row 1 when it names no row). An empty list plays nothing.
    void play(const ControlRowSource &list, int startRow, const Sign &sign);
    void stop();
    bool isPlaying() const;

    // The label's text for a frame: "Row 2 of 5: entry zoomup (speed 3), welcome.rtf".
    static QString describe(const ShowPlayer::Frame &frame, const QString &fileName,
        const RowEffects *effects, const QString &language);

    // Shows the frame `ms` into the playback now (the timer calls this).
    void showAt(qint64 ms);

signals:
    void playingChanged(bool playing);

private:
    void tick();

    SignPreviewPane *m_pane;
    QTimer *m_timer;
    QElapsedTimer m_clock;
    ShowPlayer m_player;
    QStringList m_fileNames; // by row, for the label
    qint64 m_startMs = 0;
    QString m_language;
    QString m_lastKey; // the frame shown last: unchanged frames are not drawn again
};
