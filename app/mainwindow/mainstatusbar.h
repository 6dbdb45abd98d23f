#pragma once

#include "progresssink.h"

#include <QStatusBar>

class QLabel;
class QProgressBar;
class QTimer;

// The status bar PicStatusBar: the program name LblName, the link kind LblTranceStyle, the
// picture job's progress ProgressBar1 with its percentage LblProgressValue, and room for a
// short note on what just happened.
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

    // ProgressSink
    void setMaximum(int maximum) override;
    void setValue(int value) override;
    void setLabelText(const QString &text) override;

private:
    QLabel *m_name;
    QLabel *m_tranceStyle;
    QProgressBar *m_progress;
    QLabel *m_progressValue;
    QLabel *m_note;
    QTimer *m_noteTimer;
};
