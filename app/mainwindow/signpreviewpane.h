#pragma once

#include "fieldresolver.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QDockWidget;
class QLabel;
class QMainWindow;
class QPushButton;
class QTextDocument;
class QTimer;
class SignPreview;

// The sign preview: a page rendered for the sign and decoded back into LEDs, the rightmost
// module column dark as the sign shows it, redrawn shortly after each change of the page.
class SignPreviewPane : public QWidget
{
    Q_OBJECT

public:
    // Changes that come quicker than this are drawn together.
    static constexpr int kSettleMs = 100;

    explicit SignPreviewPane(QWidget *parent = nullptr);

    // Puts a pane in a dock across the top of `window`, titled "Sign Preview" with the sign's
    // window named after it.
    static SignPreviewPane *install(QMainWindow *window);
    // The dock the pane is in, or null.
    QDockWidget *dock() const;
    // The dock's title and the page's notes in `language`.
    void showTexts(const QString &language);

    // The page shown; null shows nothing.
    void setDocument(QTextDocument *document);
    // The page size in modules, and the canvas units per module.
    void setPageSize(int textWidth, int textHeight, int perPixel);
    // Fields shown with their values from `context` (as they are sent), or as typed.
    void setFieldContext(std::function<Fields::FieldContext()> context);
    void setShowValues(bool show);
    // The sign's window in modules, which the caption names.
    void setSignSize(int screenWidth, int screenHeight);

    SignPreview *view() const { return m_view; }
    // Play and Stop of the show, and the label naming the row and effect while it plays.
    QPushButton *CmdPlay() const { return m_play; }
    QPushButton *CmdStop() const { return m_stop; }
    QLabel *LblPlaying() const { return m_playing; }
    // While a show plays, the page's own changes do not redraw the view; when it stops the
    // still page comes back.
    void setPlaying(bool playing);
    bool isPlaying() const { return m_isPlaying; }
    // The sign's window: "8 x 1 modules, 128 x 16 LEDs", or "" when nothing is shown.
    QString caption() const { return m_caption; }

signals:
    void captionChanged(const QString &caption);

public slots:
    // Draws the page now.
    void updateNow();
    // Draws the page soon: its values changed.
    void scheduleUpdate();

private:
    void setCaption(const QString &caption);
    void titleDock(const QString &language);

    SignPreview *m_view;
    QPushButton *m_play;
    QPushButton *m_stop;
    QLabel *m_playing;
    bool m_isPlaying = false;
    QString m_caption;
    QTimer *m_settle;
    QPointer<QTextDocument> m_document;
    int m_textWidth = 0;
    int m_textHeight = 0;
    int m_perPixel = 16;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    std::function<Fields::FieldContext()> m_fieldContext;
    bool m_showValues = false;
};
