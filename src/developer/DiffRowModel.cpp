#include "developer/DiffRowModel.h"

void DiffRowModel::setRows(const QList<DiffRow>& rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int DiffRowModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant DiffRowModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return {};
    const DiffRow& row = m_rows.at(index.row());
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
