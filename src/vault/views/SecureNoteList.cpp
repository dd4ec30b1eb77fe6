#include "vault/views/SecureNoteList.h"

#include "ui-kit/QKFont.h"
#include "ui-kit/QKRowList.h"
#include "vault/SecureNoteListModel.h"
#include "vault/views/SecureNoteDelegate.h"

#include <QKeyEvent>

SecureNoteList::SecureNoteList(SecureNoteListModel& model, QWidget* parent)
    : QListView(parent), m_model(model) {
    setObjectName(QStringLiteral("vaultNotes"));
    QKFont::apply(this, TextStyle::Body);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::PointingHandCursor);
    // Rows 6 points in from every edge and 2 apart: the list puts its spacing of 1 around each
    // row, inside 5 of margin.
    setViewportMargins(5, 5, 5, 5);
    setSpacing(1);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFocusPolicy(Qt::StrongFocus);
    setItemDelegate(new SecureNoteDelegate(this));
    setModel(&model);
}

void SecureNoteList::select(const std::optional<QUuid>& id) {
    const int row = id ? m_model.rowOf(*id) : -1;
    if (row < 0) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex at = m_model.index(row);
    if (!selectionModel()->isSelected(at))
        selectionModel()->select(at, QItemSelectionModel::ClearAndSelect);
}

QItemSelectionModel::SelectionFlags SecureNoteList::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const {
    // Moving the current row, by a key or by focus coming in, selects nothing.
    if (!event || event->type() == QEvent::KeyPress)
        return QItemSelectionModel::NoUpdate;
    return QListView::selectionCommand(index, event);
}

void SecureNoteList::keyPressEvent(QKeyEvent* event) {
    if (currentIndex().isValid() && QKRowList::isActivationKey(event)) {
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}
