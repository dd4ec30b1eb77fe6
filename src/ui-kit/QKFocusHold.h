#pragma once

#include <initializer_list>
#include <QList>
#include <QPointer>
#include <QWidget>

// Keeps the keyboard focus from being lost to a button that turns itself off while the work it
// started runs. Qt hands the focus of a widget being disabled to the next control in the Tab
// chain, so a keyboard or screen-reader user who pressed "Refresh" would find themselves on
// whatever follows it, and stay there. Instead the focus waits on the keeper (a section or pane
// that names itself to assistive technology, unringed), and comes back to the button once it is
// on again; a focus the user has moved meanwhile stays where they took it.
//
// The owner calls hold() just before its buttons go off and giveBack() once the work has ended
// and they are on again; both may be called on every refresh, since neither does anything while
// there is nothing to do.
class QKFocusHold {
public:
    // `keeper` outlives the hold (the owner's own widget, usually); it should have an accessible
    // name, which is what a screen reader reads while the focus waits there.
    explicit QKFocusHold(QWidget* keeper);

    // If one of `buttons` has its window's focus, it moves to the keeper, remembering the button
    // and whether the focus had come by keyboard (so the ring shows again when it returns).
    void hold(std::initializer_list<QWidget*> buttons);
    void hold(const QList<QWidget*>& buttons);

    // If the focus still waits on the keeper, it goes back to the button it came from, or to
    // `fallback` when that button is gone, hidden or still off (a button shown only until the
    // work is done); with neither to take it, it stays on the keeper. Ends the hold either way.
    void giveBack(QWidget* fallback = nullptr);

    // Whether the focus is waiting on the keeper for a button.
    bool isHolding() const { return m_holding; }

private:
    QWidget* m_keeper;
    // the button the focus came from; null once deleted (rows rebuilt while the work ran), and
    // the hold then ends on the fallback
    QPointer<QWidget> m_held;
    bool m_holding = false;
    Qt::FocusReason m_reason = Qt::OtherFocusReason;
};
