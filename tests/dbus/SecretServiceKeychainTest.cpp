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

// A secret as the Secret Service carries it: (session, parameters, value, content type).
struct WireSecret {
    QDBusObjectPath session;
    QByteArray parameters;
    QByteArray value;
    QString contentType;
};

} // namespace

Q_DECLARE_METATYPE(WireSecret)

namespace {

QDBusArgument& operator<<(QDBusArgument& out, const WireSecret& s) {
    out.beginStructure();
    out << s.session << s.parameters << s.value << s.contentType;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, WireSecret& s) {
    in.beginStructure();
    in >> s.session >> s.parameters >> s.value >> s.contentType;
    in.endStructure();
    return in;
}

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

QDBusMessage serviceCall(const QString& interface, const QString& method,
                         const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kSecrets, QStringLiteral("/org/freedesktop/secrets"), interface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call);
}

// Locks the throw-away keyring's default collection, as a screen lock or a timeout would, and
// unlocks it again with the password tools/keyring-session.sh gave it. While it is locked, an
// unlock prompt cannot be answered: the bus's activation environment is given no display first,
// so the desktop's prompter fails at once instead of asking someone, as a dismissed prompt does.
class LockedDefaultCollection {
public:
    LockedDefaultCollection() {
        QDBusMessage env = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("UpdateActivationEnvironment"));
        env << QVariant::fromValue(
            QMap<QString, QString>{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
        if (QDBusConnection::sessionBus().call(env).type() == QDBusMessage::ErrorMessage)
            return;
        const QDBusMessage alias = serviceCall(QStringLiteral("org.freedesktop.Secret.Service"),
                                               QStringLiteral("ReadAlias"), {"default"});
        if (alias.type() == QDBusMessage::ErrorMessage || alias.arguments().isEmpty())
            return;
        m_collection = qdbus_cast<QDBusObjectPath>(alias.arguments().at(0));
        const QDBusMessage lock =
            serviceCall(QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("Lock"),
                        {QVariant::fromValue(QList<QDBusObjectPath>{m_collection})});
        m_locked = lock.type() == QDBusMessage::ReplyMessage;
    }
    ~LockedDefaultCollection() { unlock(); }

    bool isLocked() const { return m_locked; }

    bool unlock() {
        if (!m_locked)
            return true;
        // A plain session: the password travels in the clear, on the private bus only.
        const QDBusMessage session = serviceCall(
            QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("OpenSession"),
            {QStringLiteral("plain"), QVariant::fromValue(QDBusVariant(QString()))});
        if (session.arguments().size() < 2)
            return false;
        const WireSecret master{qdbus_cast<QDBusObjectPath>(session.arguments().at(1)),
                                {},
                                QByteArrayLiteral("pendrel-test"),
                                QStringLiteral("text/plain")};
        const QDBusMessage reply =
            serviceCall(QStringLiteral("org.gnome.keyring.InternalUnsupportedGuiltRiddenInterface"),
                        QStringLiteral("UnlockWithMasterPassword"),
                        {QVariant::fromValue(m_collection), QVariant::fromValue(master)});
        m_locked = reply.type() != QDBusMessage::ReplyMessage;
        return !m_locked;
    }

private:
    QDBusObjectPath m_collection;
    bool m_locked = false;
};

class SecretServiceKeychainTest : public ::testing::Test {
protected:
    void SetUp() override {
        qDBusRegisterMetaType<QMap<QString, QString>>();
        qDBusRegisterMetaType<WireSecret>();
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

TEST_F(SecretServiceKeychainTest, AnItemOfALockedKeyringIsAFailureNeverNoItem) {
    const QString a = account();
    ASSERT_TRUE(keychain.save(a, QStringLiteral("kept")));
    {
        LockedDefaultCollection locked;
        ASSERT_TRUE(locked.isLocked());
        const Keychain::Read read = keychain.read(a);
        EXPECT_EQ(read.status, Keychain::Read::Status::Failed)
            << "an unlock that did not happen is not an empty keyring";
        EXPECT_TRUE(read.value.isEmpty());
        EXPECT_FALSE(read.reason.isEmpty());
        QString reason;
        EXPECT_EQ(keychain.remove(a, &reason), Keychain::RemoveStatus::Failed)
            << "the locked item is still there";
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_FALSE(keychain.save(a, QStringLiteral("over it")));
        ASSERT_TRUE(locked.unlock());
    }
    const Keychain::Read read = keychain.read(a);
    EXPECT_EQ(read.status, Keychain::Read::Status::Found);
    EXPECT_EQ(read.value, "kept") << "nothing was written while it was locked";
    EXPECT_EQ(keychain.remove(a), Keychain::RemoveStatus::Removed);
}
