#pragma once

#include <functional>
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

// The process-wide, in-process message board that lets a screen or service ask for something
// elsewhere without knowing who does it. Each message is a name and one string.
//
// Delivery is synchronous: post() calls every observer of that name, in the order they were
// added, before it returns. Observers added or removed while a post is being delivered take
// effect from the next post. Use from the main thread only.
class NotificationCenter {
public:
    using Handler = std::function<void(const QString& payload)>;

    static NotificationCenter& defaultCenter();

    // Calls handler for every post of name until context is destroyed or remove() is called.
    // Returns a token for remove().
    int observe(const QString& name, QObject* context, Handler handler);
    void remove(int token);
    void post(const QString& name, const QString& payload);

private:
    struct Observer {
        int token;
        QString name;
        QPointer<QObject> context;
        Handler handler;
    };
    std::vector<Observer> m_observers;
    int m_nextToken = 1;
};

// The names of the cross-screen messages; each carries one string.
namespace Notifications {
inline const QString OpenSection = QStringLiteral("corvantoOpenSection");   // a section id
inline const QString AskTamso = QStringLiteral("corvantoAskTamso");         // a question
inline const QString OpenDiskMode = QStringLiteral("corvantoOpenDiskMode"); // a storage-hub mode
inline const QString RunSearch = QStringLiteral("corvantoRunSearch");       // a search text
inline const QString OpenDevPane = QStringLiteral("corvantoOpenDevPane");   // a developer pane
} // namespace Notifications
