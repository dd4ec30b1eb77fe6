// The vault screen and the note editor over an in-memory keyring: what they show, what reaches
// the store and when, that a secret that could not be read is never overwritten, and that a
// keyring that does not answer never holds up the screen.
#include "vault/views/SecureNotesView.h"
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

namespace {

// The editor in the detail pane, or null while the empty state shows: one that is being replaced
// is hidden until it goes.
SecureNoteEditor* editorOf(const SecureNotesView* view) {
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

} // namespace

TEST_F(VaultScreen, WithNoNotesOnlyTheHeaderAndTheEmptyVault) {
    EXPECT_TRUE(rowCount() == 0);
    EXPECT_EQ(editorOf(view.get()), nullptr);
    EXPECT_TRUE(Find::part<QKEmptyState>(view.get(), "vaultEmptyState")->isVisible());
    EXPECT_EQ(Find::part<QKEmptyState>(view.get(), "vaultEmptyState")->title(),
              "Your secure vault");
    EXPECT_FALSE(Find::part<QLabel>(view.get(), "savesHeldNote")->isVisible());
}

TEST_F(VaultScreen, PlusTwiceMakesTwoRowsAndSelectsTheSecond) {
    QTest::mouseClick(Find::part<QAbstractButton>(view.get(), "newSecretButton"), Qt::LeftButton);
    ASSERT_TRUE(settle());
    QTest::mouseClick(Find::part<QAbstractButton>(view.get(), "newSecretButton"), Qt::LeftButton);
    ASSERT_TRUE(settle());
    ASSERT_EQ(rowCount(), 2);
    EXPECT_EQ(rowTitles(), (QStringList{"New secret", "New secret"}));
    EXPECT_NE(rowNote(0).id, rowNote(1).id);
    EXPECT_EQ(screen.vaultSelection(), rowNote(0).id);
    EXPECT_TRUE(rowSelected(0));
    EXPECT_FALSE(rowSelected(1));
    ASSERT_NE(editorOf(view.get()), nullptr);
    EXPECT_EQ(editorOf(view.get())->noteId(), rowNote(0).id);
    EXPECT_FALSE(Find::part<QKEmptyState>(view.get(), "vaultEmptyState")->isVisible());

    // Clicking the other row selects it and gives it an editor of its own.
    clickRow(1);
    EXPECT_EQ(editorOf(view.get())->noteId(), rowNote(1).id);
    ASSERT_TRUE(settle());
}

TEST_F(VaultScreen, OpeningANoteShowsItMaskedAndSavesNothing) {
    const SecureNote note = addNote(QStringLiteral("Router"), QStringLiteral("123456789"));
    const QByteArray before = index();
    keychain->clearCalls();
    SecureNoteEditor* editor = select(note);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isLoaded());
    EXPECT_EQ(keychain->calls(), QStringList{"read " + note.account()});
    EXPECT_EQ(index(), before);
    EXPECT_EQ(Find::part<QLineEdit>(editor, "noteTitleField")->text(), "Router");
    EXPECT_FALSE(editor->isRevealed());
    EXPECT_EQ(editor->revealButton()->text(), "Reveal");
    EXPECT_EQ(Find::part<QLabel>(editor, "maskedSecret")->text(),
              SecureNotesText::maskedSecret("123456789"));
    EXPECT_EQ(Find::part<QLabel>(editor, "characterCount")->text(), "9 characters");
    EXPECT_FALSE(Find::part<QLabel>(editor, "maskedSecret")->text().contains("1234"));
}

