#include "vault/SecureNotesText.h"

#include "platform/DisplayText.h"
#include "platform/TextConstant.h"

#include <algorithm>
#include <QStringList>

namespace SecureNotesText {

PENDREL_TEXT(untitled, "Untitled")
PENDREL_TEXT(createRefused, "Couldn't create the secure note. The keyring refused to save it.")
PENDREL_TEXT(saveRefused,
             "Couldn't save this secret to the keyring. Your previous value is unchanged.")
PENDREL_TEXT(deleteRefused,
             "Couldn't remove this secret from the keyring, so it is still in your vault.")
PENDREL_TEXT(savesHeldNote, "Pendrel could not read the saved list of secure notes and could not "
                            "set it aside, so changes to the list are kept in memory only.")
PENDREL_TEXT(createTimedOut, "Couldn't create the secure note. The keyring didn't answer in time.")
PENDREL_TEXT(deleteTimedOut,
             "Couldn't remove this secret: the keyring didn't answer in time, so it "
             "is still in your vault.")
PENDREL_TEXT(deleteUnsaved, "The secret was removed from the keyring, but the list of secure notes "
                            "couldn't be saved, so its title may show again until it can be saved.")

QString indexUnsaved(const QString& reason) {
    return QStringLiteral("Couldn't save the list of secure notes (%1). New notes and title "
                          "changes are kept in memory only until it can be saved.")
        .arg(reason);
}

PENDREL_TEXT(windowTitle, "Privacy")
PENDREL_TEXT(alertTitle, "Keyring problem")
PENDREL_TEXT(listHeading, "Secure notes")
PENDREL_TEXT(newSecretTitle, "New secret")
PENDREL_TEXT(emptyTitle, "Your secure vault")
PENDREL_TEXT(emptySymbol, "lock.doc")
PENDREL_TEXT(emptyMessage, "A safe place for API keys, passwords and licence codes. Everything is "
                           "encrypted in the system keyring, not saved as plain text.")

QString rowDate(const QDateTime& date, const QLocale& locale, const QTimeZone& zone) {
    const QDateTime local = date.toTimeZone(zone);
    // The locale's short date tells whether the month comes before the day.
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype month = shortDate.indexOf(QLatin1Char('M'));
    const qsizetype day = shortDate.indexOf(QLatin1Char('d'));
    const bool monthFirst = month >= 0 && day >= 0 && month < day;
    const QString dayMonth = monthFirst ? QStringLiteral("MMM d") : QStringLiteral("d MMM");
    // Hour and minute only (some locales' short time has seconds), on the locale's clock.
    const bool twelveHour =
        locale.timeFormat(QLocale::ShortFormat).contains(QLatin1Char('a'), Qt::CaseInsensitive);
    const QString time = twelveHour ? QStringLiteral("h:mm AP") : QStringLiteral("HH:mm");
    return locale.toString(local, dayMonth + QStringLiteral(", ") + time);
}

PENDREL_TEXT(titlePlaceholder, "Title")
PENDREL_TEXT(secretHeading, "Secret")

QString revealButton(bool revealed) {
    return revealed ? QStringLiteral("Hide") : QStringLiteral("Reveal");
}

PENDREL_TEXT(copyButton, "Copy")
PENDREL_TEXT(copiedMark, "Copied")
PENDREL_TEXT(footer, "Encrypted in the system keyring")
PENDREL_TEXT(deleteButton, "Delete")
PENDREL_TEXT(deleteTitle, "Delete this secret?")
PENDREL_TEXT(deleteMessage, "This removes it from the keyring for good. It is not moved to the "
                            "Trash and cannot be recovered.")
PENDREL_TEXT(deleteVerb, "Delete forever")
PENDREL_TEXT(readFailed, "Couldn't read this secret from the keyring. It is left as it is, and "
                         "nothing here can change it until it can be read.")
PENDREL_TEXT(readTimedOut, "The keyring didn't answer in time. This secret is left as it is, and "
                           "nothing here can change it until it can be read.")
PENDREL_TEXT(reading, "Reading from the keyring\u2026")
PENDREL_TEXT(saving, "Saving\u2026")
PENDREL_TEXT(saveTimedOut, "Not saved: the keyring didn't answer in time.")
PENDREL_TEXT(saveRefusedLine, "Not saved: the keyring refused it.")
PENDREL_TEXT(notSavedInMemory,
             "Not saved: the list of secure notes couldn't be saved, so this note "
             "is kept in memory only.")
PENDREL_TEXT(titleInMemory, "The secret is saved; the title is kept in memory only.")
PENDREL_TEXT(retryButton, "Try again")

int characterCount(const QString& secret) {
    return int(DisplayText::perceivedLength(secret));
}

QString maskedSecret(const QString& secret) {
    const int n = std::clamp(characterCount(secret), 8, 200);
    const int groups = (n + 3) / 4;
    QStringList parts;
    parts.reserve(groups);
    for (int i = 0; i < groups; ++i)
        parts.append(QStringLiteral("\u2022\u2022\u2022\u2022"));
    return parts.join(QLatin1Char(' '));
}

QString characterCountLine(const QString& secret) {
    const int n = characterCount(secret);
    return n == 1 ? QStringLiteral("1 character") : QStringLiteral("%1 characters").arg(n);
}

} // namespace SecureNotesText
