#include "ui-kit/QKFocusHold.h"

#include "ui-kit/QKFocusRing.h"

namespace {

// Whether the widget can take the focus back: there, shown and on.
bool canTake(const QWidget* widget, const QWidget* keeper) {
    return widget && widget->isEnabled() && widget->isVisibleTo(keeper->window());
}

} // namespace

QKFocusHold::QKFocusHold(QWidget* keeper) : m_keeper(keeper) {
    Q_ASSERT(keeper);
}

void QKFocusHold::hold(std::initializer_list<QWidget*> buttons) {
    hold(QList<QWidget*>(buttons));
}

void QKFocusHold::hold(const QList<QWidget*>& buttons) {
    // The window's focus widget, not the application's: a window in the background loses its
    // focus to the next control just the same when the button goes off.
    QWidget* focused = m_keeper->window()->focusWidget();
    if (!focused || !buttons.contains(focused))
        return;
    m_held = focused;
    m_holding = true;
    m_reason = QKFocusRing::shows(focused) ? Qt::TabFocusReason : Qt::OtherFocusReason;
    m_keeper->setFocus(Qt::OtherFocusReason);
}

void QKFocusHold::giveBack(QWidget* fallback) {
    const bool waiting = m_keeper->window()->focusWidget() == m_keeper;
    QWidget* held = m_held.data();
    const bool wasHolding = m_holding;
    m_held = nullptr;
    m_holding = false;
    if (!wasHolding || !waiting)
        return;
    if (canTake(held, m_keeper))
        held->setFocus(m_reason);
    else if (canTake(fallback, m_keeper))
        fallback->setFocus(m_reason);
}