TEST_F(VaultScreen, ATitleEditWhileHiddenSavesItWithTheLoadedSecretAndTheRowChangesInPlace) {
    const SecureNote older = addNote(QStringLiteral("older"), QStringLiteral("a"));
    const SecureNote note = addNote(QStringLiteral("Router"), QStringLiteral("s3cret"));
    EXPECT_EQ(rowTitles(), (QStringList{"Router", "older"}));
    SecureNoteEditor* editor = select(older);
    clock->advance(3600);
    Find::part<QLineEdit>(editor, "noteTitleField")->setText(QStringLiteral("Wi-Fi"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(keychain->items().value(older.account()), "a") << "the secret stays as loaded";
    EXPECT_EQ(rowTitles(), (QStringList{"Router", "Wi-Fi"})) << "in place, not moved";
    EXPECT_EQ(rowNote(1).updated, secondsSinceReferenceDate(clock->now()));
    EXPECT_EQ(editorOf(view.get()), editor) << "the same editor goes on";

    Find::part<QLineEdit>(editor, "noteTitleField")->clear();
    ASSERT_TRUE(settle());
    EXPECT_EQ(Find::part<QLineEdit>(editor, "noteTitleField")->text(), QString());
    EXPECT_EQ(rowTitles(), (QStringList{"Router", "Untitled"}));
    EXPECT_EQ(keychain->items().value(note.account()), "s3cret");
}

TEST_F(VaultScreen, RevealedTheSecretCanBeEditedAndEveryChangeIsSaved) {
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("abc"));
    SecureNoteEditor* editor = select(note);
    QTest::mouseClick(editor->revealButton(), Qt::LeftButton);
    EXPECT_TRUE(editor->isRevealed());
    EXPECT_EQ(editor->revealButton()->text(), "Hide");
    EXPECT_EQ(Find::part<QPlainTextEdit>(editor, "secretEditor")->toPlainText(), "abc");
    Find::part<QPlainTextEdit>(editor, "secretEditor")->setPlainText(QStringLiteral("abcd"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(keychain->items().value(note.account()), "abcd");
    EXPECT_FALSE(index().contains("abcd")) << "never in the index";
    QTest::mouseClick(editor->revealButton(), Qt::LeftButton);
    EXPECT_EQ(Find::part<QLabel>(editor, "characterCount")->text(), "4 characters");

    // Another note, then this one again: a fresh editor, hidden, reading the keyring again.
    const SecureNote other = addNote(QStringLiteral("Other"), QString());
    select(other);
    keychain->clearCalls();
    SecureNoteEditor* again = select(note);
    EXPECT_NE(again, nullptr);
    EXPECT_FALSE(again->isRevealed());
    EXPECT_EQ(keychain->calls(), QStringList{"read " + note.account()});
    EXPECT_EQ(again->body(), "abcd");
}

TEST_F(VaultScreen, CopyPutsTheWholeSecretOnTheClipboardAndTheMarkGoesAfterTwoSeconds) {
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("full-secret"));
    SecureNoteEditor* editor = select(note);
    QTest::mouseClick(editor->copyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "full-secret") << "not the bullets";
    EXPECT_TRUE(Find::part<QLabel>(editor, "copiedLabel")->isVisible());
    EXPECT_EQ(Find::part<QLabel>(editor, "copiedLabel")->text(), "Copied");
    QTest::qWait(1000);
    QTest::mouseClick(editor->copyButton(), Qt::LeftButton);
    EXPECT_TRUE(testsupport::waitFor([&] { return !editor->showsCopied(); }, 1900))
        << "a second copy does not restart the two seconds";
    EXPECT_FALSE(Find::part<QLabel>(editor, "copiedLabel")->isVisible());

    const SecureNote empty = addNote(QStringLiteral("Empty"), QString());
    QTest::mouseClick(select(empty)->copyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
}

TEST_F(VaultScreen, DeleteAsksForTheCodeThenRemovesTheNoteAndShowsTheEmptyVault) {
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("s"));
    SecureNoteEditor* editor = select(note);
    QTest::mouseClick(editor->deleteButton(), Qt::LeftButton);
    DeleteCodeSheet* sheet = editor->deleteConfirm()->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->confirmButton()->text(), "Delete forever");
    QTest::mouseClick(Find::part<QPushButton>(sheet, "deleteCodeCancel"), Qt::LeftButton);
    EXPECT_EQ(store->notes().size(), 1);
    EXPECT_TRUE(keychain->items().contains(note.account()));

    confirmDelete(editor);
    ASSERT_TRUE(settle());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(store->notes().isEmpty());
    EXPECT_FALSE(keychain->items().contains(note.account()));
    EXPECT_TRUE(rowCount() == 0);
    EXPECT_EQ(editorOf(view.get()), nullptr);
    EXPECT_TRUE(Find::part<QKEmptyState>(view.get(), "vaultEmptyState")->isVisible());
    EXPECT_EQ(screen.vaultSelection(), note.id) << "the stale id stays";
}

TEST_F(VaultScreen, ADeleteTheKeyringRefusesKeepsTheNoteAndSaysSo) {
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("s"));
    SecureNoteEditor* editor = select(note);
    keychain->failRemoves(QStringLiteral("prompt dismissed"));
    confirmDelete(editor);
    ASSERT_TRUE(settle());
    EXPECT_EQ(rowTitles(), QStringList{"Key"});
    EXPECT_EQ(editorOf(view.get()), editor);
    ASSERT_NE(Find::maybe<QMessageBox>(view.get(), "keyringAlert"), nullptr);
    EXPECT_EQ(Find::maybe<QMessageBox>(view.get(), "keyringAlert")->text(), "Keyring problem");
}

