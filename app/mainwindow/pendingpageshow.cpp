#include "pendingpageshow.h"

#include <QApplication>
#include <QTimer>

PendingPageShow::PendingPageShow(std::function<bool()> mustAsk, QObject *parent)
    : QObject(parent)
    , m_mustAsk(std::move(mustAsk))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &PendingPageShow::flush);
}

void PendingPageShow::request(std::function<void()> show)
{
    drop();
    if (!m_mustAsk()) {
        show();
        return;
    }
    m_show = std::move(show);
    // A little past the interval, so the second press is in before the question is asked.
    m_timer->start(QApplication::doubleClickInterval() + 50);
}

void PendingPageShow::flush()
{
    m_timer->stop();
    // Taken first: the show may ask, and a click during the question requests anew.
    const std::function<void()> show = std::exchange(m_show, nullptr);
    if (show)
        show();
}

void PendingPageShow::drop()
{
    m_timer->stop();
    m_show = nullptr;
}
