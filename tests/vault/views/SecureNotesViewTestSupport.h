#pragma once

// The vault screen over an in-memory keyring, shown, with the note editor it opens.
#include "fakes/FakeClock.h"
#include "fakes/FakeKeychain.h"
#include "platform/CacheFolderTestSupport.h"
#include "platform/JsonFields.h"
#include "shell/ScreenState.h"
#include "support/Find.h"
#include "support/TestSupport.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKEmptyState.h"
#include "vault/SecureNoteListModel.h"
#include "vault/SecureNotesStore.h"
#include "vault/SecureNotesText.h"
#include "vault/views/SecureNoteEditor.h"
#include "vault/views/SecureNotesView.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QAccessible>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

namespace vaultviewtest {

// The editor in the detail pane, or null while the empty state shows: one that is being replaced
// is hidden until it goes.
inline SecureNoteEditor* editorOf(const SecureNotesView* view) {
    for (SecureNoteEditor* editor : view->findChildren<SecureNoteEditor*>())
        if (!editor->isHidden())
            return editor;
    return nullptr;
}

class VaultScreen : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testsupport::freshDir(QStringLiteral("vault-screen")) + QStringLiteral("/Pendrel");
        store =
            std::make_unique<SecureNotesStore>(CacheFolder(AppSupportFolder(dir)), keychain, clock);
        view = std::make_unique<SecureNotesView>(screen, *store);
        view->resize(900, 600);
        view->show();
    }
    void TearDown() override {
        keychain->release();
        view.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThreadPool::globalInstance()->waitForDone();
    }

    // Until typing has had its pause and every keyring job has ended and been applied.
    bool settle(int timeoutMs = 5000) {
        return testsupport::waitFor(
            [&] {
                SecureNoteEditor* e = view ? editorOf(view.get()) : nullptr;
                return !store->isBusy() && !(e && e->awaitsPause());
            },
            timeoutMs);
    }

    QByteArray index() const {
        QFile f(dir + QStringLiteral("/secure-notes-index.json"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    SecureNote addNote(const QString& title, const QString& secret) {
        std::optional<SecureNote> made;
        store->create(
            title, store.get(),
            [&](SecureNotesStore::Outcome, const std::optional<SecureNote>& m) { made = m; });
        EXPECT_TRUE(settle());
        EXPECT_TRUE(made);
        store->save(made->id, title, secret);
        EXPECT_TRUE(settle());
        clock->advance(60);
        return *store->note(made->id);
    }
    // Selects the note and waits until its editor has read it.
    SecureNoteEditor* select(const SecureNote& note) {
        SecureNoteEditor* editor = selectNow(note);
        EXPECT_TRUE(settle());
        return editor;
    }
    SecureNoteEditor* selectNow(const SecureNote& note) {
        screen.setVaultSelection(note.id);
        return editorOf(view.get());
    }
    void typeSecret(SecureNoteEditor* editor, const QString& text) {
        Find::part<QPlainTextEdit>(editor, "secretEditor")->moveCursor(QTextCursor::End);
        QTest::keyClicks(Find::part<QPlainTextEdit>(editor, "secretEditor"), text);
    }
    // The list of notes, and what its rows hold and show.
    QListView* notes() const { return view->findChild<QListView*>(QStringLiteral("vaultNotes")); }
    int rowCount() const { return notes()->model()->rowCount(); }
    SecureNote rowNote(int row) const {
        return notes()
            ->model()
            ->index(row, 0)
            .data(SecureNoteListModel::NoteRole)
            .value<SecureNote>();
    }
    bool rowSelected(int row) const {
        return notes()->selectionModel()->isSelected(notes()->model()->index(row, 0));
    }
    void clickRow(int row) {
        QCoreApplication::processEvents(); // the list lays its rows out
        const QRect at = notes()->visualRect(notes()->model()->index(row, 0));
        ASSERT_FALSE(at.isEmpty());
        QTest::mouseClick(notes()->viewport(), Qt::LeftButton, {}, at.center());
    }
    QStringList rowTitles() const {
        QStringList t;
        for (int row = 0; row < rowCount(); ++row)
            t << rowNote(row).title;
        return t;
    }
    void confirmDelete(SecureNoteEditor* editor) {
        QTest::mouseClick(editor->deleteButton(), Qt::LeftButton);
        DeleteCodeSheet* sheet = editor->deleteConfirm()->sheet();
        ASSERT_NE(sheet, nullptr);
        sheet->entryField()->setText(sheet->code());
        QTest::mouseClick(sheet->confirmButton(), Qt::LeftButton);
    }

    QString dir;
    std::shared_ptr<FakeKeychain> keychain = std::make_shared<FakeKeychain>();
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    ScreenState screen;
    std::unique_ptr<SecureNotesStore> store;
    std::unique_ptr<SecureNotesView> view;
};

} // namespace vaultviewtest
