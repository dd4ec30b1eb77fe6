#pragma once

#include <optional>
#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QTimer>
#include <type_traits>

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
// Every long list of the app keeps its rows here, whether they come from a scan in batches or
// whole (a diff, a listing, the applications): the row storage, the one-insert-per-tick feed,
// in-place updates and re-ordering are written once. A list that only shows rows another object
// owns (a view over a service's plan, say) stands apart and says so in its header.
//
// Contract: append() queues rows and returns; they become rows of the model on the next tick, or
// at once on flush(). reset() replaces everything at once (rows queued before it are dropped), so
// a rescan starts from a clean list. The generation check belongs to the service that feeds the
// model: a stale scan never calls append(). A subclass that keeps its own index of the rows (row
// of an id) rebuilds it in rowsChanged(), which runs after rows are added, removed or moved and
// before the views hear of it; replace() keeps the row's identity and so does not call it.
class BatchedListModelBase : public QAbstractListModel {
    Q_OBJECT
public:
    explicit BatchedListModelBase(int tickMs = 50, QObject* parent = nullptr);
    // With the usual tick, for lists whose rows arrive whole.
    explicit BatchedListModelBase(QObject* parent) : BatchedListModelBase(50, parent) {}

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
    // After rows were added, removed or moved, before the views are told.
    virtual void rowsChanged() {}
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
        rowsChanged();
        endResetModel();
    }

    // Replaces one row in place (same identity, new state): one dataChanged, no re-layout of the
    // other rows. Out of range does nothing.
    void replace(int row, const Row& value) {
        if (row < 0 || row >= m_rows.size())
            return;
        m_rows[row] = value;
        const QModelIndex at = index(row);
        emit dataChanged(at, at);
    }

    // The same rows in a new order, as one layout change: keyOf names a row's identity, and the
    // views' current and selected rows follow their keys. A key that went leaves its persistent
    // index invalid.
    template <typename KeyOf> void reorder(QList<Row> rows, KeyOf keyOf) {
        emit layoutAboutToBeChanged();
        const QModelIndexList before = persistentIndexList();
        using Key = std::decay_t<decltype(keyOf(std::declval<const Row&>()))>;
        QList<std::optional<Key>> keys;
        keys.reserve(before.size());
        for (const QModelIndex& i : before)
            keys.append(i.row() < m_rows.size() ? std::optional<Key>(keyOf(m_rows.at(i.row())))
                                                : std::nullopt);
        m_rows = std::move(rows);
        rowsChanged();
        QHash<Key, int> rowOfKey;
        rowOfKey.reserve(m_rows.size());
        for (int row = int(m_rows.size()) - 1; row >= 0; --row)
            rowOfKey.insert(keyOf(m_rows.at(row)), row);
        QModelIndexList after;
        after.reserve(before.size());
        for (const std::optional<Key>& key : keys) {
            const int row = key ? rowOfKey.value(*key, -1) : -1;
            after.append(row < 0 ? QModelIndex() : index(row));
        }
        changePersistentIndexList(before, after);
        emit layoutChanged();
    }

    // The first row for which pred is true, or -1.
    template <typename Pred> int findRow(Pred pred) const {
        for (int i = 0; i < m_rows.size(); ++i)
            if (pred(m_rows.at(i)))
                return i;
        return -1;
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
            rowsChanged();
            endRemoveRows();
            i = first;
        }
    }

protected:
    void takePending() override {
        m_rows.append(m_pending);
        m_pending.clear();
        rowsChanged();
    }

    QList<Row>& mutableRows() { return m_rows; }

private:
    QList<Row> m_rows;
    QList<Row> m_pending;
};
