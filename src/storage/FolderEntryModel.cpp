#include "storage/FolderEntryModel.h"

#include "storage/FolderBrowserText.h"

FolderEntryModel::FolderEntryModel(QObject* parent) : QAbstractListModel(parent) {}

int FolderEntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant FolderEntryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return {};
    const FolderEntry& entry = m_rows.at(index.row());
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

void FolderEntryModel::setEntries(QList<FolderEntry> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    reindex();
    endResetModel();
}

void FolderEntryModel::setEntry(int row, const FolderEntry& entry) {
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row] = entry;
    const QModelIndex at = index(row);
    emit dataChanged(at, at);
}

void FolderEntryModel::reorder(QList<FolderEntry> rows) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QStringList ids;
    ids.reserve(before.size());
    for (const QModelIndex& i : before)
        ids << (i.row() < m_rows.size() ? m_rows.at(i.row()).id : QString());
    m_rows = std::move(rows);
    reindex();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QString& id : ids) {
        const int row = rowOf(id);
        after << (row < 0 ? QModelIndex() : index(row));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void FolderEntryModel::reindex() {
    m_rowOfId.clear();
    m_rowOfId.reserve(m_rows.size());
    // Back to front, so the first of two equal ids wins.
    for (int row = int(m_rows.size()) - 1; row >= 0; --row)
        m_rowOfId.insert(m_rows.at(row).id, row);
}