TEST_F(VaultScreen, AnUnreadableSecretIsNeverOverwrittenAndTheEditorSaysSo) {
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("precious"));
    keychain->failReads(QStringLiteral("collection is locked"));
    keychain->clearCalls();
    SecureNoteEditor* editor = select(note);
    EXPECT_TRUE(editor->readFailed());
    EXPECT_TRUE(Find::part<QLabel>(editor, "readFailure")->isVisible());
    EXPECT_EQ(Find::part<QLabel>(editor, "readFailure")->text(), SecureNotesText::readFailed());
    EXPECT_FALSE(Find::part<QLineEdit>(editor, "noteTitleField")->isEnabled());
    EXPECT_FALSE(editor->revealButton()->isEnabled());
    EXPECT_FALSE(editor->copyButton()->isEnabled());
    Find::part<QLineEdit>(editor, "noteTitleField")->setText(QStringLiteral("renamed"));
    editor->saveNow();
    ASSERT_TRUE(settle());
    EXPECT_EQ(keychain->calls(), QStringList{"read " + note.account()}) << "nothing saved";
    EXPECT_EQ(keychain->items().value(note.account()), "precious");

    keychain->failReads(std::nullopt);
    QTest::mouseClick(Find::part<QPushButton>(editor, "retryButton"), Qt::LeftButton);
    ASSERT_TRUE(settle());
    EXPECT_FALSE(editor->readFailed());
    EXPECT_EQ(editor->body(), "precious");
    EXPECT_TRUE(Find::part<QLineEdit>(editor, "noteTitleField")->isEnabled());
}

TEST_F(VaultScreen, AMissingItemIsAnEmptySecretSavedWithTheFirstChange) {
    const SecureNote note = addNote(QStringLiteral("Key"), QString());
    keychain->remove(note.account());
    SecureNoteEditor* editor = select(note);
    EXPECT_FALSE(editor->readFailed());
    EXPECT_EQ(Find::part<QLabel>(editor, "characterCount")->text(), "0 characters");
    QTest::mouseClick(editor->revealButton(), Qt::LeftButton);
    Find::part<QPlainTextEdit>(editor, "secretEditor")->setPlainText(QStringLiteral("x"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(keychain->items().value(note.account()), "x");
}

TEST_F(VaultScreen, ARefusedSaveShowsTheAlertAndOkClearsTheMessage) {
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("old"));
    SecureNoteEditor* editor = select(note);
    keychain->failSaves(QStringLiteral("denied"));
    QTest::mouseClick(editor->revealButton(), Qt::LeftButton);
    Find::part<QPlainTextEdit>(editor, "secretEditor")->setPlainText(QStringLiteral("new"));
    ASSERT_TRUE(settle());
    QMessageBox* alert = Find::maybe<QMessageBox>(view.get(), "keyringAlert");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "Keyring problem");
    EXPECT_EQ(alert->informativeText(), SecureNotesText::saveRefused());
    EXPECT_EQ(Find::part<QPlainTextEdit>(editor, "secretEditor")->toPlainText(), "new")
        << "the typed text stays";
    EXPECT_EQ(rowTitles(), QStringList{"Key"});
    EXPECT_EQ(Find::part<QLabel>(editor, "saveStatus")->text(), SecureNotesText::saveRefusedLine());
    alert->accept();
    EXPECT_TRUE(testsupport::waitFor([&] { return !store->lastError(); }));

    // The next change saves again.
    keychain->failSaves(std::nullopt);
    Find::part<QPlainTextEdit>(editor, "secretEditor")->setPlainText(QStringLiteral("newer"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(keychain->items().value(note.account()), "newer");
    EXPECT_FALSE(Find::part<QLabel>(editor, "saveStatus")->isVisible());
}

TEST_F(VaultScreen, AKeyringThatNeverAnswersLeavesTheScreenResponsiveAndTheEditorSaysSo) {
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("precious"));
    store->setTimeLimit(std::chrono::milliseconds(150));
    keychain->hold();
    QElapsedTimer stall;
    stall.start();
    SecureNoteEditor* editor = selectNow(note);
    // The keyring stays held, so a wait on it would never end; the bound only leaves room for
    // building the editor on a loaded machine.
    EXPECT_LT(stall.elapsed(), 500) << "selecting a note never waits on the keyring";
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isReading());
    EXPECT_EQ(Find::part<QLabel>(editor, "readFailure")->text(), SecureNotesText::reading());
    EXPECT_FALSE(Find::part<QPushButton>(editor, "retryButton")->isVisible());
    EXPECT_FALSE(Find::part<QLineEdit>(editor, "noteTitleField")->isEnabled());
    bool ticked = false;
    QTimer::singleShot(10, view.get(), [&] { ticked = true; });
    EXPECT_TRUE(testsupport::waitFor([&] { return ticked; }, 1000)) << "the event loop turns";

    ASSERT_TRUE(testsupport::waitFor([&] { return editor->readFailed(); }, 2000));
    EXPECT_EQ(Find::part<QLabel>(editor, "readFailure")->text(), SecureNotesText::readTimedOut());
    EXPECT_TRUE(Find::part<QPushButton>(editor, "retryButton")->isVisible());
    EXPECT_FALSE(Find::part<QLineEdit>(editor, "noteTitleField")->isEnabled());
    Find::part<QLineEdit>(editor, "noteTitleField")->setText(QStringLiteral("renamed"));
    editor->saveNow();
    EXPECT_EQ(keychain->calls().last(), "read " + note.account()) << "nothing saved";

    // When the keyring answers after all, the late answer is taken.
    keychain->release();
    ASSERT_TRUE(settle());
    EXPECT_FALSE(editor->readFailed());
    EXPECT_EQ(editor->body(), "precious");
    EXPECT_TRUE(Find::part<QLineEdit>(editor, "noteTitleField")->isEnabled());
    EXPECT_EQ(keychain->items().value(note.account()), "precious");
}

