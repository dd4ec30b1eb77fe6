#include "vault/views/SecureNotesView.h"

#include "shell/ScreenState.h"
#include "ui-kit/QKAlert.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKRule.h"
#include "ui-kit/QKSymbolButton.h"
#include "vault/SecureNoteListModel.h"
#include "vault/SecureNotesStore.h"
#include "vault/SecureNotesText.h"
#include "vault/views/SecureNoteEditor.h"
#include "vault/views/SecureNoteList.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QVBoxLayout>

SecureNotesView::SecureNotesView(ScreenState& screen, SecureNotesStore& store, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_store(store) {
    setObjectName(QStringLiteral("secureNotesView"));
    setWindowTitle(SecureNotesText::windowTitle());
    QWidget* detail = nullptr;
    using namespace QKLayout;
    // The list pane; a rule; the detail pane, which holds the empty state or the selected note's
    // editor.
    flushRow({
                 buildList(),
                 new QKRule(Qt::Vertical, this),
                 part(detail = new QWidget(this))
                     .name(QStringLiteral("vaultDetail"))
                     .stretch(1)
                     .holding(column({0, 0, 0, 0}, -1,
                                     {
                                         part(m_empty = new QKEmptyState(
                                                  SecureNotesText::emptyTitle(),
                                                  SecureNotesText::emptySymbol(),
                                                  SecureNotesText::emptyMessage(), detail))
                                             .name(QStringLiteral("vaultEmptyState")),
                                     })
                                  .keep(m_detail)),
             })
        .on(this);
    follow();
    m_heldNote->setVisible(store.savesHeld());
    showIndexFailure();
    showSelection();
    showDetail();
    showError();
}

QWidget* SecureNotesView::buildList() {
    // The model follows the store before the screen's own slots do.
    m_model = new SecureNoteListModel(m_store, this);
    const auto note = [](QLabel* label) { label->setContentsMargins(10, 6, 10, 10); };
    QWidget* list = nullptr;
    using namespace QKLayout;
    // The notes under their heading and "plus", the notes about saving under them.
    part(list = new QWidget(this))
        .name(QStringLiteral("vaultList"))
        .with([](QWidget* w) { w->setFixedWidth(260); })
        .holding(flushColumn({
            row({10, 10, 10, 10}, -1,
                {
                    QKBuild::label(SecureNotesText::listHeading(), TextStyle::Headline,
                                   QKForeground::Primary, list, std::nullopt, false),
                    stretch(1),
                    part(m_new = new QKSymbolButton(QStringLiteral("plus"), QKForeground::Primary,
                                                    QKFont{.style = TextStyle::Headline}, list))
                        .name(QStringLiteral("newSecretButton"))
                        .accessibleName(SecureNotesText::newSecretTitle()),
                }),
            new QKHairline(list),
            part(m_notes = new SecureNoteList(*m_model, list))
                .accessibleName(SecureNotesText::listHeading())
                .stretch(1),
            part(m_heldNote = QKBuild::label(SecureNotesText::savesHeldNote(), TextStyle::Caption,
                                             QKForeground::Orange, list))
                .name(QStringLiteral("savesHeldNote"))
                .with(note),
            part(m_indexNote =
                     QKBuild::label(QString(), TextStyle::Caption, QKForeground::Orange, list))
                .name(QStringLiteral("indexUnsavedNote"))
                .with(note),
        }));
    return list;
}

void SecureNotesView::follow() {
    connect(m_new, &QAbstractButton::clicked, this, &SecureNotesView::newSecret);
    connect(&m_store, &SecureNotesStore::notesChanged, this, [this] {
        showSelection();
        showDetail();
    });
    // A row the user chose becomes the selection; the screen then shows its note.
    connect(m_notes->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList chosen = m_notes->selectionModel()->selectedIndexes();
        if (chosen.isEmpty())
            return;
        const QUuid id = chosen.first().data(SecureNoteListModel::IdRole).toUuid();
        if (m_screen.vaultSelection() != id)
            m_screen.setVaultSelection(id);
    });
    connect(&m_store, &SecureNotesStore::lastErrorChanged, this, &SecureNotesView::showError);
    connect(&m_store, &SecureNotesStore::savesHeldChanged, this, [this](bool held) {
        m_heldNote->setVisible(held);
        showIndexFailure();
    });
    connect(&m_store, &SecureNotesStore::indexFailureChanged, this,
            &SecureNotesView::showIndexFailure);
    connect(&m_screen, &ScreenState::vaultSelectionChanged, this, [this] {
        showSelection();
        showDetail();
    });
}

void SecureNotesView::newSecret() {
    // A refusal or a keyring that does not answer shows through the store's message.
    m_store.create(SecureNotesText::newSecretTitle(), this,
                   [this](SecureNotesStore::Outcome, const std::optional<SecureNote>& made) {
                       if (made)
                           m_screen.setVaultSelection(made->id);
                   });
}

void SecureNotesView::showIndexFailure() {
    // While the index is held, its own note already says that changes stay in memory.
    const std::optional<QString> failure = m_store.indexFailure();
    m_indexNote->setText(failure ? SecureNotesText::indexUnsaved(*failure) : QString());
    m_indexNote->setVisible(failure && !m_store.savesHeld());
}

void SecureNotesView::showSelection() {
    m_notes->select(m_screen.vaultSelection());
}

void SecureNotesView::showDetail() {
    const std::optional<QUuid>& selected = m_screen.vaultSelection();
    const std::optional<SecureNote> note = selected ? m_store.note(*selected) : std::nullopt;
    if (m_editor && note && m_editor->noteId() == note->id)
        return;
    if (m_editor) {
        m_editor->saveNow();
        // Later, not now: this may run inside the editor's own delete confirmation.
        m_editor->hide();
        m_detail->removeWidget(m_editor);
        m_editor->deleteLater();
        m_editor = nullptr;
    }
    if (note) {
        m_editor = new SecureNoteEditor(m_store, *note, m_empty->parentWidget());
        m_detail->addWidget(m_editor);
        m_empty->hide();
        m_editor->show();
    } else {
        m_empty->show();
    }
}

void SecureNotesView::showError() {
    QKAlert::follow(m_alert, SecureNotesText::alertTitle(), m_store.lastError(),
                    QStringLiteral("keyringAlert"), this, [this] {
                        if (m_store.lastError())
                            m_store.setLastError(std::nullopt);
                    });
}
