#pragma once

#include "platform/TrayHost.h"

// A tray that is there or not as the test says; each change is announced like the desktop's.
class FakeTrayHost : public TrayHost {
public:
    explicit FakeTrayHost(bool available = true, QObject* parent = nullptr)
        : TrayHost(parent), m_available(available) {}

    bool isAvailable() const override { return m_available; }

    void setAvailable(bool available) {
        if (available == m_available)
            return;
        m_available = available;
        emit availabilityChanged(available);
    }

private:
    bool m_available;
};
