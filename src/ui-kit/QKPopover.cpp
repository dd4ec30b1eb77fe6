#include "ui-kit/QKPopover.h"

#include "ui-kit/QKAccessible.h"
#include "ui-kit/Themed.h"

#include <algorithm>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

QKPopover::QKPopover(const QString& name, QWidget* owner)
    : QFrame(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    setWindowTitle(name);
    setAccessibleName(name);
    QKAccessible::setRole(this, QAccessible::Dialog);
    // Focus stays inside while it is open, so Escape reaches it whatever holds the keyboard.
    setFocusPolicy(Qt::StrongFocus);
    Themed::apply(this);
}

void QKPopover::showUnder(QWidget* anchor, QWidget* opener) {
    m_opener = opener;
    adjustSize();
    const QPoint hang = anchor->mapToGlobal(QPoint(anchor->width() / 2, anchor->height()));
    QPoint at(hang.x() - width() / 2, hang.y());
    if (QScreen* screen = anchor->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
    }
    move(at);
    show();
    raise();
    activateWindow();
    setFocus(Qt::PopupFocusReason);
}

bool QKPopover::event(QEvent* event) {
    // A click elsewhere activates another window: the popover goes, as a popup would.
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        close();
    return QFrame::event(event);
}

void QKPopover::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel) || event->matches(QKeySequence::Close)) {
        close();
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void QKPopover::closeEvent(QCloseEvent* event) {
    QFrame::closeEvent(event);
    if (m_opener) {
        m_opener->activateWindow();
        m_opener->setFocus(Qt::PopupFocusReason);
    }
}
