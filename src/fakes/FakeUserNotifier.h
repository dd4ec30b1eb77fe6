#pragma once

#include "platform/UserNotifier.h"

#include <QList>

// Records what it was asked to show; nothing reaches the desktop.
class FakeUserNotifier final : public UserNotifier {
public:
    void requestPermission() override { ++permissionRequests; }
    void post(const Request& request) override { posted.append(request); }

    int permissionRequests = 0;
    QList<Request> posted;
};
