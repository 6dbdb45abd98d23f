#include "mainstatusbar.h"

#include "messages.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

constexpr int kTwipsPerPixel = 15;

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
    QSize minimumSizeHint() const override { return { 0, QLabel::minimumSizeHint().height() }; }

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

} // namespace

MainStatusBar::MainStatusBar(QWidget *parent)
    : QStatusBar(parent)
    , m_name(panel(QStringLiteral("Vantrel V2.0"), "LblName", 1935, this))
    , m_tranceStyle(panel(QStringLiteral("TranceStyle:"), "LblTranceStyle", 2535, this))
    , m_progress(new QProgressBar(this))
    , m_progressValue(panel(QStringLiteral("0%"), "LblProgressValue", 735, this))
    , m_note(new NoteLabel(this))
    , m_noteTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("PicStatusBar"));
    setSizeGripEnabled(true);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setFixedWidth(6015 / kTwipsPerPixel);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progressValue->setAlignment(Qt::AlignCenter);
    m_note->setObjectName(QStringLiteral("StatusNote"));
    // The note is the program's own text: a language switch must not overwrite it.
    m_note->setProperty("languageText", false);
    m_note->setContentsMargins(6, 0, 4, 0);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    addWidget(m_name);
    addWidget(m_tranceStyle);
    addWidget(m_progress);
    addWidget(m_progressValue);
    addWidget(m_note, 1);

    m_noteTimer->setSingleShot(true);
    m_noteTimer->setInterval(kNoteMs);
    connect(m_noteTimer, &QTimer::timeout, this,
        [this] { static_cast<NoteLabel *>(m_note)->setNote(QString()); });
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
