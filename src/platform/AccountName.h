#pragma once

#include <QByteArray>
#include <QString>

// The full name of the account the app runs as, for greeting the user by name.
class AccountName {
public:
    virtual ~AccountName() = default;
    // The account's full name as the user database records it; empty when it records none or
    // cannot be asked.
    virtual QString fullName() const = 0;
};

// The name from the passwd entry of the process's real user (the first field of its GECOS
// comment), which is what the desktop's account settings write.
class PasswdAccountName final : public AccountName {
public:
    QString fullName() const override;

    // The full name in a GECOS comment: the text before the first comma, with each "&" standing
    // for the login name with its first letter capitalised (the old convention some systems
    // still write). Decoded as UTF-8.
    static QString fromGecos(const QByteArray& gecos, const QByteArray& login);
};