TEST_F(VaultScreen, ABurstOfKeystrokesIsSavedOnceWhenTypingPauses) {
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("abc"));
    SecureNoteEditor* editor = select(note);
    QTest::mouseClick(editor->revealButton(), Qt::LeftButton);
    keychain->clearCalls();
    typeSecret(editor, QStringLiteral("defghij"));
    EXPECT_TRUE(keychain->calls().isEmpty()) << "nothing while typing";
    EXPECT_TRUE(editor->awaitsPause());
    ASSERT_TRUE(settle());
    EXPECT_EQ(keychain->calls(), QStringList{"save " + note.account()});
    EXPECT_EQ(keychain->items().value(note.account()), "abcdefghij");
    EXPECT_FALSE(Find::part<QLabel>(editor, "saveStatus")->isVisible());
}

TEST_F(VaultScreen, LeavingANoteOrTheScreenSavesWhatIsTypedWithoutWaitingForThePause) {
    const SecureNote other = addNote(QStringLiteral("Other"), QStringLiteral("o"));
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("abc"));
    SecureNoteEditor* editor = select(note);
    QTest::mouseClick(editor->revealButton(), Qt::LeftButton);
    keychain->clearCalls();
    typeSecret(editor, QStringLiteral("d"));
    selectNow(other);
    ASSERT_TRUE(settle());
    EXPECT_EQ(keychain->calls(), (QStringList{"save " + note.account(), "read " + other.account()}))
        << "the save goes before the next note is read";
    EXPECT_EQ(keychain->items().value(note.account()), "abcd");

    Find::part<QLineEdit>(editorOf(view.get()), "noteTitleField")
        ->setText(QStringLiteral("Other renamed"));
    view.reset();
    ASSERT_TRUE(settle());
    EXPECT_EQ(store->note(other.id)->title, "Other renamed");
}

TEST_F(VaultScreen, ASaveWithNoAnswerShowsInTheEditorUntilTheAnswerComes) {
    const SecureNote note = addNote(QStringLiteral("Key"), QStringLiteral("abc"));
    SecureNoteEditor* editor = select(note);
    store->setTimeLimit(std::chrono::milliseconds(150));
    keychain->hold();
    Find::part<QLineEdit>(editor, "noteTitleField")->setText(QStringLiteral("Renamed"));
    editor->saveNow();
    EXPECT_EQ(Find::part<QLabel>(editor, "saveStatus")->text(), SecureNotesText::saving());
    EXPECT_TRUE(Find::part<QLabel>(editor, "saveStatus")->isVisible());
    ASSERT_TRUE(testsupport::waitFor(
        [&] {
            return Find::part<QLabel>(editor, "saveStatus")->text() ==
                   SecureNotesText::saveTimedOut();
        },
        2000));
    EXPECT_EQ(rowTitles(), QStringList{"Key"});
    keychain->release();
    ASSERT_TRUE(settle());
    EXPECT_FALSE(Find::part<QLabel>(editor, "saveStatus")->isVisible())
        << "the late answer was a save";
    EXPECT_EQ(rowTitles(), QStringList{"Renamed"});
}

