#include "mainstatusbar.h"

#include "localtext.h"
#include "messages.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMaxZoomFactor = 8;
constexpr int kNoteMinWidth = 120;
constexpr int kProgressMinWidth = 100;
constexpr int kProgressWidthTwips = 6015;

QLabel *panel(const QString &text, const char *name, int widthTwips, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setMinimumWidth(widthTwips / kTwipsPerPixel);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setContentsMargins(4, 0, 4, 0);
    return label;
}

// The note: one line that never asks the bar for more room than it has, so a long note
// cannot widen the window. It shows what fits, elided; the tooltip holds the whole text.
class NoteLabel : public QLabel
{
public:
    explicit NoteLabel(QWidget *parent)
        : QLabel(parent)
    { }

    void setNote(const QString &text)
    {
        m_note = text;
        setToolTip(text);
        showFitting();
    }

    QSize sizeHint() const override { return { 0, QLabel::sizeHint().height() }; }
    // Room for a short note even when the bar is crowded.
    QSize minimumSizeHint() const override
    {
        return { kNoteMinWidth, QLabel::minimumSizeHint().height() };
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        showFitting();
    }

private:
    void showFitting()
    {
        const QString line = m_note.section(QLatin1Char('\n'), 0, 0);
        setText(fontMetrics().elidedText(line, Qt::ElideRight, contentsRect().width()));
    }

    QString m_note;
};

// Up to its full width when the bar has room; it shares a crowded bar with the note.
class ProgressPanel : public QProgressBar
{
public:
    using QProgressBar::QProgressBar;
    QSize sizeHint() const override
    {
        return { kProgressWidthTwips / kTwipsPerPixel, QProgressBar::sizeHint().height() };
    }
};

} // namespace

MainStatusBar::MainStatusBar(QWidget *parent)
    : QStatusBar(parent)
    , m_name(panel(QStringLiteral("Vantrel V2.0"), "LblName", 1935, this))
    , m_tranceStyle(panel(QStringLiteral("TranceStyle:"), "LblTranceStyle", 2535, this))
    , m_progress(new ProgressPanel(this))
    , m_progressValue(panel(QStringLiteral("0%"), "LblProgressValue", 735, this))
    , m_note(new NoteLabel(this))
    , m_noteTimer(new QTimer(this))
    , m_zoom(new QComboBox(this))
    , m_pictures(new QComboBox(this))
{
    setObjectName(QStringLiteral("PicStatusBar"));
    setSizeGripEnabled(true);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    // Its full width when the window has room; it gives way before the note does.
    m_progress->setMinimumWidth(kProgressMinWidth);
    m_progress->setMaximumWidth(kProgressWidthTwips / kTwipsPerPixel);
    m_progress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progressValue->setAlignment(Qt::AlignCenter);
    m_note->setObjectName(QStringLiteral("StatusNote"));
    // The note is the program's own text: a language switch must not overwrite it.
    m_note->setProperty("languageText", false);
    m_note->setContentsMargins(6, 0, 4, 0);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    addWidget(m_name);
    addWidget(m_tranceStyle);
    addWidget(m_progress, 1);
    addWidget(m_progressValue);
    addWidget(m_note, 1);

    addZoomAndPictureBoxes();

    m_noteTimer->setSingleShot(true);
    m_noteTimer->setInterval(kNoteMs);
    connect(m_noteTimer, &QTimer::timeout, this,
        [this] { static_cast<NoteLabel *>(m_note)->setNote(QString()); });
}

void MainStatusBar::addZoomAndPictureBoxes()
{
    m_zoom->setObjectName(QStringLiteral("CboZoom"));
    m_zoom->addItem(QStringLiteral("Fit"));
    for (int factor = 1; factor <= kMaxZoomFactor; ++factor)
        m_zoom->addItem(QStringLiteral("%1%").arg(factor * 100));
    m_pictures->setObjectName(QStringLiteral("CboPictures"));
    m_pictures->addItems({ QStringLiteral("Threshold"), QStringLiteral("Dither") });
    for (QComboBox *box : { m_zoom, m_pictures }) {
        box->setFocusPolicy(Qt::NoFocus); // the caret stays on the page
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }
    auto *zoomLabel = new QLabel(QStringLiteral("Zoom:"), this);
    zoomLabel->setObjectName(QStringLiteral("LblZoom"));
    auto *picturesLabel = new QLabel(QStringLiteral("Pictures:"), this);
    picturesLabel->setObjectName(QStringLiteral("LblPictures"));
    addPermanentWidget(picturesLabel);
    addPermanentWidget(m_pictures);
    addPermanentWidget(zoomLabel);
    addPermanentWidget(m_zoom);
    connect(m_zoom, &QComboBox::activated, this, &MainStatusBar::zoomPicked);
    connect(m_pictures, &QComboBox::activated, this,
        [this](int index) { emit picturesPicked(index == 1); });
}

void MainStatusBar::showZoom(int zoom)
{
    m_zoom->setCurrentIndex(qBound(0, zoom, kMaxZoomFactor));
}

void MainStatusBar::showPictureDither(bool dither)
{
    m_pictures->setCurrentIndex(dither ? 1 : 0);
}

void MainStatusBar::showTexts(const QString &language)
{
    m_zoom->setItemText(0, localText(language, QStringLiteral("Fit"), QStringLiteral("适合窗口")));
    m_zoom->setToolTip(localText(language,
        QStringLiteral("Zoom of the active page window: Ctrl+wheel, Ctrl++ and Ctrl+- step, "
                       "Ctrl+0 fits. Only the view changes, not the page or the sign."),
        QStringLiteral("当前页面窗口的缩放：Ctrl+滚轮、Ctrl++ 和 Ctrl+- 逐级缩放，Ctrl+0 "
                       "适合窗口。只改变显示，不改变页面和显示屏。")));
    m_pictures->setItemText(
        0, localText(language, QStringLiteral("Threshold"), QStringLiteral("阈值")));
    m_pictures->setItemText(
        1, localText(language, QStringLiteral("Dither"), QStringLiteral("抖动")));
    m_pictures->setToolTip(localText(language,
        QStringLiteral("How pictures placed on a page become the sign's red, green and "
                       "yellow: Threshold for logos and lettering, Dither for photos. Picture "
                       "files are never changed."),
        QStringLiteral("放到页面上的图片如何转换为显示屏的红、绿、黄色：阈值适合标志和文字，"
                       "抖动适合照片。图片文件本身不会被修改。")));
}

void MainStatusBar::setTranceStyle(qint16 kind)
{
    m_tranceStyle->setText(QStringLiteral("TranceStyle:") + TranceStyleName(kind));
}

void MainStatusBar::showNote(const QString &text)
{
    static_cast<NoteLabel *>(m_note)->setNote(text);
    m_noteTimer->start();
}

QString MainStatusBar::note() const
{
    return m_note->toolTip();
}

void MainStatusBar::setMaximum(int maximum)
{
    m_progress->setMaximum(qMax(1, maximum));
}

void MainStatusBar::setValue(int value)
{
    m_progress->setValue(qBound(m_progress->minimum(), value, m_progress->maximum()));
}

void MainStatusBar::setLabelText(const QString &text)
{
    m_progressValue->setText(text);
}
