#include "vault/SecureNotesText.h"

#include "platform/DisplayText.h"

#include <algorithm>
#include <QStringList>

namespace SecureNotesText {

QString untitled() {
    return QStringLiteral("Untitled");
}

QString createRefused() {
    return QStringLiteral("Couldn't create the secure note. The keyring refused to save it.");
}

QString saveRefused() {
    return QStringLiteral(
        "Couldn't save this secret to the keyring. Your previous value is unchanged.");
}

QString deleteRefused() {
    return QStringLiteral(
        "Couldn't remove this secret from the keyring, so it is still in your vault.");
}

QString savesHeldNote() {
    return QStringLiteral("Pendrel could not read the saved list of secure notes and could not "
                          "set it aside, so changes to the list are kept in memory only.");
}

QString createTimedOut() {
    return QStringLiteral("Couldn't create the secure note. The keyring didn't answer in time.");
}

QString deleteTimedOut() {
    return QStringLiteral("Couldn't remove this secret: the keyring didn't answer in time, so it "
                          "is still in your vault.");
}

QString deleteUnsaved() {
    return QStringLiteral("Couldn't remove this secret: the list of secure notes couldn't be "
                          "saved, so it is still in your vault.");
}

QString indexUnsaved(const QString& reason) {
    return QStringLiteral("Couldn't save the list of secure notes (%1). New notes and title "
                          "changes are kept in memory only until it can be saved.")
        .arg(reason);
}

QString alertTitle() {
    return QStringLiteral("Keyring problem");
}

QString listHeading() {
    return QStringLiteral("Secure notes");
}

QString newSecretTitle() {
    return QStringLiteral("New secret");
}

QString emptyTitle() {
    return QStringLiteral("Your secure vault");
}

QString emptySymbol() {
    return QStringLiteral("lock.doc");
}

QString emptyMessage() {
    return QStringLiteral("A safe place for API keys, passwords and licence codes. Everything is "
                          "encrypted in the system keyring, not saved as plain text.");
}

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

QString titlePlaceholder() {
    return QStringLiteral("Title");
}

QString secretHeading() {
    return QStringLiteral("Secret");
}

QString revealButton(bool revealed) {
    return revealed ? QStringLiteral("Hide") : QStringLiteral("Reveal");
}

QString copyButton() {
    return QStringLiteral("Copy");
}

QString copiedMark() {
    return QStringLiteral("Copied");
}

QString footer() {
    return QStringLiteral("Encrypted in the system keyring");
}

QString deleteButton() {
    return QStringLiteral("Delete");
}

QString deleteTitle() {
    return QStringLiteral("Delete this secret?");
}

QString deleteMessage() {
    return QStringLiteral("This removes it from the keyring for good. It is not moved to the "
                          "Trash and cannot be recovered.");
}

QString deleteVerb() {
    return QStringLiteral("Delete forever");
}

QString readFailed() {
    return QStringLiteral("Couldn't read this secret from the keyring. It is left as it is, and "
                          "nothing here can change it until it can be read.");
}

QString readTimedOut() {
    return QStringLiteral("The keyring didn't answer in time. This secret is left as it is, and "
                          "nothing here can change it until it can be read.");
}

QString reading() {
    return QStringLiteral("Reading from the keyring\u2026");
}

QString saving() {
    return QStringLiteral("Saving\u2026");
}

QString saveTimedOut() {
    return QStringLiteral("Not saved: the keyring didn't answer in time.");
}

QString saveRefusedLine() {
    return QStringLiteral("Not saved: the keyring refused it.");
}

QString notSavedInMemory() {
    return QStringLiteral("Not saved: the list of secure notes couldn't be saved, so this note "
                          "is kept in memory only.");
}

QString titleInMemory() {
    return QStringLiteral("The secret is saved; the title is kept in memory only.");
}

QString retryButton() {
    return QStringLiteral("Try again");
}

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
