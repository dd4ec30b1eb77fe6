#include "developer/views/DiffListView.h"

#include "developer/views/DiffTableAccessible.h"
#include "ui-kit/QKFocusRing.h"

#include <QPainter>

namespace {

// The band around the rows the ring is drawn in: a gap of the page colour on either side of the
// ring's two pixels, so the ring stands beside nothing but the page, however the rows inside it
// are coloured or written and whatever rule lies against the list outside.
constexpr int kRingGap = 2;
constexpr int kRingBand = 7;

} // namespace

DiffListView::DiffListView(QWidget* parent) : QListView(parent) {
    DiffTableAccessible::installFactory();
    setViewportMargins(kRingBand, kRingBand, kRingBand, kRingBand);
}

bool DiffListView::event(QEvent* event) {
    const bool handled = QListView::event(event);
    if (event->type() == QEvent::Paint && QKFocusRing::shows(this)) {
        QPainter painter(this);
        QKFocusRing::paint(painter,
                           QRectF(rect()).adjusted(kRingGap, kRingGap, -kRingGap, -kRingGap), 6,
                           palette());
    }
    return handled;
}

// The view repaints only the current row on a focus change; the ring is the list's own.
void DiffListView::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    update();
}

void DiffListView::focusOutEvent(QFocusEvent* event) {
    QListView::focusOutEvent(event);
    update();
}
