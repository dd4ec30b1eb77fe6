// A keyring that takes calls and never answers them (a hung daemon, a prompt nobody answers): a
// process that quits abandons the keychain, and the call waiting on it returns at once instead of
// at the bus's time-out.
#include "MockBus.h"
#include "platform/SecretServiceKeychain.h"
#include "support/TestSupport.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <QDBusVirtualObject>
#include <thread>

namespace {

class MuteKeyring : public QDBusVirtualObject {
public:
    std::atomic<int> calls{0};
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override {
        ++calls; // taken, never answered
        return true;
    }
};

// In a process of its own: libsecret picks its service once per process, so the name switched
// here must not reach the other tests. Exits 0 when every check held, else says which did not.
[[noreturn]] void abandonAWaitingCall() {
    auto fail = [](const char* what) {
        std::fprintf(stderr, "%s\n", what);
        std::_Exit(1);
    };
    MockBus bus;
    bus.open(QStringLiteral("pendrel-mute-keyring"));
    MuteKeyring mute;
    const QString name = QStringLiteral("org.pendrel.test.MuteSecrets");
    bus.serveVirtual(name, QStringLiteral("/org/freedesktop/secrets"), mute);
    // libsecret's own switch for a Secret Service under another name.
    qputenv("SECRET_SERVICE_BUS_NAME", name.toUtf8());

    SecretServiceKeychain keychain;
    std::atomic<bool> returned{false};
    Keychain::Read read;
    std::thread worker([&] {
        read = keychain.read(QStringLiteral("11111111-2222-4333-8444-555555555555"));
        returned = true;
    });
    if (!testsupport::waitFor([&] { return mute.calls > 0 || returned; }, 20000) || returned)
        fail("the read never reached the mute keyring");
    keychain.abandon();
    // The bus would give up after 25 s; abandoning ends the wait long before.
    const bool ended = testsupport::waitFor([&] { return returned.load(); }, 10000);
    worker.join();
    if (!ended)
        fail("the read went on waiting after the keychain was abandoned");
    if (read.status != Keychain::Read::Status::Failed || read.reason.isEmpty())
        fail("an abandoned read is not a failure with a reason");

    const int asked = mute.calls;
    QString reason;
    if (keychain.save(QStringLiteral("11111111-2222-4333-8444-555555555555"),
                      QStringLiteral("later"), &reason) ||
        reason.isEmpty() || mute.calls != asked)
        fail("a save after abandoning still went to the keyring");
    std::_Exit(0);
}

} // namespace

TEST(SecretServiceKeychainQuit, AbandoningLetsGoOfACallAKeyringNeverAnswers) {
    if (!MockBus::available())
        GTEST_SKIP() << MockBus::kSkipReason;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(abandonAWaitingCall(), ::testing::ExitedWithCode(0), "");
}
