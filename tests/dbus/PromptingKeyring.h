#pragma once

#include <atomic>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMap>

// A Secret Service with one locked item that every search finds: unlocking it asks for a prompt
// that, unless the user dismisses it (userDismisses), the service never completes, as when the
// desktop's prompter sits unanswered or has hung. How a Dismiss of that prompt ends is the
// service's way:
// - Answered: the prompt ends as dismissed (Completed with dismissed true), as a keyring daemon
//   does when the prompt is given up;
// - Ignored: the call is taken and never answered, and the prompt never ends.
// Served through MockBus; it answers from the thread it lives on, when that runs its events.
class PromptingKeyring : public QDBusVirtualObject {
public:
    enum class Dismiss { Answered, Ignored };

    static QString path() { return QStringLiteral("/org/freedesktop/secrets"); }
    static void registerTypes() { qDBusRegisterMetaType<QMap<QString, QString>>(); }

    std::atomic<Dismiss> dismiss{Dismiss::Answered};
    // The prompt ends as dismissed as soon as it is shown, as when the user presses Cancel.
    std::atomic<bool> userDismisses{false};
    std::atomic<int> prompts{0};   // Prompt calls taken
    std::atomic<int> dismissed{0}; // Dismiss calls taken

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override {
        const QString member = m.member();
        const QString iface = m.interface();
        if (iface == QLatin1String("org.freedesktop.DBus.Properties"))
            return reply(bus, m, {properties(m)});
        if (member == QLatin1String("OpenSession")) {
            if (m.arguments().value(0).toString() != QLatin1String("plain"))
                return bus.send(m.createErrorReply(
                    QStringLiteral("org.freedesktop.DBus.Error.NotSupported"), QStringLiteral("")));
            return reply(bus, m,
                         {QVariant::fromValue(QDBusVariant(QString())),
                          QVariant::fromValue(QDBusObjectPath(path() + "/session/s1"))});
        }
        if (member == QLatin1String("SearchItems"))
            return reply(bus, m,
                         {QVariant::fromValue(QList<QDBusObjectPath>{}),
                          QVariant::fromValue(QList<QDBusObjectPath>{QDBusObjectPath(item())})});
        if (member == QLatin1String("Unlock"))
            return reply(bus, m,
                         {QVariant::fromValue(QList<QDBusObjectPath>{}),
                          QVariant::fromValue(QDBusObjectPath(prompt()))});
        if (member == QLatin1String("Prompt")) {
            ++prompts;
            reply(bus, m, {});
            return !userDismisses || completeDismissed(bus);
        }
        if (member == QLatin1String("Dismiss")) {
            ++dismissed;
            if (dismiss == Dismiss::Ignored)
                return true;
            reply(bus, m, {});
            return completeDismissed(bus);
        }
        return bus.send(
            m.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), member));
    }

private:
    static QString item() { return path() + QStringLiteral("/collection/login/1"); }
    static QString prompt() { return path() + QStringLiteral("/prompt/p1"); }

    static bool completeDismissed(const QDBusConnection& bus) {
        QDBusMessage done = QDBusMessage::createSignal(
            prompt(), QStringLiteral("org.freedesktop.Secret.Prompt"), QStringLiteral("Completed"));
        done << true << QVariant::fromValue(QDBusVariant(QString()));
        return bus.send(done);
    }

    static bool reply(const QDBusConnection& bus, const QDBusMessage& m,
                      const QVariantList& arguments) {
        QDBusMessage answer = m.createReply();
        answer.setArguments(arguments);
        return bus.send(answer);
    }

    // Get answers with one value, GetAll with the interface's table.
    static QVariant properties(const QDBusMessage& m) {
        const QString of = m.arguments().value(0).toString();
        QVariantMap all;
        if (of == QLatin1String("org.freedesktop.Secret.Service")) {
            all[QStringLiteral("Collections")] = QVariant::fromValue(QList<QDBusObjectPath>{});
        } else if (of == QLatin1String("org.freedesktop.Secret.Item")) {
            all[QStringLiteral("Locked")] = true;
            all[QStringLiteral("Label")] = QStringLiteral("locked");
            all[QStringLiteral("Created")] = QVariant::fromValue(quint64(0));
            all[QStringLiteral("Modified")] = QVariant::fromValue(quint64(0));
            all[QStringLiteral("Attributes")] = QVariant::fromValue(QMap<QString, QString>{});
        }
        if (m.member() == QLatin1String("Get"))
            return QVariant::fromValue(QDBusVariant(all.value(m.arguments().value(1).toString())));
        return all;
    }
};
