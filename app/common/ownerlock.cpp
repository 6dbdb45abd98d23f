#include "ownerlock.h"

#include <QEvent>

namespace {

// QWidget::isAncestorOf stops at window boundaries; a dialog is a window of its own.
bool descendsFrom(const QWidget *widget, const QWidget *ancestor)
{
    for (const QWidget *p = widget->parentWidget(); p; p = p->parentWidget()) {
        if (p == ancestor)
            return true;
    }
    return false;
}

} // namespace

OwnerLock::OwnerLock(QWidget *owner, QWidget *window)
    : QObject(window)
    , m_owner(owner)
    , m_window(window)
{
    window->installEventFilter(this);
}

// Destroyed with the window before it had hidden: the owner must not stay disabled.
OwnerLock::~OwnerLock()
{
    if (!m_released && m_owner)
        m_owner->setEnabled(true);
}

OwnerLock *OwnerLock::show(QWidget *owner, QWidget *window)
{
    if (!window)
        return nullptr;
    if (owner && descendsFrom(window, owner)) {
        const Qt::WindowFlags flags = window->windowFlags();
        window->setParent(nullptr, flags | Qt::Window);
        QObject::connect(owner, &QObject::destroyed, window, &QObject::deleteLater);
    }
    if (owner) {
        // A window given a size of its own (the settings dialog's design size) keeps it.
        if (!window->testAttribute(Qt::WA_Resized))
            window->adjustSize();
        const QRect frame = owner->frameGeometry();
        QRect placed(QPoint(), window->size());
        placed.moveCenter(frame.center());
        window->move(placed.topLeft());
    }
    auto *lock = new OwnerLock(owner, window);
    if (owner)
        owner->setEnabled(false);
    window->show();
    window->raise();
    window->activateWindow();
    return lock;
}

bool OwnerLock::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Hide)
        release();
    return QObject::eventFilter(watched, event);
}

void OwnerLock::release()
{
    if (m_released)
        return;
    m_released = true;
    if (m_window)
        m_window->removeEventFilter(this);
    if (m_owner) {
        m_owner->setEnabled(true);
        m_owner->activateWindow();
    }
    deleteLater();
}
