#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

// The words of the vault: its store's messages, the vault screen and the note editor.
namespace SecureNotesText {

// ---- Store
QString untitled();       // the title of a note saved without one
QString createRefused();  // a new note's empty secret was refused
QString saveRefused();    // a saved secret was refused; the previous one stands
QString deleteRefused();  // the keyring kept the item, so the note stays listed
QString savesHeldNote();  // the index could neither be read nor set aside
QString createTimedOut(); // a new note's keyring step got no answer in time
QString deleteTimedOut(); // the removal got no answer in time, so the note stays listed
QString deleteUnsaved();  // the secret went, the index without the note could not be written
// Under the list while the index cannot be written; reason is the writer's one line.
QString indexUnsaved(const QString& reason);

// ---- Vault screen
QString windowTitle(); // "Privacy"
QString alertTitle();
QString listHeading();
QString newSecretTitle();
QString emptyTitle();
QString emptySymbol();
QString emptyMessage();
// The date under a row's title: day, abbreviated month, hour and minute in the locale's order
// and clock ("9 Dec, 14:05" in en_GB, "Dec 9, 2:05 PM" in en_US).
QString rowDate(const QDateTime& date, const QLocale& locale = QLocale(),
                const QTimeZone& zone = QTimeZone::systemTimeZone());

// ---- Note editor
QString titlePlaceholder();
QString secretHeading();
QString revealButton(bool revealed); // "Reveal" while hidden, "Hide" while shown
QString copyButton();
QString copiedMark();
QString footer();
QString deleteButton();
QString deleteTitle();
QString deleteMessage();
QString deleteVerb();
// Shown instead of the secret when it could not be read: nothing can overwrite it from here.
QString readFailed();
// Shown instead of the secret when the keyring gave no answer in time.
QString readTimedOut();
QString reading(); // while the secret is being read
QString retryButton();
// The line under the secret about its saving: empty when all is saved.
QString saving();
QString saveTimedOut();     // the last change got no answer in time
QString saveRefusedLine();  // the keyring refused the last change
QString notSavedInMemory(); // a note the index does not name: nothing of it is kept
QString titleInMemory();    // the secret is saved, the title and time only in memory

// User-perceived characters (grapheme clusters), so "é" written as two code points counts once.
int characterCount(const QString& secret);
// Groups of four bullets joined by single spaces: one group per four characters of the secret,
// counted between 8 and 200, so the length shows only roughly (2 to 50 groups).
QString maskedSecret(const QString& secret);
// "1 character", otherwise "<n> characters" (0 included).
QString characterCountLine(const QString& secret);

} // namespace SecureNotesText
