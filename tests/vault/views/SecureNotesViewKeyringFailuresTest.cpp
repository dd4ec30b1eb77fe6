// The vault screen when the keyring lets it down: a secret that could not be read is never
// overwritten, a refusal says so, and a keyring that does not answer never holds up the screen.
#include "vault/views/SecureNotesViewTestSupport.h"

using namespace vaultviewtest;

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
