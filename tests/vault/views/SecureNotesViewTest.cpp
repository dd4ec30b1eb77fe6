// The vault screen and the note editor over an in-memory keyring: what they show, what reaches
// the store and when, and how the notes reach the keyboard and assistive technology.
#include "vault/views/SecureNotesViewTestSupport.h"

using namespace vaultviewtest;

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
