#include "cleaning/LargeFileListModel.h"

#include "cleaning/BiggestFilesText.h"

QVariant LargeFileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const BigFile& file = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return file.fileName();
    case Qt::AccessibleDescriptionRole:
        return BiggestFilesText::rowDescription(file, QDateTime::currentDateTimeUtc());
    case Qt::ToolTipRole:
        return file.path();
    case FileRole:
        return QVariant::fromValue(file);
    case IdRole:
        return file.id;
    default:
        return {};
    }
}

QHash<int, QByteArray> LargeFileListModel::roleNames() const {
    QHash<int, QByteArray> names = BatchedListModel<BigFile>::roleNames();
    names.insert(FileRole, "file");
    names.insert(IdRole, "fileId");
    return names;
}

int LargeFileListModel::rowOf(const QUuid& id) const {
    const QList<BigFile>& list = rows();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).id == id)
            return i;
    }
    return -1;
}
