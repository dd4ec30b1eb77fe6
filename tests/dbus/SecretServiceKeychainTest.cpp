// The vault's keyring against a real Secret Service: the throw-away one tools/keyring-session.sh
// starts on the private bus (PENDREL_TEST_KEYRING=1). Anywhere else the test skips, so it can
// never reach a user's own keyring.
#include "platform/SecretServiceKeychain.h"

#include <gtest/gtest.h>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QMap>
#include <QUuid>

namespace {

const QString kSecrets = QStringLiteral("org.freedesktop.secrets");

bool keyringAvailable() {
    if (qEnvironmentVariableIntValue("PENDREL_TEST_KEYRING") != 1)
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(kSecrets).value();
}

QString account() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// The items the service holds with exactly these attributes, unlocked or locked.
QList<QDBusObjectPath> search(const QMap<QString, QString>& attributes) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kSecrets, QStringLiteral("/org/freedesktop/secrets"),
        QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("SearchItems"));
    call << QVariant::fromValue(attributes);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    QList<QDBusObjectPath> items;
    for (const QVariant& v : reply.arguments())
        items += qdbus_cast<QList<QDBusObjectPath>>(v);
    return items;
}

QMap<QString, QString> attributesOf(const QDBusObjectPath& item) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kSecrets, item.path(), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    call << QStringLiteral("org.freedesktop.Secret.Item") << QStringLiteral("Attributes");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    if (reply.arguments().isEmpty())
        return {};
    const QDBusVariant value = qdbus_cast<QDBusVariant>(reply.arguments().at(0));
    return qdbus_cast<QMap<QString, QString>>(value.variant());
}

class SecretServiceKeychainTest : public ::testing::Test {
protected:
    void SetUp() override {
        qDBusRegisterMetaType<QMap<QString, QString>>();
        if (!keyringAvailable())
            GTEST_SKIP() << "no throw-away Secret Service (run through tools/test.sh)";
    }
    SecretServiceKeychain keychain;
};

} // namespace

TEST_F(SecretServiceKeychainTest, SavesReadsUpdatesAndDeletesOneItemPerAccount) {
    const QString a = account();
    EXPECT_EQ(keychain.read(a).status, Keychain::Read::Status::NotFound);

    QString reason;
    ASSERT_TRUE(keychain.save(a, QStringLiteral("first value"), &reason)) << qPrintable(reason);
    Keychain::Read read = keychain.read(a);
    EXPECT_EQ(read.status, Keychain::Read::Status::Found) << qPrintable(read.reason);
    EXPECT_EQ(read.value, "first value");

    const QString updated = QStringLiteral("second · värde · 🔑 with a\nline break");
    ASSERT_TRUE(keychain.save(a, updated, &reason)) << qPrintable(reason);
    EXPECT_EQ(keychain.read(a).value, updated);

    const QMap<QString, QString> ours{{"service", Keychain::service()}, {"account", a}};
    const QList<QDBusObjectPath> items = search(ours);
    ASSERT_EQ(items.size(), 1) << "an update never makes a second item";
    const QMap<QString, QString> attributes = attributesOf(items[0]);
    EXPECT_EQ(attributes.value("service"), "com.stelvarion.corvanto.securenotes");
    EXPECT_EQ(attributes.value("account"), a);

    EXPECT_EQ(keychain.remove(a), Keychain::RemoveStatus::Removed);
    EXPECT_EQ(keychain.read(a).status, Keychain::Read::Status::NotFound);
    EXPECT_TRUE(search(ours).isEmpty());
    EXPECT_EQ(keychain.remove(a), Keychain::RemoveStatus::NotFound) << "nothing to remove";
}

TEST_F(SecretServiceKeychainTest, AnEmptySecretIsAValueNotAMissingItem) {
    const QString a = account();
    ASSERT_TRUE(keychain.save(a, QString()));
    const Keychain::Read read = keychain.read(a);
    EXPECT_EQ(read.status, Keychain::Read::Status::Found);
    EXPECT_TRUE(read.value.isEmpty());
    // A NUL inside the text survives whole.
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    ASSERT_TRUE(keychain.save(a, withNul));
    EXPECT_EQ(keychain.read(a).value, withNul);
    keychain.remove(a);
}

TEST_F(SecretServiceKeychainTest, AccountsDoNotShareItems) {
    const QString a = account();
    const QString b = account();
    ASSERT_TRUE(keychain.save(a, QStringLiteral("for a")));
    ASSERT_TRUE(keychain.save(b, QStringLiteral("for b")));
    EXPECT_EQ(keychain.read(a).value, "for a");
    EXPECT_EQ(keychain.remove(b), Keychain::RemoveStatus::Removed);
    EXPECT_EQ(keychain.read(a).value, "for a") << "removing one leaves the other";
    keychain.remove(a);
}
