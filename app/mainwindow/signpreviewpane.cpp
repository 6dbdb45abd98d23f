#include "signpreviewpane.h"

#include "pagedocument.h"
#include "pagefields.h"
#include "pagegeometry.h"
#include "pagerenderer.h"
#include "signpreview.h"

#include "basesettings.h"
#include "localtext.h"

#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {
constexpr int kModuleLeds = 16; // LEDs along a module's side
} // namespace

SignPreviewPane::SignPreviewPane(QWidget *parent)
    : QWidget(parent)
    , m_view(new SignPreview(this))
    , m_play(new QPushButton(QStringLiteral("Play"), this))
    , m_stop(new QPushButton(QStringLiteral("Stop"), this))
    , m_playing(new QLabel(this))
    , m_settle(new QTimer(this))
{
    m_play->setObjectName(QStringLiteral("CmdPlay"));
    m_stop->setObjectName(QStringLiteral("CmdStop"));
    m_playing->setObjectName(QStringLiteral("LblPlaying"));
    m_playing->setProperty("languageText", false); // the player writes it
    m_play->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    m_stop->setEnabled(false);
    setObjectName(QStringLiteral("SignPreviewPane"));
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &SignPreviewPane::updateNow);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_view, 1);
    auto *controls = new QHBoxLayout;
    controls->addWidget(m_play);
    controls->addWidget(m_stop);
    controls->addWidget(m_playing, 1);
    layout->addLayout(controls);
}

SignPreviewPane *SignPreviewPane::install(QMainWindow *window)
{
    auto *pane = new SignPreviewPane;
    auto *dock = new QDockWidget(window);
    dock->setObjectName(QStringLiteral("SignPreview"));
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    dock->setWidget(pane);
    // A strip across the top, shaped like the sign itself.
    window->addDockWidget(Qt::TopDockWidgetArea, dock);
    connect(pane, &SignPreviewPane::captionChanged, dock,
        [pane] { pane->titleDock(baseSettings().Language); });
    pane->titleDock(baseSettings().Language);
    return pane;
}

QDockWidget *SignPreviewPane::dock() const
{
    return qobject_cast<QDockWidget *>(parentWidget());
}

void SignPreviewPane::showTexts(const QString &language)
{
    updateNow();
    titleDock(language);
}

void SignPreviewPane::titleDock(const QString &language)
{
    QDockWidget *shownIn = dock();
    if (!shownIn)
        return;
    const QString title
        = localText(language, QStringLiteral("Sign Preview"), QStringLiteral("显示屏预览"));
    shownIn->setWindowTitle(
        m_caption.isEmpty() ? title : title + QStringLiteral(" — ") + m_caption);
}

void SignPreviewPane::setDocument(QTextDocument *document)
{
    if (m_document == document)
        return;
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    if (m_document)
        connect(
            m_document, &QTextDocument::contentsChanged, this, &SignPreviewPane::scheduleUpdate);
    scheduleUpdate();
}

void SignPreviewPane::setPageSize(int textWidth, int textHeight, int perPixel)
{
    if (textWidth == m_textWidth && textHeight == m_textHeight && perPixel == m_perPixel)
        return;
    m_textWidth = textWidth;
    m_textHeight = textHeight;
    m_perPixel = perPixel;
    scheduleUpdate();
}

void SignPreviewPane::setSignSize(int screenWidth, int screenHeight)
{
    if (screenWidth == m_screenWidth && screenHeight == m_screenHeight)
        return;
    m_screenWidth = screenWidth;
    m_screenHeight = screenHeight;
    scheduleUpdate();
}

void SignPreviewPane::setFieldContext(std::function<Fields::FieldContext()> context)
{
    m_fieldContext = std::move(context);
    scheduleUpdate();
}

void SignPreviewPane::setShowValues(bool show)
{
    if (show == m_showValues)
        return;
    m_showValues = show;
    scheduleUpdate();
}

void SignPreviewPane::setPlaying(bool playing)
{
    if (playing == m_isPlaying)
        return;
    m_isPlaying = playing;
    m_play->setEnabled(!playing);
    m_stop->setEnabled(playing);
    if (!playing) {
        m_playing->clear();
        updateNow();
    }
}

void SignPreviewPane::scheduleUpdate()
{
    m_settle->start();
}

void SignPreviewPane::updateNow()
{
    m_settle->stop();
    if (m_isPlaying)
        return;
    const QString language = baseSettings().Language;
    if (!m_document) {
        m_view->setNote(QString());
        setCaption(QString());
        return;
    }
    const std::optional<QSize> canvas = Page::canvasSize(m_perPixel, m_textWidth, m_textHeight);
    if (!canvas) {
        m_view->setNote(localText(language, QStringLiteral("A page of this size cannot be shown."),
            QStringLiteral("无法显示此尺寸的页面。")));
        setCaption(QString());
        return;
    }
    // A copy is laid out at the page's size, so the page window's own layout is not disturbed.
    const std::unique_ptr<QTextDocument> copy(m_document->clone());
    Page::setUpDocument(copy.get());
    const QImage drawn = m_showValues && m_fieldContext
        ? Page::renderFilledCanvas(copy.get(), *canvas, m_fieldContext())
        : Page::renderCanvas(copy.get(), *canvas);
    const Page::SignImage sign = Page::signImage(drawn, m_textWidth, m_textHeight);
    if (!sign.packet.ok || sign.image.isNull()) {
        m_view->setNote(sign.packet.refusal.message(language));
        setCaption(QString());
        return;
    }
    m_view->setLeds(sign.image);
    setCaption(localText(language, QStringLiteral("%1 x %2 modules, %3 x %4 LEDs"),
        QStringLiteral("%1 x %2 模块，%3 x %4 个 LED"))
                   .arg(m_screenWidth)
                   .arg(m_screenHeight)
                   .arg(m_screenWidth * kModuleLeds)
                   .arg(m_screenHeight * kModuleLeds));
}

void SignPreviewPane::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}
