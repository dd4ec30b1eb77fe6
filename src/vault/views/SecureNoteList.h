#pragma once

#include <optional>
#include <QListView>
#include <QUuid>

class SecureNoteListModel;

// The vault's list of notes (SecureNoteListModel), drawn a row each by SecureNoteDelegate, no
// widget per note: each row its title on one line (elided) over its date, the selected one on
// the accent colour in white. The selection is one note, and only the user's choice changes it:
// a click, or Space or Return on the current row (the arrows move the current row, which wears
// the focus ring, without selecting, so going past notes never opens them). The screen follows
// the selection (selectionModel()) and sets it (select()).
class SecureNoteList : public QListView {
    Q_OBJECT
public:
    SecureNoteList(SecureNoteListModel& model, QWidget* parent = nullptr);

    // Selects the row of this id, or none.
    void select(const std::optional<QUuid>& id);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    SecureNoteListModel& m_model;
};
