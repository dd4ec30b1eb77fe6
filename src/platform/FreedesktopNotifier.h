#pragma once

#include "platform/UserNotifier.h"

#include <functional>
#include <QDBusConnection>

// Notifications through org.freedesktop.Notifications on the session bus, as every Linux
// desktop serves them. The call is asynchronous and its answer ignored, so a slow or missing
// notification service never holds the caller up; without a bus nothing is sent.
//
// The desktop asks nobody for permission, so requestPermission() has nothing to do. The sound
// is asked for with the sound theme's "message-new-instant"; a server without sounds ignores it.
// Main thread only.
class FreedesktopNotifier final : public UserNotifier {
public:
    using Bus = std::function<QDBusConnection()>;

    // The session bus, taken at each post, unless a caller hands in its own.
    explicit FreedesktopNotifier(Bus bus = {});

    void requestPermission() override {}
    void post(const Request& request) override;

    static constexpr int kCallTimeoutMs = 5000;

private:
    Bus m_bus;
};
