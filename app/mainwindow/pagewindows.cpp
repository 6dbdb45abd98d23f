#include "pagewindows.h"

#include "commandicons.h"
#include "pageviewcontrol.h"
#include "windowarrangement.h"

#include "frmdocument.h"
#include "pagecanvas.h"
#include "pagegeometry.h"

#include "basesettings.h"

#include <QMdiArea>
#include <QMdiSubWindow>

PageWindows::PageWindows(QMdiArea *area, PageViewControl *view, QObject *parent)
    : QObject(parent)
    , m_area(area)
    , m_view(view)
{ }

QSize PageWindows::screenCanvasSize() const
{
    const BaseSettings &s = baseSettings();
    return Page::canvasSize(s.PerPixel, s.ScreenWidth, s.ScreenHeight)
        .value_or(QSize(16 * 8 + 2, 16 + 2));
}

QMdiSubWindow *PageWindows::addPageWindow(frmDocument *page)
{
    const QString &language = baseSettings().Language;
    page->setObjectName(QStringLiteral("frmDocument"));
    page->setWindowTitle(frmDocument::untitledCaption(language));
    page->rtfText()->setLanguage(language);
    QMdiSubWindow *sub = m_area->addSubWindow(page);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(CommandIcons::icon(QStringLiteral("新建")));
    m_view->adopt(page);
    sub->resize(m_view->firstWindowSize(sub, page));
    emit pageOpened(page);
    return sub;
}

frmDocument *PageWindows::defaultDocument()
{
    if (!m_defaultDocument) {
        m_defaultDocument = new frmDocument(screenCanvasSize());
        QMdiSubWindow *sub = addPageWindow(m_defaultDocument);
        sub->move(0, 0);
        emit defaultPageCreated(m_defaultDocument);
    }
    if (auto *sub = qobject_cast<QMdiSubWindow *>(m_defaultDocument->parentWidget())) {
        if (!sub->isVisible() && !m_closing)
            sub->show();
        if (sub->isMinimized())
            sub->showNormal();
        sub->raise();
    }
    return m_defaultDocument;
}

frmDocument *PageWindows::activeDocument() const
{
    QMdiSubWindow *sub = m_area->currentSubWindow();
    if (!sub)
        sub = m_area->activeSubWindow();
    return sub ? qobject_cast<frmDocument *>(sub->widget()) : nullptr;
}

PageCanvas *PageWindows::activeCanvas() const
{
    frmDocument *page = activeDocument();
    return page ? page->rtfText() : nullptr;
}

frmDocument *PageWindows::createPageWindow()
{
    auto *page = new frmDocument(screenCanvasSize());
    QMdiSubWindow *sub = addPageWindow(page);
    sub->show();
    m_area->setActiveSubWindow(sub);
    return page;
}

void PageWindows::activate(frmDocument *page)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(page->parentWidget()))
        m_area->setActiveSubWindow(sub);
    page->rtfText()->setFocus();
}

void PageWindows::closeActivePage()
{
    if (QMdiSubWindow *sub = m_area->currentSubWindow())
        sub->close();
}

void PageWindows::tile(Qt::Orientation orientation)
{
    tilePageWindows(m_area, orientation);
}

void PageWindows::cascade()
{
    cascadePageWindows(m_area);
}

bool PageWindows::closeAll()
{
    m_closing = true;
    m_area->closeAllSubWindows();
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        if (sub->isVisible()) { // the operator kept a page with unsaved changes
            m_closing = false;
            return false;
        }
    }
    return true;
}

void PageWindows::showTexts(const QString &language)
{
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        auto *page = qobject_cast<frmDocument *>(sub->widget());
        if (!page)
            continue;
        if (frmDocument::isUntitledCaption(page->windowTitle()))
            page->setWindowTitle(frmDocument::untitledCaption(language));
        page->rtfText()->setLanguage(language);
    }
}
