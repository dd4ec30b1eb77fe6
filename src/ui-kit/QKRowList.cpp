#include "ui-kit/QKRowList.h"

#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKStampDelegate.h"

#include <algorithm>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QScrollArea>

QKRowList::QKRowList(Height height, QWidget* parent) : QListView(parent), m_height(height) {
    QKAccessible::install();
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setResizeMode(QListView::Adjust);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    if (m_height == Height::Fitted) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setFixedHeight(0);
        setLayoutMode(QListView::Batched);
        setBatchSize(kFirstRows);
    }
}

int QKRowList::contentHeight() const {
    // Before its first layout a list's contents are -1 high.
    return model() && model()->rowCount(rootIndex()) > 0 ? std::max(0, contentsSize().height()) : 0;
}

void QKRowList::fit() {
    if (m_height != Height::Fitted || m_fitting)
        return;
    m_fitting = true;
    const int height = contentHeight() + 2 * frameWidth();
    if (height != this->height() || minimumHeight() != height)
        setFixedHeight(height);
    m_fitting = false;
}

void QKRowList::updateGeometries() {
    QListView::updateGeometries();
    // Called after every layout of the rows, so the fitted height is always the laid-out one.
    fit();
}

int QKRowList::rowsMeasured() const {
    const auto* stamps = qobject_cast<const QKStampDelegate*>(itemDelegate());
    return stamps ? stamps->rowsMeasured() : 0;
}

void QKRowList::learnBatch(qint64 nsecs, int rowsBefore) {
    if (m_height != Height::Fitted)
        return;
    const int rows = rowsMeasured() - rowsBefore;
    if (rows <= 0) {
        // Rows whose heights were kept cost nearly nothing: the batches grow again.
        if (nsecs < kBatchMs * 500'000)
            setBatchSize(std::min(kBatchRows, 2 * batchSize()));
        return;
    }
    const double perRowNs = std::max(1.0, double(nsecs) / rows);
    setBatchSize(std::clamp(int(kBatchMs * 1e6 / perRowNs), kMinRows, kBatchRows));
}

void QKRowList::doItemsLayout() {
    // The first batch is laid out here, the rest from the timer; either way the time the rows of
    // a batch took sizes the next. However costly the rows, the first batch fills a screen.
    if (m_height == Height::Fitted)
        setBatchSize(std::max(batchSize(), kFirstRows));
    const int before = rowsMeasured();
    QElapsedTimer clock;
    clock.start();
    QListView::doItemsLayout();
    learnBatch(clock.nsecsElapsed(), before);
}

void QKRowList::timerEvent(QTimerEvent* event) {
    const int before = rowsMeasured();
    QElapsedTimer clock;
    clock.start();
    QListView::timerEvent(event);
    learnBatch(clock.nsecsElapsed(), before);
    // A batch of rows may have been laid out: the fitted height takes them in at once rather than
    // after the last batch.
    fit();
}

void QKRowList::resizeEvent(QResizeEvent* event) {
    // A list flowing top to bottom is laid out again only when its height changes; here the
    // rows' heights follow the width instead, and a fitted list's height follows its rows.
    if (m_height == Height::Fitted)
        QAbstractItemView::resizeEvent(event);
    else
        QListView::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        scheduleDelayedItemsLayout();
}

void QKRowList::showEvent(QShowEvent* event) {
    QListView::showEvent(event);
    // A hidden list measured nothing (QKStampDelegate); now its rows have a width.
    scheduleDelayedItemsLayout();
}

void QKRowList::changeEvent(QEvent* event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        scheduleDelayedItemsLayout();
}

bool QKRowList::isActivationKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Select:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    default:
        return false;
    }
}

void QKRowList::keyPressEvent(QKeyEvent* event) {
    auto* stamps = qobject_cast<QKStampDelegate*>(itemDelegate());
    if (stamps && currentIndex().isValid() && isActivationKey(event)) {
        stamps->triggerKeyAction(currentIndex());
        event->accept();
        return;
    }
    // Left and Right choose among the current row's buttons, when it has more than one.
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) && stamps &&
        currentIndex().isValid() && event->modifiers() == Qt::NoModifier &&
        stamps->stepAction(currentIndex(), event->key() == Qt::Key_Right ? 1 : -1)) {
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void QKRowList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QListView::currentChanged(current, previous);
    if (m_height != Height::Fitted || !current.isValid())
        return;
    // A fitted list never scrolls: the page it lies in brings the current row into view.
    for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
        if (auto* page = qobject_cast<QScrollArea*>(up)) {
            if (!page->widget() || !page->widget()->isAncestorOf(this))
                return;
            const QRect row = visualRect(current);
            const QPoint centre = viewport()->mapTo(page->widget(), row.center());
            page->ensureVisible(centre.x(), centre.y(), 0, row.height() / 2 + 1);
            return;
        }
    }
}
