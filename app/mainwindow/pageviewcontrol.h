#pragma once

#include "ledpicture.h"
#include "pagefiles.h"

#include <QObject>
#include <QPointer>
#include <QSize>

#include <functional>

class MainStatusBar;
class QMdiArea;
class QMdiSubWindow;
class frmDocument;

// The view and picture choices of the page windows: the status bar's zoom box follows the
// active page window and zooms it; every page window starts at the last zoom chosen; the
// picture box sets how pasted, dropped, inserted and loaded pictures become LED colours. Both
// choices are kept in BaseSet.ini ("EditorSet") as soon as they are made.
class PageViewControl : public QObject
{
    Q_OBJECT

public:
    // `note` shows a line in the status bar; `language` gives the interface language.
    PageViewControl(QMdiArea *area, MainStatusBar *bar, std::function<void(const QString &)> note,
                    std::function<QString()> language, QObject *parent = nullptr);

    // Reads the remembered choices from `iniPath` into editorSettings() and shows them.
    void loadSettings(const QString &iniPath);

    // A new page window: it starts at the remembered zoom and picture mode and is followed.
    void adopt(frmDocument *page);

    // A good first size for the page window `sub` of `page`: its canvas at the zoom it starts
    // at, within the document area. Windows sized before the area had its size are sized again
    // once it has.
    QSize firstWindowSize(QMdiSubWindow *sub, frmDocument *page);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showActive();
    void zoomPicked(int zoom);
    void picturesPicked(bool dither);
    void remember(int zoom);
    QSize documentArea() const;

    QMdiArea *m_area;
    MainStatusBar *m_bar;
    std::function<void(const QString &)> m_note;
    std::function<QString()> m_language;
    QString m_iniPath;
    bool m_areaKnown = false;
    QList<QPointer<QMdiSubWindow>> m_sizedEarly;
};

// The picture conversion the operator chose, as every placing of a picture uses it.
Page::PictureMode rememberedPictureMode();
