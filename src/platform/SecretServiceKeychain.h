#pragma once

#include "platform/Keychain.h"

// The vault's keyring on Linux: the Secret Service (GNOME Keyring, KWallet and others) through
// libsecret's synchronous calls. Items go to the default collection, labelled "Pendrel secure
// note", with the attributes service and account, and no others; the search that finds them
// matches both, so an item of another service with the same account is never touched.
//
// A locked collection is unlocked through the service's own prompt, which belongs to the
// desktop. An item that stays locked (the prompt was dismissed or refused) fails every call with a
// reason: it is never read as "no item", so nothing takes its place. With no Secret Service on the
// session bus every call fails with a reason.
class SecretServiceKeychain final : public Keychain {
public:
    [[nodiscard]] bool save(const QString& account, const QString& value,
                            QString* reason = nullptr) override;
    Read read(const QString& account) override;
    RemoveStatus remove(const QString& account, QString* reason = nullptr) override;
};
