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

// libsecret's own prompt handling hangs in two ways: a prompt that ends as dismissed (the user
// pressed Cancel, or the prompt was given up) is returned as an error that is null, which GLib
// refuses ("g_task_return_error: assertion 'error != NULL' failed"), so the call waiting on it
// never ends; and a cancelled prompt waits for the service to confirm the dismissal, which a
// prompter that has hung never does. The vault's own service class runs prompts so that a
// dismissal ends as "nothing unlocked" (the item stays locked) and a cancel ends the wait at once
// (the Dismiss still goes out to the service).
struct VaultService {
    SecretService parent;
};
struct VaultServiceClass {
    SecretServiceClass parent_class;
};
G_DEFINE_TYPE(VaultService, vault_service, SECRET_TYPE_SERVICE)

// One prompt as the caller waits for it: returned exactly once, by the prompt or by the cancel.
struct PromptRun {
    gint returned = 0;
    GCancellable* cancellable = nullptr; // owned
    gulong handler = 0;
    GVariantType* type = nullptr; // owned; what the prompt's action answers
    ~PromptRun() {
        if (cancellable)
            g_object_unref(cancellable);
        if (type)
            g_variant_type_free(type);
    }
};

bool claim(GTask* task) {
    auto* run = static_cast<PromptRun*>(g_task_get_task_data(task));
    return g_atomic_int_compare_and_exchange(&run->returned, 0, 1);
}

// From the thread that cancels: the wait ends now, whatever the service does with the prompt.
void onPromptCancelled(GCancellable*, gpointer data) {
    auto* task = static_cast<GTask*>(data);
    if (claim(task))
        g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_CANCELLED, "%s",
                                "The keyring's prompt was given up.");
}

// The answer of a prompt that ended as dismissed: an empty list where a list is expected (the
// unlock unlocked nothing, which libsecret's callers read without a null check), else an error.
void returnDismissed(GTask* task, const GVariantType* type) {
    if (type && g_variant_type_is_array(type)) {
        GVariant* none =
            g_variant_ref_sink(g_variant_new_array(g_variant_type_element(type), nullptr, 0));
        g_task_return_pointer(task, none, GDestroyNotify(g_variant_unref));
        return;
    }
    g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_FAILED, "%s",
                            "The keyring's prompt was dismissed.");
}

void onPromptPerformed(GObject* source, GAsyncResult* result, gpointer data) {
    auto* task = static_cast<GTask*>(data);
    GError* error = nullptr;
    GVariant* value = secret_prompt_perform_finish(SECRET_PROMPT(source), result, &error);
    if (claim(task)) {
        if (value)
            g_task_return_pointer(task, value, GDestroyNotify(g_variant_unref));
        else if (error)
            g_task_return_error(task, error);
        else
            returnDismissed(task, static_cast<PromptRun*>(g_task_get_task_data(task))->type);
    } else {
        if (value)
            g_variant_unref(value);
        if (error)
            g_error_free(error);
    }
    auto* run = static_cast<PromptRun*>(g_task_get_task_data(task));
    if (run->handler)
        g_cancellable_disconnect(run->cancellable, run->handler);
    run->handler = 0;
    g_object_unref(task);
}

void vaultPromptAsync(SecretService* self, SecretPrompt* prompt, const GVariantType* returnType,
                      GCancellable* cancellable, GAsyncReadyCallback callback, gpointer userData) {
    GTask* task = g_task_new(self, nullptr, callback, userData);
    auto* run = new PromptRun;
    run->type = returnType ? g_variant_type_copy(returnType) : nullptr;
    g_task_set_task_data(task, run, [](gpointer p) { delete static_cast<PromptRun*>(p); });
    if (cancellable) {
        run->cancellable = G_CANCELLABLE(g_object_ref(cancellable));
        run->handler = g_cancellable_connect(cancellable, G_CALLBACK(onPromptCancelled),
                                             g_object_ref(task), g_object_unref);
    }
    secret_prompt_perform(prompt, nullptr, returnType, cancellable, onPromptPerformed, task);
}

GVariant* vaultPromptFinish(SecretService*, GAsyncResult* result, GError** error) {
    return static_cast<GVariant*>(g_task_propagate_pointer(G_TASK(result), error));
}

struct PromptWait {
    GMainLoop* loop;
    GAsyncResult* result = nullptr;
};

GVariant* vaultPromptSync(SecretService* self, SecretPrompt* prompt, GCancellable* cancellable,
                          const GVariantType* returnType, GError** error) {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    PromptWait wait{g_main_loop_new(context, FALSE)};
    vaultPromptAsync(
        self, prompt, returnType, cancellable,
        [](GObject*, GAsyncResult* result, gpointer data) {
            auto* w = static_cast<PromptWait*>(data);
            w->result = G_ASYNC_RESULT(g_object_ref(result));
            g_main_loop_quit(w->loop);
        },
        &wait);
    g_main_loop_run(wait.loop);
    GVariant* value = vaultPromptFinish(self, wait.result, error);
    g_object_unref(wait.result);
    g_main_loop_unref(wait.loop);
    while (g_main_context_iteration(context, FALSE)) {
    }
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return value;
}

void vault_service_init(VaultService*) {}

void vault_service_class_init(VaultServiceClass* klass) {
    SecretServiceClass* service = &klass->parent_class;
    service->prompt_async = vaultPromptAsync;
    service->prompt_finish = vaultPromptFinish;
    service->prompt_sync = vaultPromptSync;
}

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
GList* search(SecretService* secrets, const QByteArray& service, const QByteArray& account,
              int flags, GCancellable* cancel, GError** error) {
    GHashTable* attributes = secret_attributes_build(schema(), "service", service.constData(),
                                                     "account", account.constData(), nullptr);
    GList* items = secret_service_search_sync(secrets, schema(), attributes,
                                              SecretSearchFlags(flags), cancel, error);
    g_hash_table_unref(attributes);
    return items;
}

} // namespace

SecretServiceKeychain::SecretServiceKeychain() : m_cancel(g_cancellable_new()) {}

SecretServiceKeychain::~SecretServiceKeychain() {
    if (m_service)
        g_object_unref(m_service);
    g_object_unref(m_cancel);
}

SecretService* SecretServiceKeychain::service(GError** error) {
    if (!m_service)
        m_service = secret_service_open_sync(vault_service_get_type(), nullptr, SECRET_SERVICE_NONE,
                                             m_cancel, error);
    return m_service;
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
    gboolean stored = false;
    if (SecretService* secrets = this->service(&error)) {
        GHashTable* attributes = secret_attributes_build(schema(), "service", service.constData(),
                                                         "account", name.constData(), nullptr);
        stored = secret_service_store_sync(secrets, schema(), attributes, SECRET_COLLECTION_DEFAULT,
                                           kLabel, secret, m_cancel, &error);
        g_hash_table_unref(attributes);
    }
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
    SecretService* secrets = this->service(&error);
    GList* items = secrets
                       ? search(secrets, service, name,
                                SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS, m_cancel, &error)
                       : nullptr;
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
    SecretService* secrets = this->service(&error);
    GList* items = secrets ? search(secrets, service, name,
                                    SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK, m_cancel, &error)
                           : nullptr;
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
