#pragma once

#include <optional>
#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <type_traits>

// The rows of a long list (CONVENTIONS.md, Long lists): the row storage, whole replacement,
// in-place updates, re-ordering and removal in runs are written once here. A subclass gives data()
// (and roleNames() for delegates that use names) and nothing else:
//
//   class LargeFileListModel : public BatchedListModel<LargeFile> {
//       QVariant data(const QModelIndex& index, int role) const override { … rowAt(index.row()) … }
//   };
//
// Every long list of the app keeps its rows here. A scan hands its result over whole (reset()) and
// fills a row in later by replace(); no list takes rows as a scan finds them. A list that only
// grows at its end (the chat's messages) adds them by append(). A list that only
// shows rows another object owns (a view over a service's plan, say) stands apart and says so in
// its header.
//
// Contract: reset() replaces everything at once, so a rescan starts from a clean list. The
// generation check belongs to the service that feeds the model: a stale scan never reaches it. A
// subclass that keeps its own index of the rows (row of an id) rebuilds it in rowsChanged(),
// which runs after rows are replaced, added, removed or moved and before the views hear of it;
// replace() keeps the row's identity and so does not call it.
template <typename Row> class BatchedListModel : public QAbstractListModel {
public:
    explicit BatchedListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }

    const QList<Row>& rows() const { return m_rows; }
    // The row at a valid index; a caller checks the index against rowCount() first.
    const Row& rowAt(int row) const { return m_rows.at(row); }

    void reset(QList<Row> rows = {}) {
        beginResetModel();
        m_rows = std::move(rows);
        rowsChanged();
        endResetModel();
    }

    // Adds rows after the last one, as one insertion: the rows already shown keep their places
    // (a conversation that grows by a message). Calls rowsChanged() before the views hear of it.
    void append(const QList<Row>& rows) {
        if (rows.isEmpty())
            return;
        beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + rows.size() - 1));
        m_rows.append(rows);
        rowsChanged();
        endInsertRows();
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
        // Only the keys the views hold are looked for (a current row, a selection: a handful),
        // each at its first row: no table of every row is built.
        QHash<Key, int> rowOfKey;
        for (const std::optional<Key>& key : keys)
            if (key)
                rowOfKey.insert(*key, -1);
        qsizetype missing = rowOfKey.size();
        for (int row = 0; row < int(m_rows.size()) && missing > 0; ++row) {
            const auto it = rowOfKey.find(keyOf(m_rows.at(row)));
            if (it != rowOfKey.end() && *it < 0) {
                *it = row;
                --missing;
            }
        }
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
    // After rows were replaced, removed or moved, before the views are told.
    virtual void rowsChanged() {}
    QList<Row>& mutableRows() { return m_rows; }

private:
    QList<Row> m_rows;
};
