#pragma once

#include "platform/BatchedListModel.h"
#include "vault/SecureNote.h"

#include <QPointer>

class SecureNotesStore;

// The vault's list of notes: the store's notes in the store's order. It follows the store by
// itself: when the same notes stay in the same order (a title edited, a note saved) the changed
// rows are updated in place, so the view's current row and selection stay; anything else
// replaces the rows in one reset.
class SecureNoteListModel : public BatchedListModel<SecureNote> {
    Q_OBJECT
public:
    enum Role {
        NoteRole = Qt::UserRole + 1, // the SecureNote
        IdRole,                      // its id (QUuid)
    };

    explicit SecureNoteListModel(SecureNotesStore& store, QObject* parent = nullptr);

    // Display and accessible text: the title. Accessible description: the date the row shows.
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The row of the note with this id, or -1.
    int rowOf(const QUuid& id) const;

private:
    void sync();

    QPointer<SecureNotesStore> m_store;
};
