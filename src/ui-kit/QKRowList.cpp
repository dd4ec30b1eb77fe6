#include "ui-kit/QKRowList.h"

#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKStampDelegate.h"

#include <algorithm>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>

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

void QKRowList::setEstimatesOutOfSight(bool on) {
    if (m_height != Height::Fitted || m_estimates == on)
        return;
    m_estimates = on;
    // Estimated rows cost nothing to lay out: all of them at once.
    setLayoutMode(on ? QListView::SinglePass : QListView::Batched);
    scheduleDelayedItemsLayout();
}

QKStampDelegate* QKRowList::stamps() const {
    return qobject_cast<QKStampDelegate*>(itemDelegate());
}

QScrollArea* QKRowList::page() const {
    for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
        if (auto* page = qobject_cast<QScrollArea*>(up);
            page && page->widget() && page->widget()->isAncestorOf(this))
            return page;
    }
    return nullptr;
}

std::pair<int, int> QKRowList::sight() const {
    // The list may not have its height yet (it has none before its first layout): what it will
    // show is where it lies under the page's viewport, or the window's height.
    if (const QScrollArea* page = this->page()) {
        const int top = -viewport()->mapTo(page->viewport(), QPoint(0, 0)).y();
        return {top, top + page->viewport()->height()};
    }
    const int top = -viewport()->mapTo(window(), QPoint(0, 0)).y();
    return {top, top + window()->height()};
}

bool QKRowList::pageWidthComing() const {
    const QScrollArea* page = this->page();
    QKStampDelegate* rows = stamps();
    if (!page || !page->widgetResizable() || !rows || !model() || !isVisible())
        return false;
    const int viewportWidth = page->viewport()->width();
    // A page that never scrolls sideways gives its widget the viewport's width, when it next lays
    // the widget out.
    if (page->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff &&
        page->widget()->width() != viewportWidth)
        return true;
    // A bar that takes room leaves the viewport narrower than the page allows it; a transient one
    // is laid over it and narrows nothing.
    if (page->verticalScrollBarPolicy() != Qt::ScrollBarAsNeeded ||
        viewportWidth < page->maximumViewportSize().width() ||
        page->style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr,
                                 page->verticalScrollBar()))
        return false;
    const int count = model()->rowCount(rootIndex());
    if (count == 0)
        return false;
    // The first row is measured at any width anyway (the estimates start from it).
    const qint64 first =
        rows->sizeHint(QStyleOptionViewItem(), model()->index(0, modelColumn(), rootIndex()))
            .height();
    return sight().first + page->viewport()->height() < count * (first + 2 * spacing());
}

bool QKRowList::allRowsMeasured() const {
    const QKStampDelegate* rows = stamps();
    if (!m_estimates || !rows || !model())
        return true;
    for (int row = 0, n = model()->rowCount(rootIndex()); row < n; ++row)
        if (!rows->isMeasured(model()->index(row, modelColumn(), rootIndex())))
            return false;
    return true;
}

bool QKRowList::measureInSight() {
    QKStampDelegate* rows = stamps();
    // Rows measured now would be measured again at the width the page is about to give.
    if (!m_estimates || m_awaitingWidth || !rows || !model() || !isVisible())
        return false;
    rows->setEstimating(true);
    const auto [top, bottom] = sight();
    // Rows lie top to bottom from 0, each as high as the delegate answers (kept or estimated),
    // so the walk finds the rows the layout will put in sight. Each row measured moves the
    // estimate of those still estimated, and so the rows above the sight: the walk is made again
    // until it finds every row in sight measured (a few times at most, as the estimate settles).
    constexpr int kMostWalks = 8;
    bool measured = false;
    for (int walk = 0; walk < kMostWalks; ++walk) {
        bool measuredNow = false;
        int y = 0;
        for (int row = 0, n = model()->rowCount(rootIndex()); row < n && y <= bottom; ++row) {
            const QModelIndex index = model()->index(row, modelColumn(), rootIndex());
            int height = rows->sizeHint(QStyleOptionViewItem(), index).height();
            if (y + height > top && !rows->isMeasured(index)) {
                height = rows->measure(index);
                measuredNow = true;
            }
            y += height + 2 * spacing();
        }
        measured = measured || measuredNow;
        if (!measuredNow)
            break;
    }
    return measured;
}

