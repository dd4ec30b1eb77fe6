#include "platform/SecretServiceKeychain.h"

#include <QByteArray>
#include <QStringDecoder>

// GLib's headers use the word Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

namespace {

// Items are matched by service and account only: the schema name libsecret stores beside them
// is not part of an item's identity.
const SecretSchema* schema() {
    static const SecretSchema instance = [] {
        SecretSchema s{};
        s.name = "com.stelvarion.corvanto.securenotes";
        s.flags = SECRET_SCHEMA_DONT_MATCH_NAME;
        s.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
        s.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
        s.attributes[2] = {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING};
        return s;
    }();
    return &instance;
}

constexpr const char* kLabel = "Pendrel secure note";
constexpr const char* kStillLocked = "The keyring is locked and was not unlocked.";
constexpr const char* kAbandoned = "The keyring was given up because Pendrel is quitting.";

// Takes the error: its message, or a fallback when the service gave none.
QString takeReason(GError* error, const char* fallback) {
    QString reason = QString::fromUtf8(fallback);
    if (error) {
        if (error->message && *error->message)
            reason = QString::fromUtf8(error->message);
        g_error_free(error);
    }
    return reason;
}

// The items of the vault's service with this account, in every collection: unlocked ones first,
// then those still locked (an unlock that was refused or dismissed does not fail the search; the
// item just stays locked). The list and its items are the caller's to free.
GList* search(const QByteArray& service, const QByteArray& account, int flags, GCancellable* cancel,
              GError** error) {
    GHashTable* attributes = secret_attributes_build(schema(), "service", service.constData(),
                                                     "account", account.constData(), nullptr);
    GList* items = secret_service_search_sync(nullptr, schema(), attributes,
                                              SecretSearchFlags(flags), cancel, error);
    g_hash_table_unref(attributes);
    return items;
}

} // namespace

SecretServiceKeychain::SecretServiceKeychain() : m_cancel(g_cancellable_new()) {}

SecretServiceKeychain::~SecretServiceKeychain() {
    g_object_unref(m_cancel);
}

void SecretServiceKeychain::abandon() {
    g_cancellable_cancel(m_cancel);
}

bool SecretServiceKeychain::save(const QString& account, const QString& value, QString* reason) {
    if (g_cancellable_is_cancelled(m_cancel)) {
        if (reason)
            *reason = QString::fromUtf8(kAbandoned);
        return false;
    }
    const QByteArray service = Keychain::service().toUtf8();
    const QByteArray name = account.toUtf8();
    QByteArray bytes = value.toUtf8();
    // libsecret copies the bytes into its own locked memory; ours are wiped at once. The binary
    // form keeps a secret that holds a NUL character whole.
    SecretValue* secret = secret_value_new(bytes.constData(), bytes.size(), "text/plain");
    bytes.fill('\0');
    GError* error = nullptr;
    const gboolean stored = secret_password_store_binary_sync(
        schema(), SECRET_COLLECTION_DEFAULT, kLabel, secret, m_cancel, &error, "service",
        service.constData(), "account", name.constData(), nullptr);
    secret_value_unref(secret);
    if (stored && !error)
        return true;
    const QString why = takeReason(error, "The keyring did not accept the secret.");
    if (reason)
        *reason = why;
    return false;
}

Keychain::Read SecretServiceKeychain::read(const QString& account) {
    if (g_cancellable_is_cancelled(m_cancel))
        return Read{Read::Status::Failed, QString(), QString::fromUtf8(kAbandoned)};
    const QByteArray service = Keychain::service().toUtf8();
    const QByteArray name = account.toUtf8();
    GError* error = nullptr;
    // Not secret_password_lookup: when the unlock prompt is dismissed it answers "no value" with
    // no error, which would read a locked secret as a missing one.
    GList* items =
        search(service, name, SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS, m_cancel, &error);
    Read result;
    if (error) {
        g_list_free_full(items, g_object_unref);
        result.status = Read::Status::Failed;
        result.reason = takeReason(error, "The keyring could not be read.");
        return result;
    }
    if (!items) {
        result.status = Read::Status::NotFound;
        return result;
    }
    // Unlocked items come first: a locked one here means none of them could be unlocked.
    auto* item = static_cast<SecretItem*>(items->data);
    SecretValue* secret = secret_item_get_locked(item) ? nullptr : secret_item_get_secret(item);
    const bool locked = secret_item_get_locked(item);
    g_list_free_full(items, g_object_unref);
    if (!secret) {
        result.status = Read::Status::Failed;
        result.reason = locked ? QString::fromUtf8(kStillLocked)
                               : QStringLiteral("The keyring did not hand over the secret.");
        return result;
    }
    gsize length = 0;
    const gchar* data = secret_value_get(secret, &length);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(data, qsizetype(length)));
    secret_value_unref(secret);
    if (decoder.hasError()) {
        result.status = Read::Status::Failed;
        result.reason = QStringLiteral("The stored secret is not text.");
        return result;
    }
    result.status = Read::Status::Found;
    result.value = std::move(text);
    return result;
}

Keychain::RemoveStatus SecretServiceKeychain::remove(const QString& account, QString* reason) {
    if (g_cancellable_is_cancelled(m_cancel)) {
        if (reason)
            *reason = QString::fromUtf8(kAbandoned);
        return RemoveStatus::Failed;
    }
    const QByteArray service = Keychain::service().toUtf8();
    const QByteArray name = account.toUtf8();
    GError* error = nullptr;
    // Every matching item goes, or none does: one that stays locked is reported before any is
    // deleted (secret_password_clear would call it "nothing to remove").
    GList* items =
        search(service, name, SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK, m_cancel, &error);
    QString why;
    if (!error) {
        for (GList* l = items; l && why.isEmpty(); l = l->next) {
            if (secret_item_get_locked(static_cast<SecretItem*>(l->data)))
                why = QString::fromUtf8(kStillLocked);
        }
        for (GList* l = items; l && why.isEmpty() && !error; l = l->next)
            secret_item_delete_sync(static_cast<SecretItem*>(l->data), m_cancel, &error);
    }
    const bool found = items != nullptr;
    g_list_free_full(items, g_object_unref);
    if (error)
        why = takeReason(error, "The keyring could not remove the secret.");
    if (!why.isEmpty()) {
        if (reason)
            *reason = why;
        return RemoveStatus::Failed;
    }
    return found ? RemoveStatus::Removed : RemoveStatus::NotFound;
}
