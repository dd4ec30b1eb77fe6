// Through the desktop's own accessibility bus, as a screen reader hears it: the app runs on a real
// X server with Qt's AT-SPI bridge, and when the section on screen changes, the row that left is
// told as no longer selected and the row that came as selected. A test of Qt's accessibility
// events alone passes whatever the bridge does with them; the bridge drops some, so this listens
// where a reader listens.
#include "MockBus.h"
#include "support/PrivateXServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

// The "selected" state changes the bridge sends, with the name of the object each is about.
class SelectionListener : public QObject {
    Q_OBJECT
public:
    struct Heard {
        QString name;
        int selected = 0;
    };
    QList<Heard> heard;
    QDBusConnection bus{QString()};

public slots:
    // The signal carries the state's name, its new value and two more fields.
    void stateChanged(const QDBusMessage& message) {
        const QList<QVariant> args = message.arguments();
        if (args.size() < 2 || args.at(0).toString() != QLatin1String("selected"))
            return;
        const int detail1 = args.at(1).toInt();
        QDBusMessage ask = QDBusMessage::createMethodCall(
            message.service(), message.path(), QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        ask << QStringLiteral("org.a11y.atspi.Accessible") << QStringLiteral("Name");
        const QDBusMessage reply = bus.call(ask, QDBus::Block, 5000);
        const QString name =
            reply.arguments().isEmpty()
                ? QString()
                : qvariant_cast<QDBusVariant>(reply.arguments().at(0)).variant().toString();
        heard.append({name, detail1});
    }
};

QString a11yBusAddress() {
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(ask, QDBus::Block, 10000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
               ? reply.arguments().at(0).toString()
               : QString();
}

} // namespace

TEST(AtSpiSelection, ASectionChangeTellsTheOldRowUnselectedAndTheNewOneSelected) {
    if (!MockBus::available())
        GTEST_SKIP() << MockBus::kSkipReason;
    testsupport::PrivateXServer x;
    if (!x.start("1280x900x24"))
        GTEST_SKIP() << "no X server to run the app on (Xvfb)";
    const QString address = a11yBusAddress();
    if (address.isEmpty())
        GTEST_SKIP() << "no accessibility bus on this session (at-spi2-core)";
    ASSERT_TRUE(QFile::exists(testsupport::appBinary()));

    SelectionListener listener;
    listener.bus = QDBusConnection::connectToBus(address, QStringLiteral("pendrel-test-a11y"));
    ASSERT_TRUE(listener.bus.isConnected());
    // The bridge sends state changes only while a listener has asked the registry for them.
    QDBusMessage subscribe = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/registry"),
        QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("RegisterEvent"));
    subscribe << QStringLiteral("object:state-changed") << QStringList() << QString();
    ASSERT_EQ(listener.bus.call(subscribe, QDBus::Block, 10000).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(listener.bus.connect(
        QString(), QString(), QStringLiteral("org.a11y.atspi.Event.Object"),
        QStringLiteral("StateChanged"), &listener, SLOT(stateChanged(QDBusMessage))));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(x.display()));
    env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    const auto launch = [&](const QStringList& args) {
        auto* app = new QProcess;
        app->setProcessEnvironment(env);
        app->setProcessChannelMode(QProcess::MergedChannels);
        app->start(testsupport::appBinary(), args);
        return app;
    };
    std::unique_ptr<QProcess> first(launch({}));
    // A later launch opens the window (the first comes up in the tray) and then hands a link over.
    const auto handOver = [&](const QStringList& args) {
        std::unique_ptr<QProcess> later(launch(args));
        return later->waitForFinished(60000) && later->exitCode() == 0;
    };
    ASSERT_TRUE(testsupport::waitFor(
        [&] {
            return first->readAllStandardOutput().contains("showing section") ||
                   first->state() == QProcess::NotRunning;
        },
        60000));
    ASSERT_TRUE(handOver({}));
    QTest::qWait(1500); // the window is up and its rows are known to the bridge
    listener.heard.clear();

    ASSERT_TRUE(handOver({QStringLiteral("pendrel://duplicates")}));
    const auto heardAs = [&](const QString& name, int selected) {
        for (const SelectionListener::Heard& h : std::as_const(listener.heard)) {
            if (h.name == name && h.selected == selected)
                return true;
        }
        return false;
    };
    const bool told = testsupport::waitFor(
        [&] {
            return heardAs(QStringLiteral("Duplicates"), 1) && heardAs(QStringLiteral("Home"), 0);
        },
        20000);
    QStringList log;
    for (const SelectionListener::Heard& h : std::as_const(listener.heard))
        log << h.name + QLatin1Char('=') + QString::number(h.selected);
    EXPECT_TRUE(told) << "heard: " << log.join(QStringLiteral(", ")).toStdString();

    first->kill();
    first->waitForFinished();
}

#include "AtSpiSelectionTest.moc"
