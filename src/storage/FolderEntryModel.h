#pragma once

#include "platform/BatchedListModel.h"
#include "storage/FolderEntry.h"

#include <optional>
#include <QHash>
#include <vector>

// The entries of the folder on show as a list model, one row per entry. The tree replaces the
// rows in one reset per listing (a folder of 100,000 items is one signal), updates a measured row
// in place, and re-orders rows as one layout change, so a view's selection and current row follow
// their entries. Main thread only.
class FolderEntryModel : public BatchedListModel<FolderEntry> {
    Q_OBJECT
public:
    enum Role { EntryRole = Qt::UserRole + 1, IdRole };

    explicit FolderEntryModel(QObject* parent = nullptr);

    // Display and accessible text: the name; accessible description: the row's figures
    // (FolderBrowserText::rowDescription, against largest()); tooltip: the name and what a double
    // click does; EntryRole: the FolderEntry; IdRole: its id.
    QVariant data(const QModelIndex& index, int role) const override;

    // The size the rows' shares are of: the largest measured entry, 0 when none.
    void setLargest(qint64 largest) { m_largest = largest; }

    const QList<FolderEntry>& entries() const { return rows(); }
    // The row of the entry with this id, -1 when none. Ids are unique among the rows (one
    // folder's children). The rows still waiting for a size are indexed, as their measurements
    // arrive by id; any other id is found by a scan, as a selection needs it once per change.
    int rowOf(const QString& id) const;

    void setEntries(QList<FolderEntry> rows) { reset(std::move(rows)); }
    // The same with the index made beforehand (indexRows(rows)), so that a listing of many
    // folders is indexed off the main thread.
    void setEntries(QList<FolderEntry> rows, QHash<QString, int> rowOfId);
    // The row of each entry without a size, by id; any thread.
    static QHash<QString, int> indexRows(const QList<FolderEntry>& rows);
    // Replaces one row (same id) and tells the views.
    void setEntry(int row, const FolderEntry& entry) { replace(row, entry); }
    // The same entries in a new order.
    void reorder(QList<FolderEntry> rows);
    // The same with the work made beforehand, so that a folder of many rows is re-ordered off
    // the main thread: newRowOf[k] is the new row of the entry now at row k, and rowOfId is
    // indexRows(rows).
    void reorder(QList<FolderEntry> rows, const std::vector<int>& newRowOf,
                 QHash<QString, int> rowOfId);

protected:
    void rowsChanged() override;

private:
    QHash<QString, int> m_rowOfId;
    qint64 m_largest = 0;
    std::optional<QHash<QString, int>> m_madeIndex;
};
