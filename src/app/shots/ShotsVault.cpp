#include "app/shots/Shots.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeKeychain.h"
#include "platform/CacheFolder.h"
#include "shell/ScreenState.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "vault/SecureNotesStore.h"
#include "vault/views/SecureNoteEditor.h"
#include "vault/views/SecureNotesView.h"

#include <memory>
#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSize>

namespace {

using Shots::drain;
using Shots::frame;

// The store's keyring work runs on its own thread, which draining the shared pool does not wait
// for: a scene is shot once the store has nothing left to do.
void settle(const SecureNotesStore& store) {
    Shots::waitFor([&] { return !store.isBusy(); }, 10'000);
    drain();
}

// A vault of a few notes made over a week, on an in-memory keyring.
struct Vault {
    std::shared_ptr<FakeKeychain> keychain = std::make_shared<FakeKeychain>();
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    ScreenState screen;
    std::unique_ptr<SecureNotesStore> store;

    explicit Vault(const QString& folder, bool filled) {
        store = std::make_unique<SecureNotesStore>(CacheFolder(AppSupportFolder(folder)), keychain,
                                                   clock);
        if (!filled)
            return;
        const struct {
            const char* title;
            const char* secret;
        } notes[] = {
            {"Home Wi-Fi", "correct-horse-battery-staple"},
            {"Router admin", "Adm1n!2026"},
            {"Backup encryption passphrase for the external drive", "blue moon over the harbour"},
            {"OpenAI API key", "sk-proj-4f9Qx2LmT8vZpR1sK7yWbN3cD6hJ0aE5uG"},
        };
        for (const auto& n : notes) {
            clock->advance(86400 * 1.7);
            store->create(QString::fromUtf8(n.title), store.get(),
                          [this, secret = QString::fromUtf8(n.secret)](
                              SecureNotesStore::Outcome, const std::optional<SecureNote>& made) {
                              if (made)
                                  store->save(made->id, made->title, secret);
                          });
            settle(*store);
        }
    }
};

void save(ShotContext& ctx, QWidget* window, const QString& name,
          const SecureNotesStore* store = nullptr) {
    if (store)
        settle(*store);
    else
        drain();
    ctx.save(window, name);
}

} // namespace

void renderVaultShots(ShotContext& ctx) {
    const QString base = QDir::homePath() + QStringLiteral("/vault-shots");
    QDir(base).removeRecursively();

    {
        Vault empty(base + "/empty", false);
        std::unique_ptr<QWidget> window(
            frame(new SecureNotesView(empty.screen, *empty.store), QStringLiteral("vault")));
        window->resize(900, 600);
        window->show();
        save(ctx, window.get(), QStringLiteral("vault-empty"));
    }

    Vault vault(base + "/filled", true);
    vault.screen.setVaultSelection(vault.store->notes().at(0).id);
    std::unique_ptr<QWidget> window(
        frame(new SecureNotesView(vault.screen, *vault.store), QStringLiteral("vault")));
    auto* view = window->findChild<SecureNotesView*>();
    window->resize(900, 600);
    window->show();
    save(ctx, window.get(), QStringLiteral("vault"), vault.store.get());
    ctx.eachLook([&](const ShotLook& look) {
        window->resize(look.step == 0 ? QSize(900, 600) : QSize(1100, 760));
        save(ctx, window.get(), QStringLiteral("vault") + look.suffix(), vault.store.get());
    });
    window->resize(900, 600);

    if (auto* editor = view->findChild<SecureNoteEditor*>()) {
        editor->revealButton()->click();
        editor->copyButton()->click();
        save(ctx, window.get(), QStringLiteral("vault-revealed"), vault.store.get());
        Shots::fixCodes(window.get());
        editor->deleteButton()->click();
        settle(*vault.store);
        if (DeleteCodeSheet* sheet = editor->deleteConfirm()->sheet()) {
            save(ctx, sheet, QStringLiteral("vault-delete-sheet"), vault.store.get());
            editor->deleteConfirm()->setPresented(false);
        }
    }

    // A keyring that cannot be read: the editor keeps its hands off the secret.
    vault.keychain->failReads(QStringLiteral("Cannot unlock the collection"));
    vault.screen.setVaultSelection(vault.store->notes().at(1).id);
    save(ctx, window.get(), QStringLiteral("vault-read-failed"), vault.store.get());

    // A keyring that refuses a new note: the alert.
    vault.keychain->failSaves(QStringLiteral("Locked"));
    view->findChild<QAbstractButton*>(QStringLiteral("newSecretButton"))->click();
    settle(*vault.store);
    if (auto* alert = view->findChild<QMessageBox*>(QStringLiteral("keyringAlert"))) {
        ctx.save(alert, QStringLiteral("vault-alert"));
        alert->close();
    }
    settle(*vault.store);
}
