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

} // namespace

MainStatusBar::MainStatusBar(QWidget *parent)
    : QStatusBar(parent)
    , m_name(panel(QStringLiteral("Vantrel V2.0"), "LblName", 1935, this))
    , m_tranceStyle(panel(QStringLiteral("TranceStyle:"), "LblTranceStyle", 2535, this))
    , m_progress(new QProgressBar(this))
    , m_progressValue(panel(QStringLiteral("0%"), "LblProgressValue", 735, this))
    , m_note(new QLabel(this))
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

    addWidget(m_name);
    addWidget(m_tranceStyle);
    addWidget(m_progress);
    addWidget(m_progressValue);
    addWidget(m_note, 1);

    m_noteTimer->setSingleShot(true);
    m_noteTimer->setInterval(kNoteMs);
    connect(m_noteTimer, &QTimer::timeout, this, [this] {
        m_note->clear();
        m_note->setToolTip(QString());
    });
}

void MainStatusBar::setTranceStyle(qint16 kind)
{
    m_tranceStyle->setText(QStringLiteral("TranceStyle:") + TranceStyleName(kind));
}

void MainStatusBar::showNote(const QString &text)
{
    // One line in the bar; the whole text in the tooltip.
    m_note->setText(text.section(QLatin1Char('\n'), 0, 0));
    m_note->setToolTip(text);
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
