#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QTimer>

// The list half of a scan that feeds a long list (CONVENTIONS.md): rows arrive from the scan in
// batches of any size, on the main thread, and reach the view at most once per tick as one
// insertion, so 100,000 rows never mean 100,000 signals and the view stays smooth.
//
// BatchedListModelBase holds the coalescing timer; BatchedListModel<Row> holds the rows. A
// subclass gives data() (and roleNames() for delegates that use names) and nothing else:
//
//   class LargeFileListModel : public BatchedListModel<LargeFile> {
//       QVariant data(const QModelIndex& index, int role) const override { … rowAt(index.row()) … }
//   };
//
// Contract: append() queues rows and returns; they become rows of the model on the next tick, or
// at once on flush(). reset() replaces everything at once (rows queued before it are dropped), so
// a rescan starts from a clean list. The generation check belongs to the service that feeds the
// model: a stale scan never calls append().
class BatchedListModelBase : public QAbstractListModel {
    Q_OBJECT
public:
    explicit BatchedListModelBase(int tickMs = 50, QObject* parent = nullptr);

    // Moves every queued row into the model now (one insertion).
    void flush();
    // Rows queued but not yet in the model.
    virtual int pendingCount() const = 0;

signals:
    // After each insertion, with the number of rows in the model.
    void rowsArrived(int total);

protected:
    // Starts the tick if it is not running.
    void schedule();
    void stopTimer() { m_timer.stop(); }
    // Appends the queued rows to the visible ones; called between begin/endInsertRows.
    virtual void takePending() = 0;

private:
    QTimer m_timer;
};

template <typename Row> class BatchedListModel : public BatchedListModelBase {
public:
    using BatchedListModelBase::BatchedListModelBase;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int pendingCount() const override { return int(m_pending.size()); }

    const QList<Row>& rows() const { return m_rows; }
    // The row at a valid index; a caller checks the index against rowCount() first.
    const Row& rowAt(int row) const { return m_rows.at(row); }

    void append(const QList<Row>& batch) {
        if (batch.isEmpty())
            return;
        m_pending.append(batch);
        schedule();
    }
    void append(const Row& row) {
        m_pending.append(row);
        schedule();
    }

    void reset(QList<Row> rows = {}) {
        stopTimer();
        beginResetModel();
        m_pending.clear();
        m_rows = std::move(rows);
        endResetModel();
    }

    // Removes the rows for which pred is true (after a trash, say), one signal per run of rows.
    template <typename Pred> void removeIf(Pred pred) {
        for (int i = int(m_rows.size()) - 1; i >= 0; --i) {
            if (!pred(m_rows.at(i)))
                continue;
            int first = i;
            while (first > 0 && pred(m_rows.at(first - 1)))
                --first;
            beginRemoveRows(QModelIndex(), first, i);
            m_rows.remove(first, i - first + 1);
            endRemoveRows();
            i = first;
        }
    }

protected:
    void takePending() override {
        m_rows.append(m_pending);
        m_pending.clear();
    }

    QList<Row>& mutableRows() { return m_rows; }

private:
    QList<Row> m_rows;
    QList<Row> m_pending;
};
