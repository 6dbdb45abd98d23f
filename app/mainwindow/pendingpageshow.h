#pragma once

#include <QObject>

#include <functional>

class QTimer;

// Shows the page of a click in the file browser or the program list. When showing a page
// first needs the question on unsaved changes, asking at once would put its box under the
// operator's second press, and the double-click's own action (add the file, remove the row)
// would be lost. Such a show waits for the double-click time instead: a double-click in that
// time does its own action first, then runs the waiting show (or drops it).
class PendingPageShow : public QObject
{
    Q_OBJECT

public:
    // `mustAsk` tells whether showing a page now would ask the question.
    explicit PendingPageShow(std::function<bool()> mustAsk, QObject *parent = nullptr);

    // Runs `show` now, or after the double-click time when mustAsk() is true. A request
    // replaces a show still waiting.
    void request(std::function<void()> show);
    // Runs a waiting show now.
    void flush();
    // Forgets a waiting show.
    void drop();
    bool isWaiting() const { return bool(m_show); }

private:
    std::function<bool()> m_mustAsk;
    std::function<void()> m_show;
    QTimer *m_timer;
};
