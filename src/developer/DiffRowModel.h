#pragma once

#include "platform/BatchedListModel.h"
#include "shell/DiffRow.h"

// The rows of one line diff as a list model, one item per row in order. The rows arrive all
// at once (a diff is computed whole), so a new list resets the model. The list is shared with
// whoever handed it over, not copied.
class DiffRowModel : public BatchedListModel<DiffRow> {
    Q_OBJECT
public:
    enum Role {
        RowRole = Qt::UserRole + 1, // the DiffRow
    };

    using BatchedListModel<DiffRow>::BatchedListModel;

    void setRows(const QList<DiffRow>& rows) { reset(rows); }

    // DisplayRole: both sides as "left │ right" (for accessibility and copying); RowRole: the row.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
