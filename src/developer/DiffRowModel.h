#pragma once

#include "shell/DiffRow.h"

#include <QAbstractListModel>

// The rows of one line diff as a list model, one item per row in order. The rows arrive all
// at once (a diff is computed whole), so a new list resets the model. The list is shared with
// whoever handed it over, not copied.
class DiffRowModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        RowRole = Qt::UserRole + 1, // the DiffRow
    };

    using QAbstractListModel::QAbstractListModel;

    void setRows(const QList<DiffRow>& rows);
    const QList<DiffRow>& rows() const { return m_rows; }
    // The row at an index in range.
    const DiffRow& rowAt(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole: both sides as "left │ right" (for accessibility and copying); RowRole: the row.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QList<DiffRow> m_rows;
};
