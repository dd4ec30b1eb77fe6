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

} // namespace

bool SecretServiceKeychain::save(const QString& account, const QString& value, QString* reason) {
    const QByteArray service = Keychain::service().toUtf8();
    const QByteArray name = account.toUtf8();
    QByteArray bytes = value.toUtf8();
    // libsecret copies the bytes into its own locked memory; ours are wiped at once. The binary
    // form keeps a secret that holds a NUL character whole.
    SecretValue* secret = secret_value_new(bytes.constData(), bytes.size(), "text/plain");
    bytes.fill('\0');
    GError* error = nullptr;
    const gboolean stored = secret_password_store_binary_sync(
        schema(), SECRET_COLLECTION_DEFAULT, kLabel, secret, nullptr, &error, "service",
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
    const QByteArray service = Keychain::service().toUtf8();
    const QByteArray name = account.toUtf8();
    GError* error = nullptr;
    SecretValue* secret = secret_password_lookup_binary_sync(schema(), nullptr, &error, "service",
                                                             service.constData(), "account",
                                                             name.constData(), nullptr);
    Read result;
    if (error) {
        if (secret)
            secret_value_unref(secret);
        result.status = Read::Status::Failed;
        result.reason = takeReason(error, "The keyring could not be read.");
        return result;
    }
    if (!secret) {
        result.status = Read::Status::NotFound;
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
    const QByteArray service = Keychain::service().toUtf8();
    const QByteArray name = account.toUtf8();
    GError* error = nullptr;
    const gboolean removed =
        secret_password_clear_sync(schema(), nullptr, &error, "service", service.constData(),
                                   "account", name.constData(), nullptr);
    if (error) {
        const QString why = takeReason(error, "The keyring could not remove the secret.");
        if (reason)
            *reason = why;
        return RemoveStatus::Failed;
    }
    return removed ? RemoveStatus::Removed : RemoveStatus::NotFound;
}
