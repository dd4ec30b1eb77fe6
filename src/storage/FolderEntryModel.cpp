#include "storage/FolderEntryModel.h"

#include "storage/FolderBrowserText.h"

FolderEntryModel::FolderEntryModel(QObject* parent) : BatchedListModel(parent) {}

QVariant FolderEntryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const FolderEntry& entry = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return entry.name;
    case Qt::ToolTipRole:
        return FolderBrowserText::rowHelp(entry);
    case EntryRole:
        return QVariant::fromValue(entry);
    case IdRole:
        return entry.id;
    default:
        return {};
    }
}

int FolderEntryModel::rowOf(const QString& id) const {
    return m_rowOfId.value(id, -1);
}

void FolderEntryModel::reorder(QList<FolderEntry> rows) {
    BatchedListModel::reorder(std::move(rows), [](const FolderEntry& e) { return e.id; });
}

void FolderEntryModel::rowsChanged() {
    m_rowOfId.clear();
    m_rowOfId.reserve(rowCount());
    // Back to front, so the first of two equal ids wins.
    for (int row = rowCount() - 1; row >= 0; --row)
        m_rowOfId.insert(rowAt(row).id, row);
}
