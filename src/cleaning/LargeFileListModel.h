#pragma once

#include "cleaning/BigFile.h"
#include "platform/BatchedListModel.h"

#include <QUuid>

// The large-file list as a model, one item per BigFile in list order (largest first). Fed by
// LargeFilesScanner only: emptied when a scan starts, filled when it ends, shortened by a move
// to the Trash.
class LargeFileListModel : public BatchedListModel<BigFile> {
    Q_OBJECT
public:
    enum Role {
        FileRole = Qt::UserRole + 1, // the BigFile
        IdRole,                      // its id (QUuid)
    };

    using BatchedListModel<BigFile>::BatchedListModel;

    // DisplayRole and AccessibleTextRole: the file name; AccessibleDescriptionRole: its size,
    // folder and age (BiggestFilesText::rowDescription, now); ToolTipRole: the full path; FileRole
    // and IdRole as above.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The row of the file with this id, or -1.
    int rowOf(const QUuid& id) const;
};
