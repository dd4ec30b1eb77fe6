#include "developer/DiffRowModel.h"

QVariant DiffRowModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const DiffRow& row = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return row.leftText.value_or(QString()) + QStringLiteral(" │ ") +
               row.rightText.value_or(QString());
    case RowRole:
        return QVariant::fromValue(row);
    default:
        return {};
    }
}
