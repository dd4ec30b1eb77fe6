#include "ui-kit/QKLazyColumn.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QSet>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// How far past the visible end rows are made ahead.
constexpr int kAhead = 600;
// How long one turn of the event loop may spend making rows. Past it the rest wait for the next
// turn, which lets paints and input in between; a row is never cut short, so a turn may run over
// by one row. Two turns that follow each other with only a paint between read as one stretch to
// whoever waits on the loop, so a turn takes well under half of the 50 ms a stretch may hold.
constexpr qint64 kTurnBudgetMs = 12;
const char* kDividerOf = "lazyDividerOf";
const char* kRowOf = "lazyRowOf";
} // namespace

QKLazyColumn::QKLazyColumn(int spacing, QWidget* parent) : QScrollArea(parent) {
    QKBuild::plainScroll(this);
    m_content = new QWidget(this);
    m_content->setAutoFillBackground(false);
    QBoxLayout* column = nullptr;
    QKLayout::column({0, 0, 0, 0}, spacing, {QKLayout::stretch(1)}).keep(column).on(m_content);
    // A column is laid out as a QVBoxLayout; rows go in before its closing stretch.
    m_column = static_cast<QVBoxLayout*>(column);
    setWidget(m_content);
}

void QKLazyColumn::setRows(const QStringList& keys, Factory factory) {
    m_factory = std::move(factory);
    // Nothing built yet (the first list a screen sets) keeps nothing, so needs no set of keys.
    const QSet<QString> staying =
        m_rows.isEmpty() ? QSet<QString>() : QSet<QString>(keys.begin(), keys.end());
    // Take every row (and its divider) out of the column; drop those whose key went.
    while (m_column->count() > 1) {
        QLayoutItem* item = m_column->takeAt(0);
        if (QWidget* w = item->widget()) {
            // Each row and divider carries its key: looking a widget up among the rows would
            // make setting a long list again quadratic.
            const QString key = w->property(kDividerOf).isValid()
                                    ? w->property(kDividerOf).toString()
                                    : w->property(kRowOf).toString();
            if (!staying.contains(key)) {
                m_rows.remove(key);
                w->deleteLater();
            } else {
                w->hide();
            }
        }
        delete item;
    }
    m_keys = keys;
    m_built = 0;
    fill();
}

int QKLazyColumn::buildNext() {
    const QString key = m_keys.at(m_built);
    QWidget* row = m_rows.value(key);
    QWidget* divider = nullptr;
    if (!row) {
        row = m_factory ? m_factory(key, m_content) : new QWidget(m_content);
        row->setProperty(kRowOf, key);
        m_rows.insert(key, row);
    } else {
        divider = m_content->findChild<QWidget*>(QStringLiteral("divider:") + key,
                                                 Qt::FindDirectChildrenOnly);
    }
    if (!divider) {
        divider = new QKHairline(m_content);
        divider->setObjectName(QStringLiteral("divider:") + key);
        divider->setProperty(kDividerOf, key);
    }
    QKLayout::items({QKLayout::part(row), QKLayout::part(divider)}).fillPage(m_column);
    row->show();
    divider->show();
    ++m_built;
    return row->sizeHint().height() + divider->sizeHint().height() + 2 * m_column->spacing();
}

void QKLazyColumn::fill() {
    if (m_filling)
        return;
    m_filling = true;
    QElapsedTimer spent;
    spent.start();
    const int target = verticalScrollBar()->value() + viewport()->height() + kAhead;
    // The height comes from size hints alone: laying the column out (every row's geometry and
    // text) is left to the scroll area's own pass after this turn, once for all the rows it made,
    // instead of once per row, which made a screenful of rows quadratic.
    int height = m_column->sizeHint().height();
    bool due = false;
    while (m_built < m_keys.size() && height <= target) {
        if (spent.elapsed() >= kTurnBudgetMs) {
            due = true;
            break;
        }
        height += buildNext();
    }
    m_filling = false;
    if (due)
        fillLater();
    else
        emit filled();
}

void QKLazyColumn::fillLater() {
    if (m_fillQueued)
        return;
    m_fillQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_fillQueued = false;
        fill();
    });
}

void QKLazyColumn::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    fillLater();
}

void QKLazyColumn::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    if (dy != 0)
        fill();
}
