#pragma once

#include <QStyledItemDelegate>

// Paints one note of the vault's list (SecureNoteListModel::NoteRole) in the row's rectangle:
// its title in the list's font on one line, cut at the end, over its date in the small caption
// font; on the accent colour in white when selected, and inside the focus ring when it is the
// current row of a list that has the keyboard's focus. Every row is the same height.
class SecureNoteDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