TEST_F(VaultScreen, ANewNoteTheListCannotKeepSaysSoUnderTheListAndInTheEditor) {
    {
        cachefoldertest::FileSizeLimit limit(8);
        QTest::mouseClick(Find::part<QAbstractButton>(view.get(), "newSecretButton"),
                          Qt::LeftButton);
        ASSERT_TRUE(settle());
    }
    ASSERT_EQ(rowCount(), 1);
    SecureNoteEditor* editor = editorOf(view.get());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(keychain->items().isEmpty()) << "no secret the list does not name";
    EXPECT_EQ(Find::part<QLabel>(editor, "saveStatus")->text(),
              SecureNotesText::notSavedInMemory());
    EXPECT_TRUE(Find::part<QLabel>(editor, "saveStatus")->isVisible());
    EXPECT_TRUE(Find::part<QLabel>(view.get(), "indexUnsavedNote")->isVisible());
    EXPECT_TRUE(Find::part<QLabel>(view.get(), "indexUnsavedNote")
                    ->text()
                    .startsWith(QStringLiteral("Couldn't save the list of secure notes (")));
    EXPECT_EQ(Find::maybe<QMessageBox>(view.get(), "keyringAlert"), nullptr)
        << "the keyring did nothing wrong";

    // Once the list can be written, the first change keeps the note.
    QTest::mouseClick(editor->revealButton(), Qt::LeftButton);
    typeSecret(editor, QStringLiteral("k"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(keychain->items().value(rowNote(0).account()), "k");
    EXPECT_FALSE(Find::part<QLabel>(editor, "saveStatus")->isVisible());
    EXPECT_FALSE(Find::part<QLabel>(view.get(), "indexUnsavedNote")->isVisible());
    EXPECT_TRUE(index().contains(rowNote(0).account().toUtf8()));
}

// A vault of many notes costs what the rows on show cost: a note more makes no widget. The rows
// reach assistive technology by their titles and dates, and the keyboard moves past notes
// without opening them: Space or Return opens the current one.
TEST_F(VaultScreen, NotesAreDrawnNotMadeAndReachTheKeyboardAndAssistiveTechnology) {
    addNote(QStringLiteral("first"), QStringLiteral("a"));
    const qsizetype widgets = view->findChildren<QWidget*>().size();
    for (int i = 0; i < 30; ++i)
        addNote(QStringLiteral("note %1").arg(i), QStringLiteral("s"));
    ASSERT_EQ(rowCount(), 31);
    EXPECT_EQ(view->findChildren<QWidget*>().size(), widgets) << "no widget per note";

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(notes());
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->childCount(), 31);
    QAccessibleInterface* second = list->child(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->text(QAccessible::Name), rowNote(1).title);
    EXPECT_EQ(second->text(QAccessible::Description),
              SecureNotesText::rowDate(rowNote(1).updatedDateTime(), QLocale()));

    notes()->setFocus(Qt::TabFocusReason);
    notes()->setCurrentIndex(notes()->model()->index(0, 0));
    QTest::keyClick(notes(), Qt::Key_Down);
    QTest::keyClick(notes(), Qt::Key_Down);
    EXPECT_EQ(screen.vaultSelection(), std::nullopt) << "moving past notes opens none";
    EXPECT_EQ(editorOf(view.get()), nullptr);
    QTest::keyClick(notes(), Qt::Key_Space);
    EXPECT_EQ(screen.vaultSelection(), rowNote(2).id);
    EXPECT_TRUE(rowSelected(2));
    EXPECT_TRUE(second->state().selectable);
    EXPECT_TRUE(list->child(2)->state().selected);
    ASSERT_NE(editorOf(view.get()), nullptr);
    EXPECT_EQ(editorOf(view.get())->noteId(), rowNote(2).id);
    QTest::keyClick(notes(), Qt::Key_Up);
    QTest::keyClick(notes(), Qt::Key_Return);
    EXPECT_EQ(screen.vaultSelection(), rowNote(1).id);
    ASSERT_TRUE(settle());
}
