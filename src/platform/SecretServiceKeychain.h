#pragma once

#include "platform/Keychain.h"

// GLib's own declaration, so this header does not pull GLib in.
typedef struct _GCancellable GCancellable;
typedef struct _GError GError;
typedef struct _SecretService SecretService;

// The vault's keyring on Linux: the Secret Service (GNOME Keyring, KWallet and others) through
// libsecret's synchronous calls. Items go to the default collection, labelled "Pendrel secure
// note", with the attributes service and account, and no others; the search that finds them
// matches both, so an item of another service with the same account is never touched.
//
// A locked collection is unlocked through the service's own prompt, which belongs to the
// desktop. An item that stays locked (the prompt was dismissed or refused) fails every call with a
// reason: it is never read as "no item", so nothing takes its place. With no Secret Service on the
// session bus every call fails with a reason.
//
// Every call carries the keychain's one cancellable, which abandon() triggers: the call then ends
// at once instead of waiting out the bus's time-out, an unlock prompt included (it is dismissed,
// and not waited for). A prompt the user dismisses ends the call as "still locked".
class SecretServiceKeychain final : public Keychain {
public:
    SecretServiceKeychain();
    ~SecretServiceKeychain() override;
    SecretServiceKeychain(const SecretServiceKeychain&) = delete;
    SecretServiceKeychain& operator=(const SecretServiceKeychain&) = delete;

    [[nodiscard]] bool save(const QString& account, const QString& value,
                            QString* reason = nullptr) override;
    Read read(const QString& account) override;
    RemoveStatus remove(const QString& account, QString* reason = nullptr) override;
    void abandon() override;

private:
    // The connection to the service, made by the first call; null (with error set) when it
    // cannot be made.
    SecretService* service(GError** error);

    GCancellable* m_cancel;             // owned
    SecretService* m_service = nullptr; // owned
};
