#include "vault/SecureNoteListModel.h"

#include "vault/SecureNotesStore.h"
#include "vault/SecureNotesText.h"

#include <QLocale>

SecureNoteListModel::SecureNoteListModel(SecureNotesStore& store, QObject* parent)
    : BatchedListModel(parent), m_store(&store) {
    connect(&store, &SecureNotesStore::notesChanged, this, &SecureNoteListModel::sync);
    sync();
}

void SecureNoteListModel::sync() {
    if (!m_store)
        return;
    const QList<SecureNote>& notes = m_store->notes();
    const QList<SecureNote>& current = rows();
    bool sameRows = notes.size() == current.size();
    for (qsizetype i = 0; sameRows && i < notes.size(); ++i)
        sameRows = notes.at(i).id == current.at(i).id;
    if (!sameRows) {
        reset(notes);
        return;
    }
    for (int i = 0; i < notes.size(); ++i)
        if (!(notes.at(i) == current.at(i)))
            replace(i, notes.at(i));
}

QVariant SecureNoteListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const SecureNote& note = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return note.title;
    case Qt::AccessibleDescriptionRole:
        return SecureNotesText::rowDate(note.updatedDateTime(), QLocale());
    case NoteRole:
        return QVariant::fromValue(note);
    case IdRole:
        return note.id;
    default:
        return {};
    }
}

Qt::ItemFlags SecureNoteListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int SecureNoteListModel::rowOf(const QUuid& id) const {
    return findRow([&id](const SecureNote& n) { return n.id == id; });
}