void QKRowList::measureSlice() {
    QKStampDelegate* rows = stamps();
    if (!rows || !model())
        return;
    QElapsedTimer clock;
    clock.start();
    // Rows below the sight move nothing the user sees: the list is laid out again only once they
    // are all measured, or when a row in or above the sight was.
    bool moved = measureInSight();
    const int bottom = sight().second;
    const int n = model()->rowCount(rootIndex());
    // Rows before the cursor were measured by the slices since the last layout.
    for (; m_cursor < n && clock.nsecsElapsed() < kSliceMs * 1'000'000LL; ++m_cursor) {
        const QModelIndex index = model()->index(m_cursor, modelColumn(), rootIndex());
        if (!rows->isMeasured(index)) {
            rows->measure(index);
            // Where the layout put it: for a fitted list, in the list's own coordinates.
            moved = moved || visualRect(index).top() < bottom;
        }
    }
    if (moved || m_cursor >= n)
        doItemsLayout();
    else
        m_slices.start(0, this);
}

void QKRowList::followPage() {
    if (!m_estimates || m_pageBar)
        return;
    if (QScrollArea* page = this->page()) {
        m_pageBar = page->verticalScrollBar();
        connect(m_pageBar, &QScrollBar::valueChanged, this, [this] {
            // Measured before the page paints them at their new place.
            if (measureInSight())
                doItemsLayout();
        });
    }
}

void QKRowList::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                            const QList<int>& roles) {
    // The rows checked one by one: a change of more than a screenful of them is laid out anew.
    constexpr int kMostChecked = 64;
    const QKStampDelegate* rows = stamps();
    bool keepsHeights = rows && !roles.isEmpty() && !roles.contains(Qt::SizeHintRole) &&
                        topLeft.isValid() && bottomRight.isValid() &&
                        topLeft.parent() == rootIndex() &&
                        bottomRight.row() - topLeft.row() < kMostChecked;
    for (int row = topLeft.row(); keepsHeights && row <= bottomRight.row(); ++row) {
        const QModelIndex index = model()->index(row, modelColumn(), rootIndex());
        const QRect laid = visualRect(index);
        keepsHeights = !laid.isEmpty() &&
                       rows->sizeHint(QStyleOptionViewItem(), index).height() == laid.height();
    }
    if (!keepsHeights) {
        QListView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // Repaints the rows (and tells assistive technology) without laying any out.
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void QKRowList::moveEvent(QMoveEvent* event) {
    QListView::moveEvent(event);
    // Moved within its page, the list may bring rows into sight that were estimated.
    if (m_estimates && measureInSight())
        scheduleDelayedItemsLayout();
}

void QKRowList::doItemsLayout() {
    if (m_estimates && stamps()) {
        m_cursor = 0;
        if (!m_awaitingWidth && pageWidthComing()) {
            // Every row has a place, so the page sees how tall the list is (and shows its bar);
            // the width it then gives lays the rows out again (resizeEvent), or the next turn does.
            m_awaitingWidth = true;
            stamps()->setGuessing(true);
            QListView::doItemsLayout();
            stamps()->setGuessing(false);
            scheduleDelayedItemsLayout();
            return;
        }
        m_awaitingWidth = false;
        measureInSight();
        QListView::doItemsLayout();
        // The first slice waits until the rows just laid out have reached the screen (see
        // viewportEvent), or a frame when the list does not paint.
        m_slicesAfterPaint = !allRowsMeasured();
        if (m_slicesAfterPaint)
            m_slices.start(kFrameMs, this);
        else
            m_slices.stop();
        return;
    }
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

bool QKRowList::viewportEvent(QEvent* event) {
    const bool handled = QListView::viewportEvent(event);
    // Whatever else the event loop holds for the frame just painted goes before the first slice,
    // however late the frame came: the slice is due a frame after it.
    if (event->type() == QEvent::Paint && m_slicesAfterPaint) {
        m_slicesAfterPaint = false;
        m_slices.start(kFrameMs, this);
    }
    return handled;
}

void QKRowList::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_slices.timerId()) {
        m_slicesAfterPaint = false;
        m_slices.stop();
        measureSlice();
        return;
    }
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
    if (event->size().width() == event->oldSize().width())
        return;
    scheduleDelayedItemsLayout();
    // The page's width came: the rows in sight are measured at it before the page paints.
    if (m_awaitingWidth)
        executeDelayedItemsLayout();
}

void QKRowList::showEvent(QShowEvent* event) {
    QListView::showEvent(event);
    // A hidden list measured nothing (QKStampDelegate); now its rows have a width.
    scheduleDelayedItemsLayout();
    followPage();
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
