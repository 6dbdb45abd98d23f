#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// Keeps an owner window disabled while a window it opened (the settings dialog, the About
// box) is shown, without a modal loop; when that window hides or is destroyed, by whatever
// means, the owner is enabled and activated again.
//
// Disabling a widget disables the windows parented to it as well, so the opened window must
// not be a child of the owner: show() places a child window under no parent (it is then
// deleted with the owner) and centres it over the owner.
class OwnerLock : public QObject
{
    Q_OBJECT

public:
    // Disables `owner`, shows `window` and gives it the focus. The lock ends itself when
    // `window` hides or is destroyed.
    static OwnerLock *show(QWidget *owner, QWidget *window);

    ~OwnerLock() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    OwnerLock(QWidget *owner, QWidget *window);
    void release();

    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_window;
    bool m_released = false;
};
