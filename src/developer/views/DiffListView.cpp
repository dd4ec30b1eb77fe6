#include "developer/views/DiffListView.h"

#include "developer/views/DiffTableAccessible.h"
#include "ui-kit/QKFocusRing.h"

#include <QPainter>

DiffListView::DiffListView(QWidget* parent) : QListView(parent) {
    DiffTableAccessible::installFactory();
}

void DiffListView::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (!QKFocusRing::shows(this))
        return;
    QPainter painter(viewport());
    QKFocusRing::paint(painter, QRectF(viewport()->rect()), 4, palette());
}

// The view repaints only the current row on a focus change; the ring spans the whole viewport.
void DiffListView::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    viewport()->update();
}

void DiffListView::focusOutEvent(QFocusEvent* event) {
    QListView::focusOutEvent(event);
    viewport()->update();
}

// Scrolling moves the pixels drawn so far, the ring's edges with them; a ringed list is drawn
// anew instead.
void DiffListView::scrollContentsBy(int dx, int dy) {
    QListView::scrollContentsBy(dx, dy);
    if (QKFocusRing::shows(this))
        viewport()->update();
}
