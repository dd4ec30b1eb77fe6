#include "storage/FolderEntryModel.h"

#include "storage/FolderBrowserText.h"

FolderEntryModel::FolderEntryModel(QObject* parent) : BatchedListModel(parent) {}

QVariant FolderEntryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const FolderEntry& entry = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return entry.name;
    case Qt::AccessibleDescriptionRole:
        return FolderBrowserText::rowDescription(entry, m_largest);
    case Qt::ToolTipRole:
        return FolderBrowserText::rowTip(entry);
    case EntryRole:
        return QVariant::fromValue(entry);
    case IdRole:
        return entry.id;
    default:
        return {};
    }
}

int FolderEntryModel::rowOf(const QString& id) const {
    if (const auto it = m_rowOfId.constFind(id); it != m_rowOfId.cend())
        return it.value();
    return findRow([&id](const FolderEntry& e) { return e.id == id; });
}

void FolderEntryModel::reorder(QList<FolderEntry> rows) {
    BatchedListModel::reorder(std::move(rows), [](const FolderEntry& e) { return e.id; });
}

void FolderEntryModel::reorder(QList<FolderEntry> rows, const std::vector<int>& newRowOf,
                               QHash<QString, int> rowOfId) {
    // Only the views' current and selected rows are looked up: no table of every row is built.
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    m_madeIndex = std::move(rowOfId);
    mutableRows() = std::move(rows);
    rowsChanged();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) {
        const size_t row = size_t(i.row());
        after.append(i.row() >= 0 && row < newRowOf.size() ? index(newRowOf[row]) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void FolderEntryModel::setEntries(QList<FolderEntry> rows, QHash<QString, int> rowOfId) {
    m_madeIndex = std::move(rowOfId);
    reset(std::move(rows));
}

QHash<QString, int> FolderEntryModel::indexRows(const QList<FolderEntry>& rows) {
    // Indexing every row of a folder of files would cost more than all the scans for selections
    // it would save.
    QHash<QString, int> rowOfId;
    for (int row = 0; row < int(rows.size()); ++row) {
        if (!rows.at(row).sizeBytes)
            rowOfId.insert(rows.at(row).id, row);
    }
    return rowOfId;
}

void FolderEntryModel::rowsChanged() {
    if (m_madeIndex) {
        m_rowOfId = std::move(*m_madeIndex);
        m_madeIndex.reset();
    } else {
        m_rowOfId = indexRows(rows());
    }
}
